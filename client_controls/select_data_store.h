// The data-store chooser's window: its caption and control ids, for whoever drives it.
#pragma once

#define BRELMKM_SELECT_DATA_STORE_CAPTION L"Select Data Store"

enum : int {
    IDC_DATA_STORE_REGISTRY = 1001,
    IDC_DATA_STORE_PORTABLE = 1002
};
