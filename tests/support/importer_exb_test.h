// Base of the importer's reader tests: an .exb file built in a temp folder, opened through the
// core library stand-in, with every message box the readers show answered and kept; file reads.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "exb_fixture.h"
#include "foundation_temp_dir.h"
#include "importer_core_dll.h"
#include "importer_message_watcher.h"

// The file's bytes; empty when it cannot be read.
inline std::string ImporterReadFile(const std::wstring& path) {
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    ::CloseHandle(file);
    return bytes;
}

inline bool ImporterFileExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class ImporterExbTest : public ::testing::Test {
protected:
    // The file being built; omitted tables are left out of it.
    exb::ExbFixture& File(const std::vector<exb::Table>& omit = {}) {
        if (!m_file) m_file.reset(new exb::ExbFixture(m_temp.Path() + L"notebook.exb", omit));
        return *m_file;
    }

    // Finishes the file and opens it; the test fails when either goes wrong.
    IBrelmSQLiteDatabase* Open() {
        exb::ExbFixture& file = File();
        file.Close();
        EXPECT_TRUE(file.ok()) << file.error();
        EXPECT_TRUE(m_core.Loaded());
        m_database = m_core.OpenExb(file.path());
        EXPECT_TRUE(m_database);
        return m_database;
    }

    // The texts of the message boxes shown since the last call.
    std::vector<std::wstring> Messages() { return m_boxes.Take(); }

    static std::wstring Id(long long uid) { return std::to_wstring(uid); }

    // The working folder, with its separator.
    const std::wstring& Folder() const { return m_temp.Path(); }

    FoundationTempDir m_temp;
    ImporterCoreDll m_core;
    ImporterMessageWatcher m_boxes;
    std::unique_ptr<exb::ExbFixture> m_file;
    CComPtr<IBrelmSQLiteDatabase> m_database;
};
