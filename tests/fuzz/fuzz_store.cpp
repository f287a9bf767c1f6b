// libFuzzer target for the store's text rules: the delete transform (checked against the
// step-by-step delete), the loader and the header count, on arbitrary bytes.
// The first two bytes choose the saved ID to delete and the count; the rest is the store's text.
// Built and run by scripts/fuzz.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string_view>

#include "core/delete_section.h"
#include "core/description.h"
#include "core/store_format.h"
#include "core/step_by_step_delete.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_store: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int m = data[0] % 24;             // 0 and numbers past the count are refused, so cover them
  const int count = m + data[1] % 8 - 2;  // the ID is sometimes the last, sometimes not
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

  const core::DeleteResult ours = core::DeleteIdSection(text, m, count);
  Check(ours.outcome == core::DeleteOutcome::kOk || ours.text.empty(), "a failure came with text");
  if (ours.outcome == core::DeleteOutcome::kOk) Check(ours.text.size() <= text.size(), "the text grew");
  const core::DeleteResult reference = testref::StepByStepDelete(std::string(text), m, count);
  Check(ours.outcome == reference.outcome, "outcome differs from the step-by-step delete");
  Check(ours.text == reference.text, "text differs from the step-by-step delete");

  const core::LoadedStore loaded = core::LoadStoreText(text);
  Check(loaded.id_count >= 0 && loaded.id_count <= core::kMaxSavedIds, "count out of range");
  Check(loaded.id_count == core::CountIdHeaders(text), "loader and count disagree");
  Check(loaded.rows.size() == static_cast<std::size_t>(loaded.id_count) + 1, "table size");
  for (const core::StoreRow& row : loaded.rows) {
    for (const std::string& cell : row) Check(cell.size() <= 254, "a value longer than the reader returns");
  }

  // The description rules, on the same bytes taken as characters.
  const std::wstring typed(text.begin(), text.end());
  const std::wstring clean = core::CleanDescription(typed);
  Check(clean.size() == typed.size() && clean.find_first_of(L"[]") == std::wstring::npos, "brackets left");
  Check(core::FormatDescription(clean).size() <= clean.size() + 4, "label grew by more than four breaks");
  return 0;
}
