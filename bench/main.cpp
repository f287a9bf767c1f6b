// The benchmark program, run under Wine by scripts/bench: one table, a row per measurement.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench.h"

#if __has_include("delete_bench.h")
#include "delete_bench.h"
#define QUORVEL_HAS_DELETE_BENCH 1
#endif
#if __has_include("startup_bench.h")
#include "startup_bench.h"
#define QUORVEL_HAS_STARTUP_BENCH 1
#endif

namespace {

// A fresh folder under %TEMP% for the stores the groups write; removed again at the end.
std::wstring MakeFolder() {
  wchar_t base[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, base);
  if (n == 0 || n > MAX_PATH) return {};
  const std::wstring folder =
      std::wstring(base) + L"quorvel-bench-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
  return CreateDirectoryW(folder.c_str(), nullptr) ? folder : std::wstring();
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolder(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

// With no argument every group runs; with names ("load", "delete", "startup") only those.
int wmain(int argc, wchar_t** argv) {
  const std::wstring folder = MakeFolder();
  if (folder.empty()) {
    std::fprintf(stderr, "cannot create a folder under %%TEMP%%\n");
    return 1;
  }
  auto wanted = [&](const wchar_t* group) {
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i)
      if (std::wstring(argv[i]) == group) return true;
    return false;
  };
  bench::Header();
  if (wanted(L"load")) bench::RunLoadBench(folder);
#ifdef QUORVEL_HAS_DELETE_BENCH
  if (wanted(L"delete")) bench::RunDeleteBench(folder);
#endif
#ifdef QUORVEL_HAS_STARTUP_BENCH
  if (wanted(L"startup")) bench::RunStartupBench(folder);
#endif
  RemoveFolder(folder);
  return 0;
}
