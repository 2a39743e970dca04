// COleDateTime: an OLE automation date (days since 1899-12-30) with a status.
#pragma once

#include <windows.h>
#include <oleauto.h>

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTime() : m_dt(0), m_status(valid) {}
    COleDateTime(DATE dt) : m_dt(dt), m_status(valid) {}
    COleDateTime(const SYSTEMTIME& st) : m_dt(0), m_status(valid) { *this = st; }
    COleDateTime(int year, int month, int day, int hour, int minute, int second) : m_dt(0), m_status(valid) {
        SetDateTime(year, month, day, hour, minute, second);
    }

    COleDateTime& operator=(DATE dt) { m_dt = dt; m_status = valid; return *this; }
    // A field out of range (February 30, hour 24, year 99) makes the date invalid; the system
    // conversion alone would roll it over into another date.
    COleDateTime& operator=(const SYSTEMTIME& st) {
        SYSTEMTIME copy = st;
        copy.wMilliseconds = 0;
        SYSTEMTIME back = {};
        const bool converted = st.wYear >= 100 && ::SystemTimeToVariantTime(&copy, &m_dt) &&
                               ::VariantTimeToSystemTime(m_dt, &back);
        m_status = converted && back.wYear == st.wYear && back.wMonth == st.wMonth && back.wDay == st.wDay &&
                           back.wHour == st.wHour && back.wMinute == st.wMinute && back.wSecond == st.wSecond
                       ? valid
                       : invalid;
        return *this;
    }

    // The current local date and time, to the second.
    static COleDateTime GetCurrentTime() {
        SYSTEMTIME st;
        ::GetLocalTime(&st);
        return COleDateTime(st);
    }

    int SetDateTime(int year, int month, int day, int hour, int minute, int second) {
        SYSTEMTIME st = {};
        st.wYear = static_cast<WORD>(year);
        st.wMonth = static_cast<WORD>(month);
        st.wDay = static_cast<WORD>(day);
        st.wHour = static_cast<WORD>(hour);
        st.wMinute = static_cast<WORD>(minute);
        st.wSecond = static_cast<WORD>(second);
        *this = st;
        return m_status == valid ? 0 : 1;
    }

    bool GetAsSystemTime(SYSTEMTIME& st) const {
        return m_status == valid && ::VariantTimeToSystemTime(m_dt, &st) != FALSE;
    }
    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }
    operator DATE() const { return m_dt; }

    DATE m_dt;
    DateTimeStatus m_status;
};
