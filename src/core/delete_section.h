#pragma once
// Deleting a saved ID from the store's text: the section "[FLID_m]" is cut out and the header of
// every later saved ID is renumbered one down, so that the sections are numbered 1..n-1 again.
// Done as one pure transform on the bytes so that the caller can write the result with a single
// atomic replacement; the file never holds a gap in the numbering.
#include <string>
#include <string_view>

namespace core {

enum class DeleteOutcome {
  kOk,
  kBadNumber,               // m is not within 1..id_count
  kHeaderNotFound,          // "[FLID_m]" is not in the text
  kNoNextSection,           // the section is not the last one, yet no "[" follows its header
  kRenumberedHeaderMissing, // some "[FLID_d]" with m < d <= id_count is not in the text
  kNoLineEnd,               // a header to renumber is not followed by a line end
};

struct DeleteResult {
  DeleteOutcome outcome = DeleteOutcome::kOk;
  std::string text;  // the new store text; empty unless outcome is kOk
};

// The text after deleting saved ID m of id_count, byte for byte what these steps give:
//  1. Find the first "[FLID_m]" (exact and case-sensitive; the "]" keeps FLID_1 from matching
//     FLID_10) and cut from it up to the next "[", or to the end when there is none and m is the
//     last saved ID. A section that follows the last saved ID (say the settings moved there by
//     hand) thus stays.
//  2. For d = m+1..id_count in turn, find the first "[FLID_d]" in the text as it is at that moment
//     and replace it and the rest of its line, up to the line end, by "[FLID_(d-1)]".
// A line end is CR LF, LF or a CR alone, as the profile reader reads lines. Every other byte stays as
// it was. Runs in time linear in the text.
// Any failure returns its outcome and no text, so the caller leaves the file as it is.
DeleteResult DeleteIdSection(std::string_view text, int m, int id_count);

// A short English sentence for an outcome, for the message that says the store was not changed.
const wchar_t* DeleteOutcomeText(DeleteOutcome outcome);

}  // namespace core
