// Messages by string id: translated, "%1" filled, shown and answered on screen; empty texts show nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "foundation_print.h"
#include "framework_ui.h"
#include "message_boxes.h"
#include "translations.h"

namespace {

bool HasInformationIcon(HWND box) {
    HICON information = ::LoadIconW(nullptr, IDI_INFORMATION);
    for (HWND child : framework_ui::Descendants(box))
        if (reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0)) == information) return true;
    return false;
}

// Answers the boxes of the calling thread with OK from a thread of its own and keeps their texts.
class BoxAnswerer {
public:
    BoxAnswerer() : m_owner(::GetCurrentThreadId()), m_thread([this] { Run(); }) {}
    ~BoxAnswerer() {
        m_stop = true;
        m_thread.join();
    }
    std::vector<std::wstring> Texts() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_texts;
    }

private:
    void Run() {
        while (!m_stop) {
            for (HWND box : framework_ui::DialogsOfThread(m_owner)) {
                HWND ok = ::GetDlgItem(box, IDOK);
                if (!ok) continue;
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_texts.push_back(framework_ui::StaticTexts(box) + (HasInformationIcon(box) ? L" (i)" : L""));
                }
                framework_ui::Click(ok);
                framework_ui::WaitGone(box, 5000);
            }
            ::Sleep(20);
        }
    }

    DWORD m_owner;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<std::wstring> m_texts;
    std::thread m_thread;
};

class MessageBoxes : public ::testing::Test {
protected:
    void SetUp() override { g_translations.m_table.m_map[L"Source text"] = L"Translated {p}"; }
    void TearDown() override { g_translations.m_table.m_map.clear(); }
};

}  // namespace

TEST_F(MessageBoxes, TextsFromTheStringTable) {
    EXPECT_EQ(CString(L"Hello from Brelm"), BrelmLoadTranslatedString(101));
    EXPECT_EQ(CString(L"Translated Brelm"), BrelmLoadTranslatedString(104));
    EXPECT_EQ(CString(), BrelmLoadTranslatedString(999));
    EXPECT_EQ(CString(L"Twice: x and x"), BrelmFormatStringByID1(103, L"x"));
    EXPECT_EQ(CString(L"Twice:  and "), BrelmFormatStringByID1(103, nullptr));
}

TEST_F(MessageBoxes, EmptyTextsShowNoBox) {
    BoxAnswerer answerer;
    EXPECT_EQ(IDCANCEL, BrelmMessageBoxByID(999));
    EXPECT_EQ(IDCANCEL, BrelmMessageBoxByID1(102, L""));
    EXPECT_EQ(IDCANCEL, BrelmMessageBoxByID1(102, nullptr));
    EXPECT_TRUE(answerer.Texts().empty());
}

TEST_F(MessageBoxes, BoxesShowTheTranslatedText) {
    BoxAnswerer answerer;
    EXPECT_EQ(IDOK, BrelmMessageBoxByID(104));
    EXPECT_EQ(IDOK, BrelmMessageBoxByID1(103, L"v"));
    EXPECT_EQ((std::vector<std::wstring>{L"Translated Brelm (i)", L"Twice: v and v (i)"}), answerer.Texts());
}
