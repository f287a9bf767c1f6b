#include "core/profile.h"

#include <algorithm>

namespace core {
namespace {

// Blanks that the profile reader trims around lines, names and values. ^Z is the old DOS end-of-file
// mark that editors of that time left at the end of a file; the profile functions treat it as a blank.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names are compared without regard to ASCII letter case only: bytes of the upper half of the code
// page are compared as they are, as the profile functions do with single-byte text.
bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string LowerName(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A UTF-8 byte order mark at the very start is not part of the first line (Notepad writes one).
std::size_t TextStart(std::string_view text) {
  return text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
}

// One physical line. A line ends at CR LF, LF or a lone CR; `next` is where the following line starts.
struct RawLine {
  std::size_t begin = 0;
  std::size_t end = 0;   // end of the content, before the line end
  std::size_t next = 0;  // after the line end
};

class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text), pos_(TextStart(text)) {}

  bool Next(RawLine& line) {
    if (pos_ >= text_.size()) return false;
    line.begin = pos_;
    // A plain scan: find_first_of with a set of characters is several times slower on long stores.
    std::size_t i = pos_;
    while (i < text_.size() && text_[i] != '\n' && text_[i] != '\r') ++i;
    if (i == text_.size()) {
      line.end = line.next = text_.size();
    } else {
      line.end = i;
      line.next = i + 1;
      if (text_[i] == '\r' && line.next < text_.size() && text_[line.next] == '\n') ++line.next;
    }
    pos_ = line.next;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_;
};

// What one line means to the profile reader.
struct ParsedLine {
  enum Kind { kBlank, kHeader, kKey } kind = kBlank;
  std::string_view name;   // section name of a header, key name of a key line (both trimmed)
  bool has_value = false;  // a key line without "=" is a key without value, read as missing
  std::string_view value;  // trimmed
};

// Names are C strings to the profile functions: a NUL byte inside one ends it there.
std::string_view UpToNul(std::string_view name) { return name.substr(0, name.find('\0')); }

ParsedLine ParseLine(std::string_view raw) {
  ParsedLine parsed;
  const std::string_view line = Trim(raw);
  if (line.empty()) return parsed;
  // A header is a line that starts with "[" and holds a "]"; the name runs up to the last "]", so
  // anything after it is ignored. "[" without any "]" is an ordinary (malformed) key line.
  if (line.front() == '[') {
    const std::size_t close = line.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      parsed.kind = ParsedLine::kHeader;
      parsed.name = UpToNul(Trim(line.substr(1, close - 1)));
      return parsed;
    }
  }
  parsed.kind = ParsedLine::kKey;
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    parsed.name = UpToNul(line);  // comment lines land here and never match a real key
    return parsed;
  }
  parsed.name = UpToNul(Trim(line.substr(0, eq)));
  parsed.has_value = true;
  parsed.value = Trim(line.substr(eq + 1));
  return parsed;
}

// What a read with a 255-character buffer makes of a stored value: a matching pair of double or
// single quotes around it is dropped, the text stops at a NUL byte, and at most 254 characters remain.
std::string AsRead(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  value = value.substr(0, value.find('\0'));
  return std::string(value.substr(0, kProfileValueLimit));
}

// Keys that stand before the first header belong to a section whose name is empty.
constexpr std::string_view kNoSection = "";

// Where a section lies in the text, for the writer.
struct SectionSpan {
  bool found = false;
  std::size_t body_end = 0;  // end (after the line end) of the section's last non-blank line
  bool body_end_has_line_end = true;
  bool key_found = false;
  std::size_t key_name_end = 0;  // end of the key's name in its line
  std::size_t key_line_end = 0;  // end of that line, before its line end
};

SectionSpan Locate(std::string_view text, std::string_view section, std::string_view key) {
  section = Trim(section);
  key = Trim(key);
  SectionSpan span;
  bool inside = SameName(section, kNoSection);
  span.found = inside;
  span.body_end = TextStart(text);
  LineReader reader(text);
  RawLine raw;
  while (reader.Next(raw)) {
    const ParsedLine parsed = ParseLine(text.substr(raw.begin, raw.end - raw.begin));
    if (parsed.kind == ParsedLine::kHeader) {
      if (inside) break;  // only the first section of a name counts
      if (SameName(parsed.name, section)) {
        inside = span.found = true;
        span.body_end = raw.next;
        span.body_end_has_line_end = raw.next > raw.end;
      }
      continue;
    }
    if (!inside || parsed.kind == ParsedLine::kBlank) continue;
    span.body_end = raw.next;
    span.body_end_has_line_end = raw.next > raw.end;
    if (!span.key_found && SameName(parsed.name, key)) {
      span.key_found = true;
      // The name as the file spells it, with the indentation before it, stays; the rest is rewritten.
      const std::size_t name_at = static_cast<std::size_t>(parsed.name.data() - text.data());
      span.key_name_end = name_at + parsed.name.size();
      span.key_line_end = raw.end;
    }
  }
  return span;
}

// CR LF, unless every existing line of the file ends in a bare LF: then the file keeps its style.
std::string_view LineEndOf(std::string_view text) {
  bool any = false;
  for (std::size_t i = text.find_first_of("\r\n"); i != std::string_view::npos;
       i = text.find_first_of("\r\n", i + 1)) {
    if (text[i] == '\r') return "\r\n";
    any = true;
  }
  return any ? "\n" : "\r\n";
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section, std::string_view key) {
  section = Trim(section);
  key = Trim(key);
  if (key.empty()) return std::nullopt;
  bool inside = SameName(section, kNoSection);
  LineReader reader(text);
  RawLine raw;
  while (reader.Next(raw)) {
    const ParsedLine parsed = ParseLine(text.substr(raw.begin, raw.end - raw.begin));
    if (parsed.kind == ParsedLine::kHeader) {
      if (inside) return std::nullopt;  // the first section of the name did not hold the key
      inside = SameName(parsed.name, section);
    } else if (inside && parsed.kind == ParsedLine::kKey && SameName(parsed.name, key)) {
      // The first line of the name decides, even when it has no "=" (then the key has no value).
      if (!parsed.has_value) return std::nullopt;
      return std::string(parsed.value);
    }
  }
  return std::nullopt;
}

std::string ReadProfileValue(std::string_view text, std::string_view section, std::string_view key) {
  const std::optional<std::string> value = FindProfileValue(text, section, key);
  return value ? AsRead(*value) : std::string();
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  const SectionSpan span = Locate(text, section, key);
  const std::string_view eol = LineEndOf(text);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);

  if (span.key_found) {
    out.append(text.substr(0, span.key_name_end));
    out.append("=").append(value);
    out.append(text.substr(span.key_line_end));
    return out;
  }
  if (span.found) {
    out.append(text.substr(0, span.body_end));
    if (!span.body_end_has_line_end) out.append(eol);
    out.append(key).append("=").append(value).append(eol);
    out.append(text.substr(span.body_end));
    return out;
  }
  // A new section goes at the very end, its header alone on its line: when the last line of the file
  // has no line end, one is added first so the header is never joined to the last value.
  out.append(text);
  if (text.size() > TextStart(text) && text.back() != '\n' && text.back() != '\r') out.append(eol);
  out.append("[").append(section).append("]").append(eol);
  out.append(key).append("=").append(value).append(eol);
  return out;
}

ProfileIndex::ProfileIndex(std::string_view text) {
  // Room for every section up front (each header holds a "["), so that a store of thousands of saved
  // IDs is indexed without the table being copied and rehashed as it grows.
  const std::size_t brackets = static_cast<std::size_t>(std::count(text.begin(), text.end(), '['));
  sections_.reserve(brackets + 1);
  first_section_.reserve(brackets + 1);
  // Keys before the first header form a section of their own, with the empty name.
  sections_.emplace_back();
  first_section_.emplace(std::string(kNoSection), 0);
  Section* current = &sections_.back();
  LineReader reader(text);
  RawLine raw;
  while (reader.Next(raw)) {
    const ParsedLine parsed = ParseLine(text.substr(raw.begin, raw.end - raw.begin));
    if (parsed.kind == ParsedLine::kHeader) {
      sections_.emplace_back();
      current = &sections_.back();
      current->keys.reserve(4);  // a saved ID has four keys
      first_section_.try_emplace(LowerName(parsed.name), sections_.size() - 1);
    } else if (parsed.kind == ParsedLine::kKey) {
      // A key without "=" is kept too: it hides a later line of the same name, as it does for the
      // profile reader. Its value is marked by a null data pointer.
      current->keys.push_back({parsed.name, parsed.has_value ? parsed.value : std::string_view()});
    }
  }
}

std::string ProfileIndex::Read(std::string_view section, std::string_view key) const {
  section = Trim(section);
  key = Trim(key);
  if (key.empty()) return {};
  const auto found = first_section_.find(LowerName(section));
  if (found == first_section_.end()) return {};
  for (const Key& k : sections_[found->second].keys) {
    if (!SameName(k.name, key)) continue;
    if (k.value.data() == nullptr) return {};
    return AsRead(k.value);
  }
  return {};
}

}  // namespace core
