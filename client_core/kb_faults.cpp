// Failures on request: read from BRELM_CORE_FAIL by the test build only.
#include "kb_faults.h"

#include <windows.h>

#include <vector>

#include "com_object.h"

namespace brelm_core {

#ifdef BRELM_CORE_FAULTS

namespace {

struct Request {
    std::wstring call;
    std::wstring subject;
    bool anySubject;
};

std::vector<Request> ReadRequests() {
    std::vector<Request> requests;
    const DWORD size = ::GetEnvironmentVariableW(L"BRELM_CORE_FAIL", nullptr, 0);
    if (!size) return requests;
    std::wstring text(size, L'\0');
    text.resize(::GetEnvironmentVariableW(L"BRELM_CORE_FAIL", &text[0], size));
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'|', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring entry = text.substr(start, end - start);
        const size_t equals = entry.find(L'=');
        if (!entry.empty()) {
            if (equals == std::wstring::npos)
                requests.push_back({entry, std::wstring(), true});
            else
                requests.push_back({entry.substr(0, equals), entry.substr(equals + 1), false});
        }
        start = end + 1;
    }
    return requests;
}

}  // namespace

bool FailureRequested(const wchar_t* call, const std::function<std::wstring()>& subject) {
    static const std::vector<Request> requests = ReadRequests();
    for (const Request& request : requests) {
        if (request.call != call) continue;
        if (request.anySubject || (subject && subject() == request.subject)) return true;
    }
    return false;
}

#else

bool FailureRequested(const wchar_t*, const std::function<std::wstring()>&) { return false; }

#endif

void FailOnRequest(const wchar_t* call, const std::function<std::wstring()>& subject) {
    if (FailureRequested(call, subject)) ThrowComError(E_FAIL, std::wstring(L"Failed on request: ") + call);
}

}  // namespace brelm_core
