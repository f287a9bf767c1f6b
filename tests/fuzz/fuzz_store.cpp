// libFuzzer target for the store's text rules on arbitrary bytes: the delete transform against the
// step-by-step delete, the loader, the profile reader's two forms, a write read back, descriptions,
// and the archive: what it writes reads back, and holds every saved ID it took in.
// The first two bytes choose the saved ID to delete and the count; the rest is the store's text.
// Built and run by scripts/fuzz.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/archive.h"
#include "core/delete_section.h"
#include "core/description.h"
#include "core/profile.h"
#include "fuzz/step_by_step_delete.h"
#include "core/store_format.h"

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_store: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int m = data[0] % 24, count = m + data[1] % 8 - 2;  // m past the count, or 0, is refused: cover it
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

  const core::DeleteResult ours = core::DeleteIdSection(text, m, count);
  const core::DeleteResult step = testref::StepByStepDelete(std::string(text), m, count);
  Check(ours.outcome == step.outcome && ours.text == step.text, "differs from the step-by-step delete");
  Check(ours.outcome == core::DeleteOutcome::kOk || ours.text.empty(), "a failure came with text");

  const core::LoadedStore loaded = core::LoadStoreText(text);
  Check(loaded.id_count == core::CountIdHeaders(text) && loaded.rows.size() == std::size_t(loaded.id_count) + 1, "table size");
  const core::ProfileIndex index(text);
  for (const char* section : {"FLID_1", "QRVL_Settings"})
    for (const char* key : {"INSTALL", "FLPATH", "DISC"})
      Check(index.Read(section, key) == core::ReadProfileValue(text, section, key), "the index reads otherwise");
  Check(core::ReadProfileValue(core::SetProfileValue(text, "FLID_1", "DISC", "d|e"), "FLID_1", "DISC") == "d|e",
        "a written value does not read back");

  std::vector<core::ArchivedId> archive = core::ReadArchive(text);
  Check(core::ReadArchive(core::ArchiveText(archive)) == archive, "the archive does not read back what it wrote");
  core::AddStoreIds(archive, loaded);
  Check(!core::LacksStoreIds(core::ArchiveText(archive), loaded), "the archive lacks a saved ID it took in");

  const std::wstring typed(text.begin(), text.end()), clean = core::CleanDescription(typed);
  Check(clean.size() == typed.size() && clean.find_first_of(L"[]") == std::wstring::npos, "brackets left");
  Check(core::FormatDescription(clean).size() <= clean.size() + 4, "more than four line breaks");
  return 0;
}
