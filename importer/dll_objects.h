// Creating the knowledge-base database object straight from a library file, without COM registration.
#pragma once

#include "afx.h"
#include "brelm_km_interfaces.h"

// Loads the library (never freed), asks its DllGetClassObject for the class factory
// and the factory for an IBrelmDatabase. Failures are logged.
HRESULT CreateDllObject(const wchar_t* libraryPath, CLSID clsid, IBrelmDatabase** object);
// The object with one reference, or null on any failure (logged).
IBrelmDatabase* CreateDllObjectByClsid(const wchar_t* libraryPath, CLSID clsid);
