#include "core/id_numbers.h"

#include <string>
#include <unordered_set>

#include "core/store_format.h"

namespace core {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Lower-cased names of every section header: a line whose first non-blank character is "[" and that
// holds a "]"; the name runs to the last "]".
std::unordered_set<std::string> SectionNames(std::string_view text) {
  std::unordered_set<std::string> names;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    if (first < line.size() && line[first] == '[') {
      const size_t close = line.rfind(']');
      if (close != std::string_view::npos && close > first) names.insert(Lower(line.substr(first + 1, close - first - 1)));
    }
    pos = end + 1;
  }
  return names;
}

}  // namespace

int FreeIdNumber(std::string_view text, int id_count) {
  const std::unordered_set<std::string> names = SectionNames(text);
  auto taken = [&](int n) { return names.count(Lower(IdSectionName(n))) != 0; };
  if (!taken(id_count + 1)) return id_count + 1;
  for (int n = 1; n <= kMaxSavedIds; ++n)
    if (!taken(n)) return n;
  return id_count + 1;
}

}  // namespace core
