// Fixture of the knowledge-base tests: a fresh knowledge base in a temp folder, and its dump.
#pragma once

#include <gtest/gtest.h>

#include "core_test_support.h"
#include "kb_dump.h"

namespace core_test {

class KnowledgeBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, NewDatabase(&db_));
        Bstr error;
        ASSERT_EQ(S_OK, db_->OpenEx(Bstr(kb_), L"test", 0, error.put())) << Utf8(error.str());
        EXPECT_EQ(nullptr, static_cast<BSTR>(error));
    }

    std::string Dump() const {
        std::string text, error;
        EXPECT_TRUE(kbdump::DumpKnowledgeBase(kb_, &text, &error)) << error;
        return text;
    }

    Ref<IBrelmFolder> Folder(const std::wstring& location) {
        Ref<IDispatch> object;
        Ref<IBrelmFolder> folder;
        EXPECT_EQ(S_OK, db_->GetFolderByLocation(Bstr(location), VARIANT_TRUE, object.put())) << Utf8(location);
        if (object) {
            EXPECT_EQ(S_OK, object.As(&folder));
        }
        return folder;
    }

    Ref<IBrelmDocument> Document(const std::wstring& location, const std::wstring& title,
                                 const std::wstring& url = std::wstring()) {
        Ref<IBrelmDocument> document;
        Ref<IBrelmFolder> folder = Folder(location);
        if (!folder) return document;
        Ref<IDispatch> object;
        EXPECT_EQ(S_OK, folder->CreateDocument(Bstr(title), Bstr(url), object.put()));
        if (object) {
            EXPECT_EQ(S_OK, object.As(&document));
        }
        return document;
    }

    TempDir dir_;
    std::wstring kb_ = dir_ / L"index.db";
    Ref<IBrelmDatabase> db_;
};

}  // namespace core_test
