#include "core/command_line.h"

#include <map>

#include "core/id_digest.h"

namespace core {
namespace {

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::wstring Folded(std::wstring text) {
  for (wchar_t& c : text) c = Lower(c);
  return text;
}

// Text as part of a file name: what a file name cannot hold becomes "_", cut to `limit` characters, with
// blanks at either end and dots at the end dropped.
std::wstring FileNamePart(std::wstring_view text, std::size_t limit) {
  std::wstring part(text.substr(0, limit));
  for (wchar_t& c : part)
    if (c < 32 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
  // The first character that is not a blank comes no later than the last that is neither a blank nor a dot.
  const size_t first = part.find_first_not_of(L' '), last = part.find_last_not_of(L" .");
  return last == std::wstring::npos ? L"" : part.substr(first, last + 1 - first);
}

}  // namespace

// The shell's rules: 2n backslashes and a quote give n backslashes, and the quote counts; 2n + 1 give n
// and a literal quote. Counted quotes toggle the quoted mode, except that every third quote in a run
// is a literal one: inside quotes, "" is a quote and ends the quoted mode.
std::vector<std::wstring> SplitArguments(std::wstring_view line) {
  std::vector<std::wstring> arguments;
  size_t at = 0;
  for (;;) {
    while (at < line.size() && (line[at] == L' ' || line[at] == L'\t')) ++at;
    if (at == line.size()) return arguments;
    std::wstring& argument = arguments.emplace_back();
    int quotes = 0;  // 0: outside quotes; 1: inside
    while (at < line.size() && (quotes != 0 || (line[at] != L' ' && line[at] != L'\t'))) {
      size_t backslashes = 0;
      while (at < line.size() && line[at] == L'\\') ++backslashes, ++at;
      if (at == line.size() || line[at] != L'"') {
        argument.append(backslashes, L'\\');
        if (backslashes == 0) argument += line[at++];  // anything else is itself
        continue;
      }
      argument.append(backslashes / 2, L'\\');
      if (backslashes % 2 == 1)
        argument += L'"';
      else
        ++quotes;
      for (++at; at < line.size() && line[at] == L'"'; ++at)
        if (++quotes == 3) {
          argument += L'"';
          quotes = 0;
        }
      if (quotes == 2) quotes = 0;
    }
  }
}

std::wstring QuoteArgument(std::wstring_view argument) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
    } else {
      if (c == L'"') quoted.append(backslashes + 1, L'\\');
      backslashes = 0;
    }
    quoted += c;
  }
  quoted.append(backslashes, L'\\');  // the closing quote must not be escaped by the key's own backslashes
  return quoted + L'"';
}

Command ParseCommand(std::wstring_view line) {
  const std::vector<std::wstring> arguments = SplitArguments(line);
  if (arguments.empty()) return {};
  if (Folded(arguments[0]) != L"/play" || arguments.size() < 2 || arguments.size() > 3 ||
      (arguments.size() == 3 && !IsIdDigest(arguments[2])))
    return {Command::kUnknown, {}, {}};
  return {Command::kPlay, arguments[1], arguments.size() == 3 ? Folded(arguments[2]) : L""};
}

std::wstring PlayArguments(std::wstring_view key, std::wstring_view digest) {
  return L"/play " + QuoteArgument(key) + L" " + std::wstring(digest);
}

std::vector<std::wstring> ShortcutNames(const std::vector<ShortcutId>& ids) {
  std::vector<std::wstring> lines, starts, names(ids.size());
  for (const ShortcutId& id : ids) {
    lines.push_back(FileNamePart(id.description.substr(0, id.description.find(L'|')), 80));
    starts.push_back(FileNamePart(id.install_key, 8));
  }
  // How much of the ID itself a name holds: 0 nothing, 1 the key start, 2 the key start and the digest.
  std::vector<int> levels(ids.size());
  for (size_t i = 0; i < ids.size(); ++i) levels[i] = lines[i].empty() ? 1 : 0;
  for (bool changed = true; changed;) {
    std::map<std::wstring, std::wstring> digest_of;  // a folded name and the digest of an ID that has it
    std::map<std::wstring, bool> shared;             // whether IDs with other values have it too
    for (size_t i = 0; i < ids.size(); ++i) {
      std::wstring own = levels[i] < 2 || starts[i].empty() ? starts[i] : starts[i] + L" " + ids[i].digest.substr(0, 8);
      if (own.empty()) own = ids[i].digest.substr(0, 8);
      names[i] = L"Freelancer - " + (levels[i] == 0 ? lines[i] : lines[i].empty() ? L"ID " + own : lines[i] + L" (" + own + L")");
      const std::wstring folded = Folded(names[i]);
      const auto [at, added] = digest_of.emplace(folded, ids[i].digest);
      if (!added && at->second != ids[i].digest) shared[folded] = true;
    }
    changed = false;
    for (size_t i = 0; i < ids.size(); ++i)
      if (levels[i] < 2 && shared.count(Folded(names[i])) != 0) ++levels[i], changed = true;
  }
  return names;
}

}  // namespace core
