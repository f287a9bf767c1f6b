// Deleting FLID_1 of large stores: our one-pass delete with one atomic replacement of the file,
// against the step-by-step way (one rewrite to cut the section, then for every later section one
// full read and rewrite of the file to renumber its header).
#include "delete_bench.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench.h"
#include "core/delete_section.h"
#include "store/files.h"

namespace bench {
namespace {

std::string MakeStore(int count) {
  std::string t = "[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer\\EXE\\Freelancer.exe\r\nFLIPS=10.0.0.1\r\n";
  for (int n = 1; n <= count; ++n) {
    const std::string id = std::to_string(n);
    t += "[FLID_" + id + "]\r\nINSTALL=0123456789ABCDEF0123456789ABCDEF-" + id + "\r\nMAN=account " + id +
         "\r\nMANS=signature-" + id + "\r\nDISC=pilot " + id + "|trader\r\n";
  }
  return t;
}

// Plain whole-file reads and truncating writes, as the step-by-step delete does them.
std::string ReadAll(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size)) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
    bytes.resize(got);
  }
  CloseHandle(file);
  return bytes;
}

bool WriteAll(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
                  wrote == bytes.size();
  CloseHandle(file);
  return ok;
}

std::string Header(int n) { return "[FLID_" + std::to_string(n) + "]"; }

void StepByStepDelete(const std::wstring& path, int m, int count) {
  std::string t = ReadAll(path);
  const std::size_t p = t.find(Header(m));
  const std::size_t q = t.find('[', p + 1);
  WriteAll(path, t.substr(0, p) + t.substr(q));
  for (int d = m + 1; d <= count; ++d) {
    t = ReadAll(path);
    const std::size_t at = t.find(Header(d));
    const std::size_t end = t.find("\r\n", at);
    WriteAll(path, t.substr(0, at) + Header(d - 1) + t.substr(end));
  }
}

bool OnePassDelete(const std::wstring& path, int m, int count) {
  const store::FileText read = store::ReadWholeFile(path);
  if (!read.status || !read.exists) return false;
  const core::DeleteResult result = core::DeleteIdSection(read.bytes, m, count);
  return result.outcome == core::DeleteOutcome::kOk && store::ReplaceFileAtomically(path, result.text).ok();
}

// Best time of `repeats` runs of delete_fn, each on a freshly written store; the store is written
// outside the timing.
template <typename Fn>
double TimeDelete(const std::wstring& path, const std::string& store, int repeats, Fn&& delete_fn) {
  double best = 1e300;
  for (int i = 0; i < repeats; ++i) {
    WriteAll(path, store);
    best = std::min(best, BestSeconds(1, delete_fn));
  }
  return best;
}

}  // namespace

void RunDeleteBench(const std::wstring& folder) {
  const std::wstring path = folder + L"\\delete_bench.ini";
  double ratio_at_1000 = 0, ours_at_1000 = 0, ours_at_10000 = 0;
  for (const int count : {100, 1000, 10000}) {
    const std::string store = MakeStore(count);

    bool ours_ok = true;
    const double ours = TimeDelete(path, store, 5, [&] { ours_ok = OnePassDelete(path, 1, count) && ours_ok; });
    const std::string ours_text = ReadAll(path);

    const double reference =
        TimeDelete(path, store, count >= 10000 ? 1 : 3, [&] { StepByStepDelete(path, 1, count); });
    if (!ours_ok || ReadAll(path) != ours_text) {
      std::fprintf(stderr, "delete bench: the two deletes disagree at %d saved IDs\n", count);
    }
    Row("delete FLID_1", count, reference, ours);
    if (count == 1000) {
      ratio_at_1000 = reference / ours;
      ours_at_1000 = ours;
    }
    if (count == 10000) ours_at_10000 = ours;
  }
  DeleteFileW(path.c_str());
  std::fprintf(stderr, "delete: ours %.0fx faster than the reference at 1,000 IDs (target at least 100x)\n",
               ratio_at_1000);
  std::fprintf(stderr, "delete: ours at 10,000 IDs costs %.1fx ours at 1,000 (linear: about 10x)\n",
               ours_at_10000 / ours_at_1000);
}

}  // namespace bench
