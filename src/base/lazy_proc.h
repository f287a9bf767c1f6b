#pragma once
// Looks up a function of a system DLL the first time it is needed. The file dialog and the printer
// are used rarely; importing comdlg32 and winspool directly would load them, and the DLLs they pull
// in, at every start.
#include <windows.h>

namespace base {

template <typename F>
F LazyProc(const wchar_t* dll, const char* name) {
  HMODULE module = GetModuleHandleW(dll);
  if (module == nullptr) module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr) module = LoadLibraryW(dll);  // systems without the search flags (Windows 7 unpatched)
  if (module == nullptr) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace base
