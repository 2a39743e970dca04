// The built-in settings text, its ini rules and the product names.
#include <gtest/gtest.h>

#include "foundation_print.h"
#include "settings.h"

namespace {

DWORD WINAPI AskProductName(void* out) {
    *static_cast<CString*>(out) = BrelmGetProductName();
    return 0;
}

}  // namespace

// First in this program: the first localized lookup takes the settings lock
// again on the same thread, for the inner name and the language code.
TEST(BrelmGetGlobalSetting, FirstLocalizedLookupReentersTheLock) {
    CString name;
    HANDLE thread = CreateThread(nullptr, 0, AskProductName, &name, 0, nullptr);
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(thread, 20000)) << "settings lock deadlocked";
    CloseHandle(thread);
    EXPECT_EQ(CString(L"Brelm"), name);
    EXPECT_EQ(CString(L"Brelm"), BrelmGetInnerProductName());
    EXPECT_EQ(CString(L"Software\\Brelm"), BrelmGetProductRegistryKey());
    EXPECT_EQ(CString(L"None"), BrelmGetGlobalSetting(L"uiexcludes", TRUE, FALSE));
    EXPECT_EQ(CString(), BrelmGetGlobalSetting(L"http", TRUE, FALSE));  // lies in [Sync]
}

TEST(BrelmGetGlobalSettingDeathTest, RequiredEmptyValueEndsTheProcess) {
    EXPECT_EXIT(BrelmGetGlobalSetting(L"CompanyName", FALSE, FALSE), ::testing::ExitedWithCode(-1), "");
}

TEST(CBrelmIniFileEx, SectionAndKeyRules) {
    CBrelmIniFileEx ini;
    ini.m_arrayLines.push_back(L"stale=1");
    ini.LoadFromText(
        L"key=outside\r\n[Common] ; note\nearly=no\n  [COMMON]  \n; commented=1\n\n  Name=Brelm  \n"
        L"spaced = no\nblank= kept\ndup=first\ndup=second\n[Next]\nafter=1\n[Common]\nlater=1\n");
    EXPECT_EQ(15u, ini.m_arrayLines.size());
    const struct {
        const wchar_t *section, *key, *expected;
    } cases[] = {
        {L"common", L"name", L"Brelm"}, {L"Common", L"spaced", L"dflt"}, {L"Common", L"blank", L" kept"},
        {L"Common", L"dup", L"first"},  {L"Common", L"after", L"dflt"},  {L"Common", L"later", L"dflt"},
        {L"Common", L"early", L"dflt"}, {L"Common", L"; commented", L"dflt"}, {L"Common", L"key", L"dflt"},
        {L"Missing", L"name", L"dflt"}, {L"Next", L"after", L"1"},       {L"Common", L"stale", L"dflt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CString(c.expected), ini.GetString(c.section, c.key, L"dflt")) << CStringA(c.key).GetString();
    }
    EXPECT_EQ(CString(), ini.GetString(L"Common", L"missing", nullptr));

    CBrelmIniFileEx builtIn;
    builtIn.LoadFromText(BrelmGetBuiltInSettingsText());
    EXPECT_EQ(9u, builtIn.m_arrayLines.size());
    EXPECT_EQ(0, builtIn.GetString(L"Sync", L"https", nullptr).Find(L"https://"));
}
