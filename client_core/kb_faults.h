// Failures on request, for the tests of the program's error paths: only the library's test build
// (BRELM_CORE_FAULTS) reads them, from the environment; the library itself never fails on request.
#pragma once

#include <functional>
#include <string>

namespace brelm_core {

// True when the test build is asked to fail this call for this subject. BRELM_CORE_FAIL holds
// entries separated by '|': "Call" fails every call of that name, "Call=subject" only those whose
// subject (a folder location, a document's title) is that text. The subject is worked out only
// when an entry needs it.
bool FailureRequested(const wchar_t* call, const std::function<std::wstring()>& subject = nullptr);

// Throws the failure when it is requested; for the methods that run inside Guard.
void FailOnRequest(const wchar_t* call, const std::function<std::wstring()>& subject = nullptr);

}  // namespace brelm_core
