// The re-entrant critical-section lock and its scoped guard.
#include <gtest/gtest.h>

#include "sync_objects.h"

namespace {

DWORD WINAPI TakeAndLeave(void* p) {
    auto* lock = static_cast<CBrelmCriticalSectionObject*>(p);
    BOOL ok = lock->Lock(0);  // the timeout is ignored: it waits
    lock->Unlock();
    return ok;
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
