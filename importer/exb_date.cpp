// Evernote dates to local OLE automation dates.
#include "exb_date.h"

#include <cmath>

namespace {

const double kExbDayOfOleZero = 693594.0;   // 1899-12-30 on the Evernote day count
const double kMinutesPerDay = 1440.0;
const double kHalfSecondBelowZero = -1.0 / 172800.0;

}  // namespace

COleDateTime ExbDateToLocalDateWithBias(double exbDate, long biasMinutes)
{
    double v = exbDate - kExbDayOfOleZero;
    double bias = biasMinutes / kMinutesPerDay;

    // Negative OLE dates count whole days backwards while the fraction still
    // runs forwards: subtract on a continuous scale, then fold back.
    double u = v;
    if (!(v > kHalfSecondBelowZero)) {
        double c = std::ceil(v);
        u = c - (v - c);
    }
    double w = u - bias;
    double result = w;
    if (!(w > kHalfSecondBelowZero)) {
        double f = std::floor(w);
        result = f + (f - w);
    }
    return COleDateTime(result);
}

COleDateTime ExbDateToLocalDate(double exbDate)
{
    TIME_ZONE_INFORMATION zone;
    ZeroMemory(&zone, sizeof(zone));
    ::GetTimeZoneInformation(&zone);
    return ExbDateToLocalDateWithBias(exbDate, zone.Bias);
}
