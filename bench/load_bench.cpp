// Loading the store: our loader (one read of the file, one parse, in-memory look-ups) against the
// way the store used to be loaded, GetPrivateProfileStringA four times per saved ID after counting
// the headers.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text.h"
#include "bench.h"
#include "core/store_format.h"
#include "store/files.h"

namespace bench {
namespace {

// A store as the program writes it: the settings, then n saved IDs with values of realistic length
// (the game's install keys and account signatures are long hex strings), every third one described.
std::string StoreText(int n) {
  std::string text = "[QRVL_Settings]\r\nFLPATH=C:\\Program Files\\Microsoft Games\\Freelancer\\EXE\\Freelancer.exe\r\n"
                     "FLIPS=1.2.3.4|5.6.7.8|9.10.11.12\r\n";
  char line[160];
  for (int i = 1; i <= n; ++i) {
    const unsigned u = static_cast<unsigned>(i);
    std::snprintf(line, sizeof line, "[FLID_%d]\r\nINSTALL=%08X-4B1D-7A2C-%012d\r\n", i, u * 2654435761u, i);
    text += line;
    std::snprintf(line, sizeof line, "MAN=%08X%08X%08X\r\nMANS=%08X%08X%08X%08X%08X\r\n", u * 7u, u * 13u, u * 17u,
                  u * 19u, u * 23u, u * 29u, u * 31u, u * 37u);
    text += line;
    if (i % 3 == 0) {
      std::snprintf(line, sizeof line, "DISC=Pilot %d|trader on the second server\r\n", i);
      text += line;
    }
  }
  return text;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (file == INVALID_HANDLE_VALUE || !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    std::fprintf(stderr, "cannot write the benchmark store\n");
    std::exit(1);
  }
  CloseHandle(file);
}

core::LoadedStore LoadOurs(const std::wstring& path) {
  const store::FileText text = store::ReadWholeFile(path);
  if (!text.status || !text.exists) {
    std::fprintf(stderr, "cannot read the benchmark store\n");
    std::exit(1);
  }
  return core::LoadStoreText(text.bytes);
}

std::string ProfileString(const char* section, const char* key, const std::string& file) {
  char buffer[255] = {};
  const DWORD n = GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, file.c_str());
  return std::string(buffer, n);
}

// The reference: the headers counted in one pass over the text, then every value through the
// profile functions with a 255-character buffer.
core::LoadedStore LoadReference(const std::wstring& path) {
  const store::FileText text = store::ReadWholeFile(path);
  core::LoadedStore store;
  store.id_count = core::CountIdHeaders(text.bytes);
  store.rows.resize(static_cast<std::size_t>(store.id_count) + 1);
  const std::string file = base::ToAnsi(path);
  for (int i = 1; i <= store.id_count; ++i) {
    const std::string section = core::IdSectionName(i);
    for (std::size_t column = 1; column <= core::kIdKeys.size(); ++column)
      store.rows[static_cast<std::size_t>(i)][column] =
          ProfileString(section.c_str(), std::string(core::kIdKeys[column - 1]).c_str(), file);
  }
  store.game_path = ProfileString("QRVL_Settings", "FLPATH", file);
  store.server_ips = ProfileString("QRVL_Settings", "FLIPS", file);
  return store;
}

bool Same(const core::LoadedStore& a, const core::LoadedStore& b) {
  return a.id_count == b.id_count && a.rows == b.rows && a.game_path == b.game_path && a.server_ips == b.server_ips;
}

}  // namespace

void RunLoadBench(const std::wstring& folder) {
  struct Size {
    int ids;
    int our_runs;
    int reference_runs;
  };
  const Size sizes[] = {{10, 200, 10}, {100, 100, 5}, {1000, 30, 3}, {10000, 10, 2}};
  double ours_at_1000 = 0;
  double ours_at_10000 = 0;
  double ratio_at_1000 = 0;
  int copy = 0;
  for (const Size& size : sizes) {
    const std::wstring path = folder + L"\\load" + std::to_wstring(size.ids) + L".ini";
    const std::string text = StoreText(size.ids);
    WriteFileBytes(path, text);

    // Wine's profile functions keep recently used files in memory: each reference run gets a copy
    // under a name they have never seen, made before the clock starts.
    auto fresh_copy = [&] {
      const std::wstring name = folder + L"\\ref" + std::to_wstring(copy++) + L".ini";
      WriteFileBytes(name, text);
      return name;
    };
    if (!Same(LoadOurs(path), LoadReference(fresh_copy()))) {
      std::fprintf(stderr, "our loader and the reference disagree on a store of %d IDs\n", size.ids);
      std::exit(1);
    }

    const double ours = BestSeconds(size.our_runs, [&] { LoadOurs(path); });
    double reference = 1e300;
    for (int run = 0; run < size.reference_runs; ++run) {
      const std::wstring name = fresh_copy();
      reference = std::min(reference, BestSeconds(1, [&] { LoadReference(name); }));
    }
    Row("load store", size.ids, reference, ours);
    if (size.ids == 1000) {
      ours_at_1000 = ours;
      ratio_at_1000 = reference / ours;
    }
    if (size.ids == 10000) ours_at_10000 = ours;
  }
  std::fprintf(stderr, "load: ours %.0fx faster than the reference at 1,000 IDs (target at least 100x)\n", ratio_at_1000);
  std::fprintf(stderr, "load: ours at 10,000 IDs costs %.1fx ours at 1,000 (target at most 15x)\n",
               ours_at_1000 > 0 ? ours_at_10000 / ours_at_1000 : 0.0);
}

}  // namespace bench
