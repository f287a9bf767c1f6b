#pragma once
// The profile (INI) file as text, platform-free. Reading and writing behave as Windows'
// GetPrivateProfileStringA / WritePrivateProfileStringA do on every file the program writes and on
// ordinary hand edits: blank lines, blanks around names and "=", comment lines, letter case of
// section and key names, LF-only line endings, a last line without a line end.
// Text is single-byte (the ANSI code page); conversion happens at the Win32 edge.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace core {

// Longest value a read returns: the profile reader's buffer holds 255 characters with the NUL.
inline constexpr std::size_t kProfileValueLimit = 254;

// The value of key in section, or nullopt when the section or the key is missing.
// Not cut to kProfileValueLimit: callers that mimic the profile reader use ReadProfileValue.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section, std::string_view key);

// What GetPrivateProfileStringA with default "" and a 255-character buffer returns.
std::string ReadProfileValue(std::string_view text, std::string_view section, std::string_view key);

// The text after WritePrivateProfileStringA(section, key, value): an existing key's line is replaced
// in place, a missing key is added at the end of its section, a missing section is appended at the end
// of the file with its header alone on its line. Every other byte stays as it was.
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

// One parse of a whole file for many look-ups (the store's loader reads thousands of keys).
class ProfileIndex {
 public:
  explicit ProfileIndex(std::string_view text);
  // As ReadProfileValue, on the parsed text.
  std::string Read(std::string_view section, std::string_view key) const;

 private:
  struct Key {
    std::string_view name;
    std::string_view value;
  };
  struct Section {
    std::vector<Key> keys;
  };
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> first_section_;  // lower-cased name -> first section
};

}  // namespace core
