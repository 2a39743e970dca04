// The re-entrant critical-section lock and its scoped guard.
#include <gtest/gtest.h>

#include <string.h>
#include <new>
#include <string>

#include "sync_objects.h"

namespace {

DWORD WINAPI TakeAndLeave(void* p) {
    auto* lock = static_cast<CBrelmCriticalSectionObject*>(p);
    BOOL ok = lock->Lock(0);  // the timeout is ignored: it waits
    lock->Unlock();
    return ok;
}

// The entry of this program's import table through which it calls the function.
void** ImportSlot(FARPROC function) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& table = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
    auto** slots = reinterpret_cast<void**>(base + table.VirtualAddress);
    for (size_t i = 0; i < table.Size / sizeof(void*); ++i) {
        if (slots[i] == reinterpret_cast<void*>(function)) return &slots[i];
    }
    return nullptr;
}

// What older systems do when memory is short.
BOOL WINAPI NoSectionForLackOfMemory(CRITICAL_SECTION*, DWORD) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
}

}  // namespace

TEST(CBrelmCriticalSectionObject, OwnerReentersOthersWaitForTheLastUnlock) {
    CBrelmCriticalSectionObject lock;
    EXPECT_TRUE(lock.Lock(0));
    {
        CBrelmSingleLock guard(&lock);
        EXPECT_TRUE(guard.Lock(INFINITE));
    }  // the guard lets go of its own entry only
    HANDLE thread = CreateThread(nullptr, 0, TakeAndLeave, &lock, 0, nullptr);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(thread, 200));
    LONG previous = 7;
    EXPECT_TRUE(lock.Unlock(1, &previous));  // counted unlock changes nothing
    EXPECT_EQ(7, previous);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(thread, 100));
    EXPECT_TRUE(lock.Unlock());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(thread, 5000));
    CloseHandle(thread);
}

// A section that could not be made is never entered, and no guard claims to hold it. Its memory is
// filled so that entering it anyway would seem to succeed.
TEST(CBrelmCriticalSectionObject, NeverMadeIsNeverHeld) {
    void** slot =
        ImportSlot(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "InitializeCriticalSectionAndSpinCount"));
    ASSERT_NE(nullptr, slot);
    DWORD protection = 0;
    ASSERT_TRUE(::VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection));
    void* const made = *slot;
    *slot = reinterpret_cast<void*>(NoSectionForLackOfMemory);
    alignas(CBrelmCriticalSectionObject) unsigned char storage[sizeof(CBrelmCriticalSectionObject)];
    memset(storage, 0xFF, sizeof(storage));
    auto* lock = new (storage) CBrelmCriticalSectionObject;
    *slot = made;
    ::VirtualProtect(slot, sizeof(*slot), protection, &protection);
    {
        CBrelmSingleLock guard(lock, TRUE);
        EXPECT_FALSE(guard.IsLocked());
    }
    EXPECT_FALSE(lock->Lock(INFINITE));
    EXPECT_FALSE(lock->Unlock());
    const char* section = reinterpret_cast<const char*>(&lock->m_sect);
    lock->~CBrelmCriticalSectionObject();
    // Not entered, left or deleted: the section's memory is as it was filled.
    EXPECT_EQ(std::string(sizeof(CRITICAL_SECTION), '\xFF'), std::string(section, sizeof(CRITICAL_SECTION)));
}
