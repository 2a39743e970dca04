// The user-interface language: registry choice, exclusions and Chinese folding.
#include <gtest/gtest.h>

#include "foundation_registry_guard.h"
#include "settings.h"
#include "ui_language.h"

TEST(BrelmApplyUILanguageRules, ExclusionsThenFolding) {
    const struct {
        DWORD lcid;
        const wchar_t* excludes;
        DWORD expected;
    } cases[] = {
        {3076, L"None", 1028}, {5124, L"None", 1028}, {4100, L"None", 2052},         {1028, L"None", 1028},
        {2052, L"None", 2052}, {1033, L"None", 1033}, {1033, L"1031,1033,1041", 0}, {1033, L"1031, 1033", 1033},
        {3076, L"3076", 0},    {0, L"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, BrelmApplyUILanguageRules(c.lcid, c.excludes)) << c.lcid;
}

TEST(BrelmGetUILCID, ReadsTheProductKeyEachTime) {
    FoundationRegistryValueGuard guard(BrelmGetProductRegistryKey(), L"LCID");
    const DWORD userDefault = BrelmApplyUILanguageRules(GetUserDefaultLCID(), L"None");
    guard.Remove();
    EXPECT_EQ(userDefault, BrelmGetUILCID());
    for (DWORD stored : {0u, 3076u, 4100u, 1031u}) {
        ASSERT_TRUE(guard.Set(REG_DWORD, &stored, sizeof(stored)));
        EXPECT_EQ(stored ? BrelmApplyUILanguageRules(stored, L"") : userDefault, BrelmGetUILCID()) << stored;
    }
}
