// Lockable objects and a scoped lock, in the framework's synchronisation pattern.
#include "sync_objects.h"

BOOL CBrelmSyncObject::Lock(DWORD timeout) {
    const DWORD result = ::WaitForSingleObject(m_hObject, timeout);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

BOOL CBrelmSyncObject::Unlock(LONG, LONG*) { return TRUE; }

CBrelmSyncObject::~CBrelmSyncObject() {
    if (m_hObject) {
        ::CloseHandle(m_hObject);
        m_hObject = nullptr;
    }
}

CBrelmCriticalSectionObject::CBrelmCriticalSectionObject() { Init(); }

// The spin-count form reports a lack of memory as FALSE where the plain form would
// raise STATUS_NO_MEMORY on old systems; on every system this program runs on,
// entering an initialised section cannot fail.
BOOL CBrelmCriticalSectionObject::Init() {
    m_bInitialized = ::InitializeCriticalSectionAndSpinCount(&m_sect, 0);
    return m_bInitialized;
}

// A section that never came into being is not entered, and the caller is told it is not held.
BOOL CBrelmCriticalSectionObject::Lock(DWORD) {
    if (!m_bInitialized) return FALSE;
    ::EnterCriticalSection(&m_sect);
    return TRUE;
}

BOOL CBrelmCriticalSectionObject::Unlock() {
    if (!m_bInitialized) return FALSE;
    ::LeaveCriticalSection(&m_sect);
    return TRUE;
}

CBrelmCriticalSectionObject::~CBrelmCriticalSectionObject() {
    if (m_bInitialized) ::DeleteCriticalSection(&m_sect);
}

CBrelmSingleLock::CBrelmSingleLock(CBrelmSyncObject* object, BOOL initialLock)
    : m_pObject(object), m_hObject(object ? object->m_hObject : nullptr), m_bAcquired(FALSE) {
    if (initialLock) Lock();
}

CBrelmSingleLock::~CBrelmSingleLock() { Unlock(); }

BOOL CBrelmSingleLock::Lock(DWORD timeout) {
    m_bAcquired = m_pObject ? m_pObject->Lock(timeout) : FALSE;
    return m_bAcquired;
}

BOOL CBrelmSingleLock::Unlock() {
    if (m_bAcquired && m_pObject) m_bAcquired = !m_pObject->Unlock();
    return !m_bAcquired;
}
