// Lockable objects and a scoped lock, in the framework's synchronisation pattern.
#pragma once

#include "afx.h"

class CBrelmSyncObject {
public:
    CBrelmSyncObject() : m_hObject(nullptr) {}
    virtual BOOL Lock(DWORD timeout = INFINITE);
    virtual BOOL Unlock(LONG count, LONG* previousCount = nullptr);
    virtual BOOL Unlock() = 0;
    virtual ~CBrelmSyncObject();

    HANDLE m_hObject;

private:
    CBrelmSyncObject(const CBrelmSyncObject&) = delete;
    CBrelmSyncObject& operator=(const CBrelmSyncObject&) = delete;
};

class CBrelmCriticalSectionObject : public CBrelmSyncObject {
public:
    CBrelmCriticalSectionObject();
    BOOL Lock(DWORD timeout = INFINITE) override;
    using CBrelmSyncObject::Unlock;
    BOOL Unlock() override;
    ~CBrelmCriticalSectionObject() override;

    CRITICAL_SECTION m_sect;

private:
    BOOL Init();
    BOOL m_bInitialized = FALSE;
};

class CBrelmSingleLock {
public:
    explicit CBrelmSingleLock(CBrelmSyncObject* object, BOOL initialLock = FALSE);
    ~CBrelmSingleLock();
    BOOL Lock(DWORD timeout = INFINITE);
    BOOL Unlock();
    BOOL IsLocked() const { return m_bAcquired; }

    CBrelmSyncObject* m_pObject;
    HANDLE m_hObject;
    BOOL m_bAcquired;

private:
    CBrelmSingleLock(const CBrelmSingleLock&) = delete;
    CBrelmSingleLock& operator=(const CBrelmSingleLock&) = delete;
};
