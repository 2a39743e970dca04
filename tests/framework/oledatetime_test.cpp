// COleDateTime: dates made from their fields, valid only when every field is in range.
#include <gtest/gtest.h>

#include "oledatetime.h"

TEST(COleDateTime, EverySecondOfADayRoundTrips) {
    for (int second = 0; second < 24 * 60 * 60; ++second) {
        COleDateTime date(2026, 12, 9, second / 3600, second / 60 % 60, second % 60);
        ASSERT_EQ(COleDateTime::valid, date.GetStatus()) << second;
        SYSTEMTIME back = {};
        ASSERT_TRUE(date.GetAsSystemTime(back));
        ASSERT_EQ(second, back.wHour * 3600 + back.wMinute * 60 + back.wSecond);
    }
    EXPECT_EQ(COleDateTime::valid, COleDateTime::GetCurrentTime().GetStatus());
}

TEST(COleDateTime, FieldsOutOfRangeAreInvalidNotRolledOver) {
    const int cases[][6] = {
        {2023, 2, 29, 0, 0, 0}, {2023, 4, 31, 0, 0, 0}, {2023, 1, 1, 24, 0, 0}, {2023, 0, 1, 0, 0, 0},
        {2023, 1, 0, 0, 0, 0},  {99, 1, 1, 0, 0, 0},    {2023, 13, 1, 0, 0, 0}, {2023, 1, 1, 0, 60, 0},
        {2023, 1, 1, 0, 0, 60}, {10000, 1, 1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        COleDateTime date;
        EXPECT_EQ(1, date.SetDateTime(c[0], c[1], c[2], c[3], c[4], c[5])) << c[0] << "-" << c[1] << "-" << c[2];
        EXPECT_EQ(COleDateTime::invalid, date.GetStatus());
    }
    COleDateTime leap;
    EXPECT_EQ(0, leap.SetDateTime(2024, 2, 29, 23, 59, 59));
    EXPECT_EQ(0, leap.SetDateTime(100, 1, 1, 0, 0, 0));
}
