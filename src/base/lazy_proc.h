#pragma once
// Every function Quorvel takes from Windows at run time instead of importing it, in one place. The exe
// is built for Windows 7 (_WIN32_WINNT 0x0601), so a newer function cannot be called directly: one
// import that Windows 7 lacks and the exe would not start there at all. Each caller of NewerProc has a
// fallback for when it finds nothing:
//   user32   GetDpiForWindow           (Windows 10 1607) - the system DPI of the screen
//   user32   AdjustWindowRectExForDpi  (Windows 10 1607) - AdjustWindowRectEx, at the system DPI
//   kernel32 AddDllDirectory           (Windows 8, or 7 with KB2533623) - tells whether LoadLibraryExW
//            takes LOAD_LIBRARY_SEARCH_SYSTEM32; without it LazyProc loads the DLL by its full path
#include <windows.h>

namespace base {

// A function newer than Windows 7 in a DLL the exe imports (so already loaded); nullptr where this
// Windows lacks it.
FARPROC NewerProcAddress(const wchar_t* module, const char* name);

// A function of a system DLL, loaded the first time it is needed and only ever from the system
// folder; nullptr when the DLL or the function is not there. The file dialog and the printer are used
// rarely; importing comdlg32 and winspool directly would load them, and the DLLs they pull in, at
// every start.
FARPROC LazyProcAddress(const wchar_t* dll, const char* name);

template <typename F>
F NewerProc(const wchar_t* module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(NewerProcAddress(module, name)));
}

template <typename F>
F LazyProc(const wchar_t* dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(LazyProcAddress(dll, name)));
}

// For tests: while one of these lives, NewerProc finds nothing, as on Windows 7 before its updates,
// so every fallback above runs.
class WithoutNewerProcs {
 public:
  WithoutNewerProcs();
  ~WithoutNewerProcs();
  WithoutNewerProcs(const WithoutNewerProcs&) = delete;
  WithoutNewerProcs& operator=(const WithoutNewerProcs&) = delete;
};

}  // namespace base
