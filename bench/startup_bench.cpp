// Start-up: from process start to the main window being visible, for quorvel.exe with stores of 10
// and 1,000 saved IDs, against the floor (a program that only shows one empty window); also the exe's
// size and its peak working set.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench.h"
#include "startup_bench.h"
#include "store/files.h"

namespace bench {
namespace {

std::wstring BenchFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L'\\'));
}

struct Find {
  DWORD pid;
  const wchar_t* title;
  bool found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lparam) {
  Find& f = *reinterpret_cast<Find*>(lparam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != f.pid || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t title[64] = {};
  GetWindowTextW(hwnd, title, 64);
  if (wcscmp(title, f.title) != 0) return TRUE;
  f.found = true;
  return FALSE;
}

BOOL CALLBACK CloseAll(HWND hwnd, LPARAM lparam) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == static_cast<DWORD>(lparam)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
  return TRUE;
}

struct Run {
  double seconds = -1;
  SIZE_T peak = 0;
};

// Starts exe in its own folder and waits until its window titled `title` is visible.
Run StartOnce(const std::wstring& exe, const wchar_t* title) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + exe + L"\"";
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  LARGE_INTEGER freq, start, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
    return {};
  Run run;
  Find find{pi.dwProcessId, title, false};
  for (;;) {
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&find));
    QueryPerformanceCounter(&now);
    const double elapsed = static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);
    if (find.found) {
      run.seconds = elapsed;
      break;
    }
    if (elapsed > 30 || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  // Let it settle, then read how much memory it ever held.
  Sleep(200);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters)) run.peak = counters.PeakWorkingSetSize;
  EnumWindows(CloseAll, static_cast<LPARAM>(pi.dwProcessId));
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return run;
}

struct Stats {
  double median = -1, best = -1;
  SIZE_T peak = 0;
};

Stats Measure(const std::wstring& exe, const wchar_t* title, int repeats) {
  std::vector<double> times;
  Stats s;
  StartOnce(exe, title);  // first start pays for the disk cache and Wine's own warm-up
  for (int i = 0; i < repeats; ++i) {
    const Run r = StartOnce(exe, title);
    if (r.seconds < 0) continue;
    times.push_back(r.seconds);
    s.peak = std::max(s.peak, r.peak);
  }
  if (times.empty()) return s;
  std::sort(times.begin(), times.end());
  if (GetEnvironmentVariableW(L"QUORVEL_BENCH_SAMPLES", nullptr, 0) != 0) {
    std::printf("  samples (ms):");
    for (double t : times) std::printf(" %.0f", t * 1e3);
    std::printf("\n");
  }
  s.median = times[times.size() / 2];
  s.best = times.front();
  return s;
}

std::string StoreOf(int ids) {
  std::string text = "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\nFLIPS=1.2.3.4\r\n";
  for (int i = 1; i <= ids; ++i) {
    const std::string n = std::to_string(i);
    text += "[FLID_" + n + "]\r\nINSTALL=" + std::string(30, 'K') + n + "\r\nMAN=" + std::string(40, 'M') +
            "\r\nMANS=" + std::string(40, 'S') + "\r\nDISC=Pilot " + n + "|trader\r\n";
  }
  return text;
}

}  // namespace

void RunStartupBench(const std::wstring& folder) {
  const std::wstring here = BenchFolder();
  const std::wstring quorvel = here + L"\\quorvel.exe";
  const std::wstring floor = here + L"\\quorvel_floor.exe";
  constexpr int kRepeats = 25;

  std::printf("\nStart-up to a visible main window, median (best) of %d starts:\n\n", kRepeats);
  std::printf("| %-22s | %8s | %20s | %20s | %8s | %10s |\n", "program", "IDs", "floor", "quorvel", "ratio",
              "peak WS");
  std::printf("|------------------------|----------|----------------------|----------------------|----------|------------|\n");
  const std::wstring floor_dir = folder + L"\\floor";
  CreateDirectoryW(floor_dir.c_str(), nullptr);
  CopyFileW(floor.c_str(), (floor_dir + L"\\quorvel_floor.exe").c_str(), FALSE);
  const Stats base = Measure(floor_dir + L"\\quorvel_floor.exe", L"Floor", kRepeats);
  CopyFileW((here + L"\\quorvel_floor_styled.exe").c_str(), (floor_dir + L"\\quorvel_floor_styled.exe").c_str(), FALSE);
  const Stats styled = Measure(floor_dir + L"\\quorvel_floor_styled.exe", L"Floor", kRepeats);

  for (int ids : {10, 1000}) {
    const std::wstring dir = folder + L"\\start-" + std::to_wstring(ids);
    CreateDirectoryW(dir.c_str(), nullptr);
    CopyFileW(quorvel.c_str(), (dir + L"\\quorvel.exe").c_str(), FALSE);
    store::ReplaceFileAtomically(dir + L"\\FLIDs.ini", StoreOf(ids));
    const Stats s = Measure(dir + L"\\quorvel.exe", L"Quorvel - Main", kRepeats);
    std::printf("| %-22s | %8d | %9.1f (%6.1f) ms | %9.1f (%6.1f) ms | %7.2fx | %7.2f MiB |\n", "quorvel.exe", ids,
                base.median * 1e3, base.best * 1e3, s.median * 1e3, s.best * 1e3,
                base.median > 0 ? s.median / base.median : 0.0, static_cast<double>(s.peak) / (1024.0 * 1024.0));
  }
  std::printf("| %-22s | %8s | %9.1f (%6.1f) ms | %20s | %8s | %7.2f MiB |\n", "floor (empty window)", "-",
              base.median * 1e3, base.best * 1e3, "", "", static_cast<double>(base.peak) / (1024.0 * 1024.0));
  std::printf("| %-22s | %8s | %9.1f (%6.1f) ms | %20s | %7.2fx | %7.2f MiB |\n", "floor + visual styles", "-",
              styled.median * 1e3, styled.best * 1e3, "", base.median > 0 ? styled.median / base.median : 0.0,
              static_cast<double>(styled.peak) / (1024.0 * 1024.0));

  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW(quorvel.c_str(), GetFileExInfoStandard, &data))
    std::printf("\nquorvel.exe: %lu bytes (%.1f KiB)\n", data.nFileSizeLow, data.nFileSizeLow / 1024.0);
  std::fflush(stdout);
}

}  // namespace bench
