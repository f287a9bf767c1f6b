// Start-up: from process start to the main window being visible, for quorvel.exe with stores of 10
// and 1,000 saved IDs, against the floor (a program that only shows one empty window) and the styled
// floor (the same with quorvel.exe's visual styles), the one the goal is set against; also the exe's
// size and each program's peak working set.
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

// Quorvel's start-up is to be one the player cannot tell from an empty window's.
constexpr double kGoal = 1.10;

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

std::string StoreOf(int ids) {
  std::string text = "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\nFLIPS=1.2.3.4\r\n";
  for (int i = 1; i <= ids; ++i) {
    const std::string n = std::to_string(i);
    text += "[FLID_" + n + "]\r\nINSTALL=" + std::string(30, 'K') + n + "\r\nMAN=" + std::string(40, 'M') +
            "\r\nMANS=" + std::string(40, 'S') + "\r\nDISC=Pilot " + n + "|trader\r\n";
  }
  return text;
}

// The middle of sorted values, and the value a fraction q of the way up them.
double Quantile(std::vector<double> values, double q) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(q * static_cast<double>(values.size() - 1) + 0.5)];
}

// One program the rounds start, and what its starts measured.
struct Contender {
  const char* name;
  int ids;  // saved IDs in its store; 0 for the floors
  std::wstring exe;
  const wchar_t* title;
  std::vector<double> seconds;  // per round; -1 where the start failed
  SIZE_T peak = 0;
};

// 1000 as "1,000".
std::string Thousands(int n) {
  return n < 1000 ? std::to_string(n) : Thousands(n / 1000) + "," + std::to_string(n % 1000 + 1000).substr(1);
}

int Rounds() {
  wchar_t text[16] = {};
  const DWORD n = GetEnvironmentVariableW(L"QUORVEL_BENCH_ROUNDS", text, 16);
  const int rounds = n > 0 && n < 16 ? _wtoi(text) : 0;
  return rounds > 0 ? rounds : 40;
}

}  // namespace

// The starts are interleaved: each round starts every program once, the order turning by one program
// each round, so that a machine growing busier or quieter meanwhile weighs on every program alike. Each
// program's median is over the rounds, and each round also gives quorvel.exe's own ratio to the styled
// floor started in it: how far those ratios spread says how far the ratio of medians can be trusted.
void RunStartupBench(const std::wstring& folder) {
  const std::wstring here = BenchFolder();
  const std::wstring floor_dir = folder + L"\\floor";
  CreateDirectoryW(floor_dir.c_str(), nullptr);
  std::vector<Contender> all;
  for (const wchar_t* exe : {L"quorvel_floor.exe", L"quorvel_floor_styled.exe"}) {
    CopyFileW((here + L"\\" + exe).c_str(), (floor_dir + L"\\" + exe).c_str(), FALSE);
    all.push_back({all.empty() ? "floor (empty window)" : "floor + visual styles", 0, floor_dir + L"\\" + exe, L"Floor", {}});
  }
  for (int ids : {10, 1000}) {
    const std::wstring dir = folder + L"\\start-" + std::to_wstring(ids);
    CreateDirectoryW(dir.c_str(), nullptr);
    CopyFileW((here + L"\\quorvel.exe").c_str(), (dir + L"\\quorvel.exe").c_str(), FALSE);
    store::ReplaceFileAtomically(dir + L"\\FLIDs.ini", StoreOf(ids));
    all.push_back({"quorvel.exe", ids, dir + L"\\quorvel.exe", L"Quorvel - Main", {}});
  }
  constexpr size_t kStyled = 1;

  const int rounds = Rounds();
  for (Contender& c : all) StartOnce(c.exe, c.title);  // the first start pays for the disk cache and Wine's warm-up
  for (int round = 0; round < rounds; ++round)
    for (size_t k = 0; k < all.size(); ++k) {
      Contender& c = all[(k + static_cast<size_t>(round)) % all.size()];
      const Run r = StartOnce(c.exe, c.title);
      c.seconds.push_back(r.seconds);
      c.peak = std::max(c.peak, r.peak);
    }

  std::printf("\nStart-up to a visible main window over %d rounds, each starting every program once in turn "
              "(QUORVEL_BENCH_ROUNDS):\nmedian and best time; ratio of the medians to the styled floor's; "
              "spread: the middle half of the rounds' own ratios.\n\n", rounds);
  std::printf("| %-22s | %5s | %20s | %9s | %13s | %10s |\n", "program", "IDs", "median (best)", "ratio", "spread", "peak WS");
  std::printf("|------------------------|-------|----------------------|-----------|---------------|------------|\n");
  const auto good = [](const std::vector<double>& seconds) {
    std::vector<double> kept;
    for (double t : seconds)
      if (t >= 0) kept.push_back(t);
    return kept;
  };
  const double styled_median = Quantile(good(all[kStyled].seconds), 0.5);
  std::string verdict;
  for (const Contender& c : all) {
    const std::vector<double> times = good(c.seconds);
    if (times.empty()) {
      std::printf("| %-22s | did not start |\n", c.name);
      verdict += std::string(verdict.empty() ? "" : "; ") + "no start at " + std::to_string(c.ids) + " IDs";
      continue;
    }
    if (GetEnvironmentVariableW(L"QUORVEL_BENCH_SAMPLES", nullptr, 0) != 0) {
      std::printf("  samples (ms):");
      for (double t : c.seconds) std::printf(" %.0f", t * 1e3);
      std::printf("\n");
    }
    std::vector<double> ratios;  // this program against the styled floor of the same round
    for (size_t i = 0; i < c.seconds.size() && i < all[kStyled].seconds.size(); ++i)
      if (c.seconds[i] >= 0 && all[kStyled].seconds[i] > 0) ratios.push_back(c.seconds[i] / all[kStyled].seconds[i]);
    const double median = Quantile(times, 0.5), ratio = median / styled_median;
    char ids[8] = "-", spread[32] = "";
    if (c.ids > 0) std::snprintf(ids, sizeof ids, "%d", c.ids);
    if (&c != &all[kStyled]) std::snprintf(spread, sizeof spread, "%.2f-%.2fx", Quantile(ratios, 0.25), Quantile(ratios, 0.75));
    std::printf("| %-22s | %5s | %8.1f (%6.1f) ms | %8.2fx | %13s | %6.2f MiB |\n", c.name, ids, median * 1e3,
                Quantile(times, 0) * 1e3, ratio, spread, static_cast<double>(c.peak) / (1024.0 * 1024.0));
    if (c.ids > 0) {
      char said[96];
      std::snprintf(said, sizeof said, "%s at %s IDs (%.3fx)", ratio <= kGoal ? "holds" : "does not hold",
                    Thousands(c.ids).c_str(), ratio);
      verdict += (verdict.empty() ? "" : "; ") + std::string(said);
    }
  }
  std::printf("\nGoal, quorvel.exe at most %.2fx the styled floor (ratio of medians): %s.\n", kGoal, verdict.c_str());

  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW((here + L"\\quorvel.exe").c_str(), GetFileExInfoStandard, &data))
    std::printf("\nquorvel.exe: %lu bytes (%.1f KiB)\n", data.nFileSizeLow, data.nFileSizeLow / 1024.0);
  std::fflush(stdout);
}

}  // namespace bench
