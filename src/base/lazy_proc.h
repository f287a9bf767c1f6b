#pragma once
// Looks up a function of a system DLL the first time it is needed. The file dialog and the printer
// are used rarely; importing comdlg32 and winspool directly would load them, and the DLLs they pull
// in, at every start.
#include <windows.h>

#include <string>

namespace base {

template <typename F>
F LazyProc(const wchar_t* dll, const char* name) {
  // Only ever from the system folder: a bare name would search the exe's own folder first, and a DLL of
  // that name placed beside Quorvel (in Downloads, say) would run inside it.
  HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
    // Windows 7 without the search flags (before KB2533623): the system folder's full path instead.
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    module = LoadLibraryW((std::wstring(system, length) + L"\\" + dll).c_str());
  }
  if (module == nullptr) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace base
