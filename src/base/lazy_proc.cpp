#include "base/lazy_proc.h"

#include <string>

namespace base {
namespace {

// The one switch behind WithoutNewerProcs; nothing else ever sets it.
bool newer_procs_hidden = false;

HMODULE LoadSystemDll(const wchar_t* dll) {
  // Only ever from the system folder: a bare name would search the exe's own folder first, and a DLL of
  // that name placed beside Quorvel (in Downloads, say) would run inside it. The search flags came to
  // Windows 7 with an update (KB2533623) that also brought AddDllDirectory, which is how a program tells
  // that they work.
  if (NewerProcAddress(L"kernel32.dll", "AddDllDirectory") != nullptr)
    return LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Without them, the full path; the altered search path makes the DLL's own imports come from its
  // folder too.
  wchar_t system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryExW((std::wstring(system, length) + L"\\" + dll).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

FARPROC NewerProcAddress(const wchar_t* module, const char* name) {
  if (newer_procs_hidden) return nullptr;
  const HMODULE loaded = GetModuleHandleW(module);
  return loaded != nullptr ? GetProcAddress(loaded, name) : nullptr;
}

FARPROC LazyProcAddress(const wchar_t* dll, const char* name) {
  const HMODULE module = LoadSystemDll(dll);
  return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

WithoutNewerProcs::WithoutNewerProcs() { newer_procs_hidden = true; }
WithoutNewerProcs::~WithoutNewerProcs() { newer_procs_hidden = false; }

}  // namespace base
