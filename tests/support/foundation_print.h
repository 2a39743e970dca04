// Lets GoogleTest print CString values as text in failure messages.
#pragma once

#include <ostream>

#include "afx.h"

inline void PrintTo(const CString& s, std::ostream* os) { *os << '"' << CStringA(s).GetString() << '"'; }
