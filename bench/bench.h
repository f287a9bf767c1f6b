#pragma once
// The benchmark program: each group measures ours against the reference way of doing the same work,
// in one run, and prints rows of one table.
#include <chrono>
#include <cstdio>
#include <string>

namespace bench {

// Seconds taken by fn, best of `repeats` runs (the least disturbed one).
template <typename Fn>
double BestSeconds(int repeats, Fn&& fn) {
  double best = 1e300;
  for (int i = 0; i < repeats; ++i) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() < best) best = took.count();
  }
  return best;
}

// One table row: what, size, reference time, our time, and the ratio reference / ours.
inline void Row(const std::string& what, long long size, double reference_s, double ours_s) {
  std::printf("| %-28s | %8lld | %12.3f ms | %12.3f ms | %9.1fx |\n", what.c_str(), size, reference_s * 1e3,
              ours_s * 1e3, ours_s > 0 ? reference_s / ours_s : 0.0);
  std::fflush(stdout);
}

inline void Header() {
  std::printf("| %-28s | %8s | %15s | %15s | %10s |\n", "benchmark", "IDs", "reference", "ours", "ratio");
  std::printf("|------------------------------|----------|-----------------|-----------------|------------|\n");
}

// Groups; each prints its rows. main() runs them in this order.
void RunLoadBench(const std::wstring& folder);    // loading stores of 10 .. 10,000 saved IDs
void RunDeleteBench(const std::wstring& folder);  // deleting FLID_1 of stores of 100 .. 10,000 saved IDs
void RunStartupBench(const std::wstring& folder); // quorvel.exe start-up against an empty-window program

}  // namespace bench
