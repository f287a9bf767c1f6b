#include "core/store_format.h"

#include "core/profile.h"

namespace core {

std::string IdSectionName(int n) { return "FLID_" + std::to_string(n); }

std::int16_t CountIdHeaders(std::string_view text) {
  constexpr std::string_view kHeaderStart = "[FLID_";
  std::int16_t count = 0;
  std::size_t pos = 0;
  const std::size_t size = text.size();
  // Every field starts at the start of the text, after a comma or after a line end; only its first
  // characters matter, so the scan just steps from one field start to the next.
  while (pos < size && count < kMaxSavedIds) {
    while (pos < size && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    if (text.compare(pos, kHeaderStart.size(), kHeaderStart) == 0) ++count;
    while (pos < size && text[pos] != ',' && text[pos] != '\n' && text[pos] != '\r') ++pos;
    ++pos;
  }
  return count;
}

LoadedStore LoadStoreText(std::string_view text) {
  const ProfileIndex index(text);
  LoadedStore store;
  store.id_count = CountIdHeaders(text);
  store.rows.resize(static_cast<std::size_t>(store.id_count) + 1);
  for (int i = 1; i <= store.id_count; ++i) {
    const std::string section = IdSectionName(i);
    StoreRow& row = store.rows[static_cast<std::size_t>(i)];
    for (std::size_t column = 1; column < row.size(); ++column) row[column] = index.Read(section, kIdKeys[column - 1]);
  }
  store.game_path = index.Read(kSettingsSection, kGamePathKey);
  store.server_ips = index.Read(kSettingsSection, kServerIpsKey);
  return store;
}

}  // namespace core
