#include "core/delete_section.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace core {
namespace {

constexpr std::string_view kHeaderStart = "[FLID_";
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The number n of a header "[FLID_n]" that starts at text[pos], written the way the program writes
// it (decimal digits, no sign, no leading zero), or 0 when there is none. Nothing past `end` is read.
long long HeaderNumberAt(std::string_view text, std::size_t pos, std::size_t end) {
  if (end - pos < kHeaderStart.size() + 2 || text.compare(pos, kHeaderStart.size(), kHeaderStart) != 0) return 0;
  std::size_t i = pos + kHeaderStart.size();
  if (text[i] < '1' || text[i] > '9') return 0;
  long long n = 0;
  for (int digits = 0; i < end && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    if (digits == 10) return 0;  // more than any saved-ID number can have
    n = n * 10 + (text[i] - '0');
  }
  return i < end && text[i] == ']' ? n : 0;
}

// The text with one cut [cut_from, cut_to) taken out, addressed in the original's positions; a
// position inside the cut stands for the first one after it. Ranges may straddle the cut.
class CutText {
 public:
  CutText(std::string_view text, std::size_t cut_from, std::size_t cut_to)
      : text_(text), cut_from_(cut_from), cut_to_(cut_to) {}

  void AppendRange(std::string& out, std::size_t from, std::size_t to) const {
    if (from < cut_from_) {
      if (to <= cut_from_) {
        out.append(text_, from, to - from);
        return;
      }
      out.append(text_, from, cut_from_ - from);
    }
    if (from < cut_to_) from = cut_to_;
    out.append(text_, from, to - from);
  }

 private:
  std::string_view text_;
  std::size_t cut_from_;
  std::size_t cut_to_;
};

// A renumbering candidate: a header "[FLID_d]" with m < d <= id_count, found outside the cut.
struct Candidate {
  std::size_t pos;   // where its "[" stands
  std::size_t line;  // which line of the cut text holds it, counted from 0
  long long number;
};

// Which header each renumbering step takes. Step d (m < d <= id_count, in increasing order) takes the
// first "[FLID_d]" still in the text and overwrites the rest of its line, which removes any header
// further right on that line. So a line only ever shows its leftmost taken header, and a candidate is
// gone once a header left of it on its line has been taken. Fills taken_on_line[line] with the index
// of the candidate whose replacement the line finally holds.
DeleteOutcome ChooseHeaders(const std::vector<Candidate>& candidates, int m, int id_count,
                            std::vector<std::size_t>& taken_on_line) {
  // With c candidates some number among the first c + 1 has none, so no more steps need looking at.
  const std::size_t steps = std::min(static_cast<std::size_t>(id_count - m), candidates.size() + 1);
  const auto step_of = [m](const Candidate& c) { return static_cast<std::size_t>(c.number - m - 1); };

  // The candidates of each step, in text order: by_step[first_of[k]] .. by_step[first_of[k + 1] - 1].
  std::vector<std::size_t> first_of(steps + 1, 0);
  for (const Candidate& c : candidates)
    if (step_of(c) < steps) ++first_of[step_of(c) + 1];
  for (std::size_t k = 0; k < steps; ++k) first_of[k + 1] += first_of[k];
  std::vector<std::size_t> by_step(first_of[steps]);
  std::vector<std::size_t> fill(first_of.begin(), first_of.end() - 1);
  for (std::size_t j = 0; j < candidates.size(); ++j)
    if (step_of(candidates[j]) < steps) by_step[fill[step_of(candidates[j])]++] = j;

  for (std::size_t k = 0; k < steps; ++k) {
    std::size_t chosen = kNone;
    for (std::size_t i = first_of[k]; i < first_of[k + 1] && chosen == kNone; ++i) {
      const Candidate& c = candidates[by_step[i]];
      const std::size_t taken = taken_on_line[c.line];
      if (taken == kNone || candidates[taken].pos > c.pos) chosen = by_step[i];
    }
    if (chosen == kNone) return DeleteOutcome::kRenumberedHeaderMissing;
    if (candidates[chosen].line + 1 == taken_on_line.size()) return DeleteOutcome::kNoLineEnd;
    taken_on_line[candidates[chosen].line] = chosen;
  }
  return DeleteOutcome::kOk;
}

}  // namespace

DeleteResult DeleteIdSection(std::string_view text, int m, int id_count) {
  if (m < 1 || m > id_count) return {DeleteOutcome::kBadNumber, {}};

  const std::string header = "[FLID_" + std::to_string(m) + "]";
  const std::size_t cut_from = text.find(header);
  if (cut_from == std::string_view::npos) return {DeleteOutcome::kHeaderNotFound, {}};
  std::size_t cut_to = text.find('[', cut_from + 1);
  if (cut_to == std::string_view::npos) {
    if (m != id_count) return {DeleteOutcome::kNoNextSection, {}};
    cut_to = text.size();
  }

  // One scan of the cut text for line ends and for the headers that are to be renumbered. The cut
  // joins its two sides without creating a header: every header begins with the only "[" it holds,
  // and the right side begins with a "[".
  std::vector<std::size_t> line_ends;  // where each line's end stands: its CR (of CR LF or alone), else its LF
  std::vector<Candidate> candidates;   // in text order
  const auto scan = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      const char c = text[i];
      if (c == '\n') {
        line_ends.push_back(i > from && text[i - 1] == '\r' ? i - 1 : i);
      } else if (c == '\r' && (i + 1 == to || text[i + 1] != '\n')) {
        line_ends.push_back(i);  // a CR on its own ends a line too, as the profile reader reads it
      } else if (c == '[') {
        const long long n = HeaderNumberAt(text, i, to);
        if (n > m && n <= id_count) candidates.push_back({i, line_ends.size(), n});
      }
    }
  };
  scan(0, cut_from);
  scan(cut_to, text.size());

  std::vector<std::size_t> taken_on_line(line_ends.size() + 1, kNone);
  if (const DeleteOutcome chosen = ChooseHeaders(candidates, m, id_count, taken_on_line);
      chosen != DeleteOutcome::kOk)
    return {chosen, {}};

  // The cut text, with each line that had headers taken rewritten from its leftmost taken header up
  // to its line end.
  const CutText cut(text, cut_from, cut_to);
  std::string out;
  out.reserve(text.size() - (cut_to - cut_from) + 16);
  std::size_t copied_to = 0;
  for (std::size_t j = 0; j < candidates.size(); ++j) {
    const Candidate& c = candidates[j];
    if (taken_on_line[c.line] != j) continue;
    cut.AppendRange(out, copied_to, c.pos);
    out += kHeaderStart;
    out += std::to_string(c.number - 1);
    out += ']';
    copied_to = line_ends[c.line];
  }
  cut.AppendRange(out, copied_to, text.size());
  return {DeleteOutcome::kOk, std::move(out)};
}

const wchar_t* DeleteOutcomeText(DeleteOutcome outcome) {
  switch (outcome) {
    case DeleteOutcome::kOk:
      return L"The saved ID was deleted.";
    case DeleteOutcome::kBadNumber:
      return L"The selected saved ID is not in the store.";
    case DeleteOutcome::kHeaderNotFound:
      return L"The section of the selected saved ID was not found.";
    case DeleteOutcome::kNoNextSection:
      return L"The section of the selected saved ID is not followed by the next saved ID.";
    case DeleteOutcome::kRenumberedHeaderMissing:
      return L"A later saved ID's section is missing, so the IDs could not be renumbered.";
    case DeleteOutcome::kNoLineEnd:
      return L"A later saved ID's section header does not end its line.";
  }
  return L"The store is not laid out as expected.";
}

}  // namespace core
