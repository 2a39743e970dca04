// An owned kernel handle, closed once by its holder.
#pragma once

#include <windows.h>

namespace e2e {

class Handle {
public:
    explicit Handle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~Handle() { Reset(nullptr); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    void Reset(HANDLE handle) {
        if (m_handle && m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
        m_handle = handle;
    }
    HANDLE Get() const { return m_handle; }
    HANDLE* Out() { return &m_handle; }

private:
    HANDLE m_handle;
};

}  // namespace e2e
