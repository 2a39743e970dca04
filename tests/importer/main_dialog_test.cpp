// Where Browse starts, the initial-folder buffer, and the core library's path from the AppPath text.
#include <gtest/gtest.h>

#include <string>

#include "folders.h"
#include "main_dialog.h"

TEST(MainDialogTest, BrowseStartsInEvernotesDatabasesFolder) {
    const std::wstring localDefault =
        std::wstring(static_cast<const wchar_t*>(BrelmGetLocalAppDataFolder())) + L"Evernote\\Evernote\\Databases";
    struct Case {
        const wchar_t* evernotePath;
        std::wstring folder;
    } cases[] = {
        {L"C:\\Evernote", L"C:\\Evernote\\Databases"},
        {L"C:\\Evernote\\", L"C:\\Evernote\\Databases"},
        {L"C:/Evernote/", L"C:/Evernote/Databases"},
        {L"", localDefault},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(GetEvernoteDatabasesFolder(c.evernotePath)), c.folder) << c.evernotePath;
}

TEST(MainDialogTest, AFolderThatDoesNotFitLeavesNoInitialFolder) {
    wchar_t buffer[1024];
    const std::wstring fits = L"C:\\" + std::wstring(1020, L'a');  // 1023 characters
    ASSERT_TRUE(FillInitialFolderBuffer(fits.c_str(), buffer, 1024));
    EXPECT_EQ(std::wstring(buffer), fits);

    // Cut short, the text would name a different folder; whatever the buffer held is cleared.
    const std::wstring tooLong = fits + L"b";
    EXPECT_FALSE(FillInitialFolderBuffer(tooLong.c_str(), buffer, 1024));
    EXPECT_EQ(std::wstring(buffer, 1024), std::wstring(1024, L'\0'));

    EXPECT_FALSE(FillInitialFolderBuffer(L"", buffer, 1024));
    EXPECT_FALSE(FillInitialFolderBuffer(nullptr, buffer, 1024));
}

TEST(MainDialogTest, CoreLibraryPathFollowsTheAppPathText) {
    struct Case {
        const wchar_t* appPath;
        const wchar_t* path;
    } cases[] = {
        {L"", L"BrelmKMCore.dll"},
        {L"C:\\Brelm", L"C:\\Brelm\\BrelmKMCore.dll"},
        {L"C:\\Brelm\\", L"C:\\Brelm\\BrelmKMCore.dll"},
        {L"C:/Brelm/", L"C:/Brelm/BrelmKMCore.dll"},
    };
    for (const Case& c : cases) EXPECT_STREQ(GetCoreDllPath(c.appPath), c.path) << c.appPath;
}
