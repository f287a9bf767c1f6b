// Loading the store: our loader (one read of the file, one parse, in-memory look-ups, then the
// archive read and compared with the store, as every load does) against the way the store used to be
// loaded, GetPrivateProfileStringA four times per saved ID after counting the headers. The archive's
// share is measured on its own too.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text.h"
#include "bench.h"
#include "core/archive.h"
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

// The archive after the store's IDs were listed once and a tenth as many more deleted since.
std::string ArchiveFor(const std::string& store_text) {
  std::vector<core::ArchivedId> archive;
  const core::LoadedStore loaded = core::LoadStoreText(store_text);
  for (std::size_t i = 1; i * 10 < loaded.rows.size(); ++i)
    archive.push_back({"GONE-" + std::to_string(i), loaded.rows[i][2], loaded.rows[i][3], "Deleted pilot", "2026-12-01 10:00"});
  core::AddStoreIds(archive, loaded);
  return core::ArchiveText(archive);
}

// What a load does with the archive beside the store: reads it and finds the store's IDs it lacks (none
// here, so nothing is written, as at every start after the first).
void CheckArchive(const std::wstring& archive_path, const core::LoadedStore& loaded) {
  const store::FileText text = store::ReadWholeFile(archive_path);
  if (!text.status || !text.exists || core::LacksStoreIds(text.bytes, loaded)) {
    std::fprintf(stderr, "the benchmark archive is not what a load expects\n");
    std::exit(1);
  }
}

core::LoadedStore LoadOurs(const std::wstring& path, const std::wstring& archive_path) {
  const store::FileText text = store::ReadWholeFile(path);
  if (!text.status || !text.exists) {
    std::fprintf(stderr, "cannot read the benchmark store\n");
    std::exit(1);
  }
  core::LoadedStore loaded = core::LoadStoreText(text.bytes);
  CheckArchive(archive_path, loaded);
  return loaded;
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
  double archive_share[2] = {0, 0};
  int copy = 0;
  for (const Size& size : sizes) {
    const std::wstring path = folder + L"\\load" + std::to_wstring(size.ids) + L".ini";
    const std::wstring archive_path = folder + L"\\archive" + std::to_wstring(size.ids) + L".ini";
    const std::string text = StoreText(size.ids);
    WriteFileBytes(path, text);
    WriteFileBytes(archive_path, ArchiveFor(text));

    // Wine's profile functions keep recently used files in memory: each reference run gets a copy
    // under a name they have never seen, made before the clock starts.
    auto fresh_copy = [&] {
      const std::wstring name = folder + L"\\ref" + std::to_wstring(copy++) + L".ini";
      WriteFileBytes(name, text);
      return name;
    };
    if (!Same(LoadOurs(path, archive_path), LoadReference(fresh_copy()))) {
      std::fprintf(stderr, "our loader and the reference disagree on a store of %d IDs\n", size.ids);
      std::exit(1);
    }

    const double ours = BestSeconds(size.our_runs, [&] { LoadOurs(path, archive_path); });
    const core::LoadedStore loaded = LoadOurs(path, archive_path);
    const double archive = BestSeconds(size.our_runs, [&] { CheckArchive(archive_path, loaded); });
    double reference = 1e300;
    for (int run = 0; run < size.reference_runs; ++run) {
      const std::wstring name = fresh_copy();
      reference = std::min(reference, BestSeconds(1, [&] { LoadReference(name); }));
    }
    Row("load store, with the archive", size.ids, reference, ours);
    Row("  of which the archive", size.ids, reference, archive);
    if (size.ids == 1000) {
      ours_at_1000 = ours;
      ratio_at_1000 = reference / ours;
      archive_share[0] = archive / ours;
    }
    if (size.ids == 10000) {
      ours_at_10000 = ours;
      archive_share[1] = archive / ours;
    }
  }
  std::fprintf(stderr, "load: ours %.0fx faster than the reference at 1,000 IDs (target at least 100x)\n", ratio_at_1000);
  std::fprintf(stderr, "load: ours at 10,000 IDs costs %.1fx ours at 1,000 (target at most 15x)\n",
               ours_at_1000 > 0 ? ours_at_10000 / ours_at_1000 : 0.0);
  std::fprintf(stderr, "load: the archive's share of our load: %.0f%% at 1,000 IDs, %.0f%% at 10,000\n", archive_share[0] * 100,
               archive_share[1] * 100);
}

}  // namespace bench
