#include "core/archive.h"

#include <algorithm>
#include <unordered_set>

namespace core {
namespace {

constexpr std::string_view kEntryPrefix = "Archived_";
constexpr std::string_view kLeftKey = "LEFT";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x) == (y >= 'A' && y <= 'Z' ? y - 'A' + 'a' : y);
         });
}

// One entry as it stands in the text: its fields point into it.
struct EntryView {
  std::string_view install, man, mans, disc, left;
  bool operator==(const EntryView& other) const {  // the identity: the three values
    return install == other.install && man == other.man && mans == other.mans;
  }
};
struct IdentityHash {
  std::size_t operator()(const EntryView& e) const {
    const std::hash<std::string_view> hash;
    return hash(e.install) ^ (hash(e.man) * 31) ^ (hash(e.mans) * 131);
  }
};
using IdentitySet = std::unordered_set<EntryView, IdentityHash>;

// Calls found(entry) for every entry of the text with at least one of its three values not empty.
template <typename Found>
void ForEachEntry(std::string_view text, Found found) {
  EntryView entry;
  bool in_entry = false;
  const auto finish = [&] {
    if (in_entry && (!entry.install.empty() || !entry.man.empty() || !entry.mans.empty())) found(entry);
    entry = {};
  };
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  while (!text.empty()) {
    std::size_t end = 0;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end);
    // A line ends at CR LF, LF or a lone CR, as the profile reader reads lines.
    if (!text.empty() && text.front() == '\r') {
      text.remove_prefix(1);
      if (!text.empty() && text.front() == '\n') text.remove_prefix(1);
    } else if (!text.empty()) {
      text.remove_prefix(1);  // LF
    }
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      finish();
      in_entry = true;  // any section may hold an ID: a hand edit may have renamed it
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!in_entry || equals == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, equals)), value = Trim(line.substr(equals + 1));
    std::string_view* field = SameName(key, kIdKeys[0]) ? &entry.install
                              : SameName(key, kIdKeys[1]) ? &entry.man
                              : SameName(key, kIdKeys[2]) ? &entry.mans
                              : SameName(key, kIdKeys[3]) ? &entry.disc
                              : SameName(key, kLeftKey)   ? &entry.left
                                                          : nullptr;
    if (field != nullptr) *field = value;
  }
  finish();
}

// Values are compared as the archive's reader gives them back, without blanks at their ends: a value
// the store's reader cut at a NUL byte may end in one.
EntryView ViewOf(const StoreRow& row) { return {Trim(row[1]), Trim(row[2]), Trim(row[3]), row[4], {}}; }
// A saved ID with no value (the store keeps one after a clear was saved) holds nothing to restore.
bool Empty(const StoreRow& row) { return row[1].empty() && row[2].empty() && row[3].empty(); }
EntryView ViewOf(const ArchivedId& id) { return {Trim(id.install), Trim(id.man), Trim(id.mans), id.disc, id.left}; }

IdentitySet StoreIdentities(const LoadedStore& store) {
  IdentitySet held;
  held.reserve(store.rows.size());
  for (std::size_t row = 1; row < store.rows.size(); ++row) held.insert(ViewOf(store.rows[row]));
  return held;
}

}  // namespace

std::vector<ArchivedId> ReadArchive(std::string_view text) {
  std::vector<ArchivedId> archive;
  IdentitySet seen;
  ForEachEntry(text, [&](const EntryView& e) {
    if (seen.insert(e).second)
      archive.push_back({std::string(e.install), std::string(e.man), std::string(e.mans), std::string(e.disc), std::string(e.left)});
  });
  return archive;
}

bool LacksStoreIds(std::string_view text, const LoadedStore& store) {
  IdentitySet held;
  held.reserve(store.rows.size() + store.rows.size() / 4);
  ForEachEntry(text, [&](const EntryView& e) { held.insert(e); });
  for (std::size_t row = 1; row < store.rows.size(); ++row)
    if (!Empty(store.rows[row]) && held.count(ViewOf(store.rows[row])) == 0) return true;
  return false;
}

std::string ArchiveText(const std::vector<ArchivedId>& archive) {
  std::string text =
      "; Quorvel's archive: every saved ID Quorvel has held, with when it left FLIDs.ini (LEFT).\r\n"
      "; IDs that FLIDs.ini no longer holds can be restored in Quorvel: Deleted IDs on the main window's menu.\r\n";
  std::size_t size = text.size();
  for (const ArchivedId& id : archive) size += 64 + id.install.size() + id.man.size() + id.mans.size() + id.disc.size() + id.left.size();
  text.reserve(size);
  int n = 0;
  for (const ArchivedId& id : archive) {
    text.append("[").append(kEntryPrefix).append(std::to_string(++n)).append("]\r\n");
    text.append("INSTALL=").append(id.install).append("\r\nMAN=").append(id.man).append("\r\nMANS=").append(id.mans);
    text.append("\r\nDISC=").append(id.disc).append("\r\nLEFT=").append(id.left).append("\r\n");
  }
  return text;
}

int AddStoreIds(std::vector<ArchivedId>& archive, const LoadedStore& store) {
  IdentitySet held;
  held.reserve(archive.size() + store.rows.size());
  for (const ArchivedId& id : archive) held.insert(ViewOf(id));
  std::vector<std::size_t> lacking;
  for (std::size_t row = 1; row < store.rows.size(); ++row)
    if (!Empty(store.rows[row]) && held.insert(ViewOf(store.rows[row])).second) lacking.push_back(row);
  held.clear();  // its views point into the archive, which grows next
  for (const std::size_t row : lacking) {
    const StoreRow& saved = store.rows[row];
    archive.push_back({saved[1], saved[2], saved[3], saved[4], ""});
  }
  return static_cast<int>(lacking.size());
}

void MarkLeft(std::vector<ArchivedId>& archive, const StoreRow& row, std::string_view when) {
  if (Empty(row)) return;
  const EntryView left = ViewOf(row);
  auto entry = std::find_if(archive.begin(), archive.end(), [&](const ArchivedId& id) { return ViewOf(id) == left; });
  if (entry == archive.end()) entry = archive.insert(archive.end(), ArchivedId{row[1], row[2], row[3], "", ""});
  entry->disc = row[4];
  entry->left = when;
}

bool KeepDescription(std::vector<ArchivedId>& archive, const StoreRow& row) {
  const EntryView described = ViewOf(row);
  const auto entry = std::find_if(archive.begin(), archive.end(), [&](const ArchivedId& id) { return ViewOf(id) == described; });
  if (entry == archive.end() || entry->disc == row[4]) return false;
  entry->disc = row[4];
  return true;
}

std::vector<std::size_t> GoneFromStore(const std::vector<ArchivedId>& archive, const LoadedStore& store) {
  const IdentitySet held = StoreIdentities(store);
  std::vector<std::size_t> gone;
  for (std::size_t i = 0; i < archive.size(); ++i)
    if (held.count(ViewOf(archive[i])) == 0) gone.push_back(i);
  std::stable_sort(gone.begin(), gone.end(), [&](std::size_t a, std::size_t b) {
    return archive[a].left != archive[b].left ? archive[a].left > archive[b].left : a > b;
  });
  return gone;
}

bool StampDepartures(std::vector<ArchivedId>& archive, const LoadedStore& store, std::string_view when) {
  const IdentitySet held = StoreIdentities(store);
  bool changed = false;
  for (ArchivedId& id : archive) {
    if (!id.left.empty() || held.count(ViewOf(id)) != 0) continue;
    id.left = when;
    changed = true;
  }
  return changed;
}

std::string FirstLine(std::string_view description) { return std::string(description.substr(0, description.find('|'))); }

}  // namespace core
