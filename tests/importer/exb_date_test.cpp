// Evernote dates to local OLE dates: the fold around day 0 and the zone's base bias.
#include <gtest/gtest.h>

#include "exb_date.h"

namespace {

TEST(ExbDateTest, SubtractsTheBiasOnAContinuousScale)
{
    const double second = 1.0 / 86400.0;
    const struct {
        double exbDate;
        long biasMinutes;
        double expected;
    } cases[] = {
        {693594.0, 0, 0.0},                    // 1899-12-30 00:00
        {693594.5, -480, 0.8333333333333333},  // noon UTC is 20:00 at UTC+8
        {739000.25, -480, 45406.583333333336},
        {693594.1, 300, -1.8916666666666666},  // 1899-12-29 21:24: folded back below day 0
        {693593.75, 0, 0.25},                  // -0.25 is unfolded to 06:00, not -1.25
        {693593.5, -720, 1.0},                 // 12:00 UTC of day 0 is midnight at UTC+12
        {693592.25, 0, -1.75},                 // below day 0: unfolded and folded back, unchanged
        {693594.0 - second / 4, 0, -second / 4},  // above the half-second threshold: as it is
        {693594.0 - second, 0, second},           // below it: unfolded onto day 0's time of day
    };
    for (const auto& c : cases) {
        COleDateTime date = ExbDateToLocalDateWithBias(c.exbDate, c.biasMinutes);
        EXPECT_NEAR(c.expected, date.m_dt, 1e-9) << c.exbDate << " bias " << c.biasMinutes;
        EXPECT_EQ(COleDateTime::valid, date.GetStatus());
    }
}

}  // namespace
