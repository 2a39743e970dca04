// Dates of the Evernote file (day 1 = 0001-01-01, universal time) to local OLE dates.
#pragma once

#include "afx.h"

// The zone's base bias is read afresh on each call; daylight saving is not applied.
COleDateTime ExbDateToLocalDate(double exbDate);

// The same with the bias given (minutes, universal time = local time + bias).
COleDateTime ExbDateToLocalDateWithBias(double exbDate, long biasMinutes);
