// Windows helpers of the core library: error texts, paths, folders and whole-file reads.
#pragma once

#include <windows.h>

#include <string>

namespace brelm_core {

// The system's text for a Win32 error code, without the trailing line end.
std::wstring WinErrorText(DWORD code);

std::wstring FullPath(const std::wstring& path);
// Drive and folder part of a path, ending with its separator; empty for a bare name.
std::wstring FolderOf(const std::wstring& path);
std::wstring FileNameOf(const std::wstring& path);
std::wstring WithTrailingBackslash(const std::wstring& folder);

// True when path lies inside folder (both full paths, folder ending with '\'), ignoring case.
bool IsInside(const std::wstring& folder, const std::wstring& path);
// The folder as the system resolves it, every junction and symbolic link followed, ending with '\'
// (its volume and its place on it, in a form only ReadWholeFile reads); empty when it cannot be opened.
std::wstring FinalFolderPath(const std::wstring& folder);

bool IsFolder(const std::wstring& path);
// True when path names something that is not a folder, whatever its length.
bool IsFile(const std::wstring& path);
// Creates a folder with all its missing parents; true when it exists afterwards.
bool CreateFolders(const std::wstring& folder);

// ReadWholeFile's error for a file that links lead outside the folder it must lie in.
const DWORD kErrorOutsideFolder = ERROR_CANT_ACCESS_FILE;

// Reads a whole regular disk file (no device, no folder), of any path length; false with a Win32
// error code otherwise. With within (a FinalFolderPath) given, a file that links lead outside that
// folder is refused with kErrorOutsideFolder.
bool ReadWholeFile(const std::wstring& path, std::string* bytes, DWORD* error,
                   const std::wstring* within = nullptr);

}  // namespace brelm_core
