#include "core/command_line.h"

namespace core {

std::vector<std::wstring> SplitArguments(std::wstring_view line) {
  std::vector<std::wstring> arguments;
  size_t at = 0;
  for (;;) {
    while (at < line.size() && (line[at] == L' ' || line[at] == L'\t')) ++at;
    if (at == line.size()) return arguments;
    std::wstring& argument = arguments.emplace_back();
    bool quoted = false;
    for (; at < line.size() && (quoted || (line[at] != L' ' && line[at] != L'\t')); ++at) {
      size_t backslashes = 0;
      while (at < line.size() && line[at] == L'\\') ++backslashes, ++at;
      if (at < line.size() && line[at] == L'"') {
        // 2n backslashes and a quote: n backslashes, and the quote opens or closes; 2n + 1: n and a quote.
        argument.append(backslashes / 2, L'\\');
        if (backslashes % 2 == 1) {
          argument += L'"';
        } else if (quoted && at + 1 < line.size() && line[at + 1] == L'"') {
          argument += L'"';  // "" inside quotes is one quote, and the quotes go on
          ++at;
        } else {
          quoted = !quoted;
        }
      } else {
        argument.append(backslashes, L'\\');
        if (at == line.size() || (!quoted && (line[at] == L' ' || line[at] == L'\t'))) break;
        argument += line[at];
      }
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
  std::wstring name = arguments[0];
  for (wchar_t& c : name) c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
  if (arguments.size() == 2 && name == L"/play") return {Command::kPlay, arguments[1]};
  return {Command::kUnknown, {}};
}

std::wstring PlayArguments(std::wstring_view key) { return L"/play " + QuoteArgument(key); }

std::wstring ShortcutName(std::wstring_view description, int number) {
  std::wstring line(description.substr(0, description.find(L'|')));
  for (wchar_t& c : line)
    if (c < 32 || std::wstring_view(L"\\/:*?\"<>").find(c) != std::wstring_view::npos) c = L'_';
  if (line.size() > 80) line.resize(80);
  // The first character that is not a blank comes no later than the last that is neither a blank nor a dot.
  const size_t first = line.find_first_not_of(L' '), last = line.find_last_not_of(L" .");
  line = last == std::wstring::npos ? L"" : line.substr(first, last + 1 - first);
  return L"Freelancer - " + (line.empty() ? L"ID " + std::to_wstring(number) : line);
}

}  // namespace core
