#pragma once
// Deleting a saved ID the plain way, as a yardstick for core::DeleteIdSection: one rewrite that cuts
// the section, then one rewrite of the whole text per later section, each searching afresh.
// Line ends are CR LF, LF or a CR alone. The fuzz target compares the one-pass delete with it.
#include <string>

#include "core/delete_section.h"

namespace testref {

inline std::string Header(long long n) { return "[FLID_" + std::to_string(n) + "]"; }

inline core::DeleteResult StepByStepDelete(std::string t, int m, int count) {
  using core::DeleteOutcome;
  if (m < 1 || m > count) return {DeleteOutcome::kBadNumber, {}};
  const std::size_t p = t.find(Header(m));
  if (p == std::string::npos) return {DeleteOutcome::kHeaderNotFound, {}};
  std::size_t q = t.find('[', p + 1);
  if (q == std::string::npos) {
    if (m != count) return {DeleteOutcome::kNoNextSection, {}};
    q = t.size();
  }
  t = t.substr(0, p) + t.substr(q);
  for (int d = m + 1; d <= count; ++d) {
    const std::size_t at = t.find(Header(d));
    if (at == std::string::npos) return {DeleteOutcome::kRenumberedHeaderMissing, {}};
    const std::size_t end = t.find_first_of("\r\n", at);  // CR LF, a CR alone, or LF
    if (end == std::string::npos) return {DeleteOutcome::kNoLineEnd, {}};
    t = t.substr(0, at) + Header(d - 1) + t.substr(end);
  }
  return {DeleteOutcome::kOk, t};
}

}  // namespace testref
