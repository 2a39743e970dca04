// The product's log file: UTF-16 lines with program, time, process and thread ids.
#pragma once

#include "afx.h"

void BrelmAppendLogLine(const wchar_t* logFileName, const wchar_t* text);
