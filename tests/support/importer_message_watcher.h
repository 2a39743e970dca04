// Answers the message boxes that one thread shows, from a thread of its own, and keeps their texts.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework_ui.h"

class ImporterMessageWatcher {
public:
    // Watches the calling thread: the code under test runs there.
    ImporterMessageWatcher() : m_threadId(::GetCurrentThreadId()), m_stop(false), m_thread([this] { Run(); }) {}
    ~ImporterMessageWatcher() {
        m_stop = true;
        m_thread.join();
    }

    // The texts of the boxes answered so far, in order; the list starts afresh.
    std::vector<std::wstring> Take() {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::wstring> texts;
        texts.swap(m_texts);
        return texts;
    }

private:
    ImporterMessageWatcher(const ImporterMessageWatcher&) = delete;
    ImporterMessageWatcher& operator=(const ImporterMessageWatcher&) = delete;

    void Run() {
        while (!m_stop) {
            for (HWND box : framework_ui::DialogsOfThread(m_threadId)) {
                std::wstring text = framework_ui::StaticTexts(box);
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_texts.push_back(text);
                }
                HWND ok = ::GetDlgItem(box, IDOK);
                if (ok)
                    framework_ui::Click(ok);
                else
                    ::PostMessageW(box, WM_CLOSE, 0, 0);
                framework_ui::WaitGone(box, 5000);
            }
            ::Sleep(10);
        }
    }

    DWORD m_threadId;
    std::atomic<bool> m_stop;
    std::mutex m_mutex;
    std::vector<std::wstring> m_texts;
    std::thread m_thread;
};
