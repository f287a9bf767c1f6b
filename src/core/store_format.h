#pragma once
// The store file's own rules on top of the profile format: saved-ID sections "[FLID_n]" holding
// INSTALL, MAN, MANS and DISC, and the settings section with FLPATH and FLIPS.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

inline constexpr std::string_view kSettingsSection = "QRVL_Settings";
inline constexpr std::string_view kGamePathKey = "FLPATH";
inline constexpr std::string_view kServerIpsKey = "FLIPS";
inline constexpr std::array<std::string_view, 4> kIdKeys = {"INSTALL", "MAN", "MANS", "DISC"};

// The table holds at most this many saved IDs: the count is a 16-bit signed number.
inline constexpr std::int16_t kMaxSavedIds = 32766;

// "FLID_" followed by the decimal digits of n.
std::string IdSectionName(int n);

// Counts the fields that begin with "[FLID_" (letter case counts); a field ends at a comma or a line
// end, blanks at its start are skipped. Stops at kMaxSavedIds.
std::int16_t CountIdHeaders(std::string_view text);

// Row i (1..count) holds section FLID_i: column 1 INSTALL, 2 MAN, 3 MANS, 4 DISC; row 0 and column 0
// are empty. Values are read as the profile reader reads them (cut to 254 characters).
using StoreRow = std::array<std::string, 5>;
struct LoadedStore {
  std::int16_t id_count = 0;
  std::vector<StoreRow> rows;  // id_count + 1 rows
  std::string game_path;       // FLPATH
  std::string server_ips;      // FLIPS
};

// Loads everything from one read of the file's text.
LoadedStore LoadStoreText(std::string_view text);

}  // namespace core
