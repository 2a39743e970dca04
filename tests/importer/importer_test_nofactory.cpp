// A library for the COM-loading tests that exports no DllGetClassObject.
#include <windows.h>

extern "C" LONG WINAPI ImporterTestNothingHere() { return 0; }
