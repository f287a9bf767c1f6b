#pragma once
// The archive beside the store: every saved ID the program has held, so that one deleted, or gone
// because the store was edited or replaced, can be restored. A profile file a player can read:
//
//   ; Quorvel's archive: ...
//   [Archived_1]
//   INSTALL=...            the three values, as in the store
//   MAN=...
//   MANS=...
//   DISC=...               its description when last seen
//   LEFT=2026-12-08 14:05  when it last left the store ("" before it first left, or before it was noticed)
//
// An entry is known by its three values; the archive holds each such ID once. Reading is forgiving: a
// damaged or hand-edited archive gives every entry that still names a value, and nothing else.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/store_format.h"

namespace core {

struct ArchivedId {
  std::string install, man, mans, disc, left;
  // Whether both are the same ID: the same three values.
  bool SameId(const ArchivedId& other) const { return install == other.install && man == other.man && mans == other.mans; }
  bool operator==(const ArchivedId&) const = default;
};

// Every entry of the archive's text with at least one of the three values not empty, in file order;
// a later entry with the same three values as an earlier one is dropped.
std::vector<ArchivedId> ReadArchive(std::string_view text);

// Whether the store holds a saved ID the archive's text does not: the one question every load asks,
// answered without copying the archive.
bool LacksStoreIds(std::string_view text, const LoadedStore& store);

// The archive's text for these entries, numbered in order, with a comment that says what it is.
std::string ArchiveText(const std::vector<ArchivedId>& archive);

// Appends each saved ID of the store the archive does not hold yet, with its description. Returns how
// many were appended. A saved ID with no value is never archived: it holds nothing to restore.
int AddStoreIds(std::vector<ArchivedId>& archive, const LoadedStore& store);

// Records that the saved ID `row` left the store at `when`: its entry, appended when missing, takes the
// row's description and the time (a saved ID with no value excepted).
void MarkLeft(std::vector<ArchivedId>& archive, const StoreRow& row, std::string_view when);

// Gives the entry of the saved ID `row` the row's description. Returns whether it changed.
bool KeepDescription(std::vector<ArchivedId>& archive, const StoreRow& row);

// The entries whose three values no saved ID of the store holds: the IDs that can be restored, newest
// first (by LEFT, then the later entry first; an unknown LEFT counts as oldest).
std::vector<std::size_t> GoneFromStore(const std::vector<ArchivedId>& archive, const LoadedStore& store);

// Stamps `when` as LEFT on the gone entries that have none: an ID found gone without a delete. Returns
// whether any entry changed.
bool StampDepartures(std::vector<ArchivedId>& archive, const LoadedStore& store, std::string_view when);

// The first line of a description, where "|" starts the next one.
std::string FirstLine(std::string_view description);

}  // namespace core
