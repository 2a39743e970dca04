// The data-store folder, portable mode, and the settings and log file names in it.
#pragma once

#include "afx.h"

CString BrelmGetDataStorePath();
CString BrelmGetSettingsFileName();
CString BrelmGetLogFileName();
CString BrelmGetDataFolderName();
CString BrelmReadDataStoreFromRegistry();
BOOL BrelmIsPortable();
CString BrelmGetAppIniPath();
CString BrelmGetPortableValue();
CString BrelmGetPortableDataPath();
CString BrelmSelectDataStore(const wchar_t* registryFolder, const wchar_t* portableFolder);
CString BrelmGetCurrentUserName();

// The user-name query behind the local-system-account test of BrelmGetDataStorePath
// (BrelmGetCurrentUserName); tests point it elsewhere, as no real call can be steered to "SYSTEM".
extern CString (*g_pfnBrelmDataStoreUserName)();
