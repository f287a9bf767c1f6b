// The archive beside the store, FLIDs-archive.ini: every saved ID the program has listed, saved, kept
// before a change or deleted, so that no saved ID is lost for good by a delete on the wrong entry or a
// store replaced by an older copy. A load adds the saved IDs the archive lacks (and writes it only
// then, quietly); the deleted-IDs window lists the IDs the archive holds and the store does not, and
// restores one as a new saved ID or forgets it for good.
#include <windows.h>

#include <algorithm>

#include "app/main.h"
#include "app/messages.h"
#include "app/prompts.h"
#include "app/view.h"
#include "base/text.h"
#include "core/archive.h"
#include "core/store_format.h"
#include "store/files.h"
#include "store/store_lock.h"

namespace app {
namespace {

using Buttons = Prompts::Buttons;
using Icon = Prompts::Icon;

constexpr wchar_t kRestoreError[] = L"Quorvel - Restore Error";
constexpr wchar_t kArchiveError[] = L"Quorvel - Archive Error";
constexpr wchar_t kNotRestored[] = L"The FL ID was not restored; the store and the archive were not changed.";
constexpr wchar_t kNotForgotten[] = L"The FL ID was not deleted for good; the archive was not changed.";

// The local time as "YYYY-MM-DD hh:mm": it sorts as it reads.
std::string Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char text[32] = {};
  snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
  return text;
}

// The archive as it is now; a missing one holds nothing yet.
struct ReadArchive {
  base::Status status;
  std::vector<core::ArchivedId> ids;
};
ReadArchive ReadArchiveFile(const std::wstring& path) {
  const store::FileText file = store::ReadWholeFile(path);
  return {file.status, file.status ? core::ReadArchive(file.bytes) : std::vector<core::ArchivedId>{}};
}

auto Find(std::vector<core::ArchivedId>& ids, const core::ArchivedId& shown) {
  return std::find_if(ids.begin(), ids.end(), [&](const core::ArchivedId& id) { return id.SameId(shown); });
}

}  // namespace

std::wstring Main::ArchivePath() const {
  const std::size_t slash = IniPath.find_last_of(L'\\');
  return (slash == std::wstring::npos ? std::wstring() : IniPath.substr(0, slash + 1)) + L"FLIDs-archive.ini";
}

void Main::ArchiveListedIds(const core::LoadedStore& loaded) {
  // Every load asks this; the answer is nearly always no, and then nothing more is done.
  if (const store::FileText text = ReadInTurn(ArchivePath()); !text.status || !core::LacksStoreIds(text.bytes, loaded))
    return;
  // Written in a turn of its own, without waiting: a busy or unwritable archive takes them at a later load.
  const store::StoreLock lock(IniPath, 0);
  if (!lock.held()) return;
  ReadArchive archive = ReadArchiveFile(ArchivePath());  // another copy may have written it since
  if (archive.status && core::AddStoreIds(archive.ids, loaded) > 0)
    store::ReplaceFileAtomically(ArchivePath(), core::ArchiveText(archive.ids));
}

void Main::ArchiveDescription(const core::StoreRow& row) {
  ReadArchive archive = ReadArchiveFile(ArchivePath());
  if (archive.status && core::KeepDescription(archive.ids, row))
    store::ReplaceFileAtomically(ArchivePath(), core::ArchiveText(archive.ids));
}

std::wstring Main::ArchiveDeparture(const core::StoreRow& row) {
  ReadArchive archive = ReadArchiveFile(ArchivePath());
  base::Status status = archive.status;
  if (status) {
    core::MarkLeft(archive.ids, row, Now());
    status = store::ReplaceFileAtomically(ArchivePath(), core::ArchiveText(archive.ids));
  }
  if (status) return {};
  return CouldNot(L"keep the saved ID in its archive", ArchivePath(), status.Text(),
                  L"The saved ID was not deleted; the store file was not changed. Quorvel deletes a saved ID only once "
                  L"the archive holds it, so that it can be restored. If another program has the archive open, close it; "
                  L"if the folder is read-only, move Quorvel to a folder of your own.");
}

void Main::ListDeletedIds() {
  store::FileText file;
  ReadArchive archive;
  {  // both read in one turn, as they are at one moment
    const store::StoreLock lock(IniPath, places_.lock_wait_ms);
    file = store::ReadWholeFile(IniPath);
    archive = ReadArchiveFile(ArchivePath());
  }
  if (!file.status || !archive.status) {
    prompts_.Message(CouldNot(L"read its", !file.status ? L"store file\r\n" + IniPath : L"archive\r\n" + ArchivePath(),
                              (!file.status ? file.status : archive.status).Text(),
                              L"The deleted IDs are listed when both files can be read."),
                     kArchiveError, Buttons::Ok, Icon::Stop);
    archive.ids.clear();
  }
  const core::LoadedStore loaded = core::LoadStoreText(file.bytes);
  // An ID found gone without a delete (another copy, a hand edit, an older store) is stamped now, in a
  // quick turn of its own; an archive that cannot take the stamp lists it without a time.
  if (core::StampDepartures(archive.ids, loaded, Now())) {
    const store::StoreLock lock(IniPath, 0);
    if (lock.held()) {
      ReadArchive now = ReadArchiveFile(ArchivePath());
      if (now.status && core::StampDepartures(now.ids, loaded, Now()) &&
          store::ReplaceFileAtomically(ArchivePath(), core::ArchiveText(now.ids)))
        archive = std::move(now);
    }
  }
  deleted_listed_.clear();
  std::vector<DeletedIdRow> rows;
  for (const std::size_t i : core::GoneFromStore(archive.ids, loaded)) {
    const core::ArchivedId& id = archive.ids[i];
    deleted_listed_.push_back(id);
    rows.push_back({base::FromAnsi(core::FirstLine(id.disc)), base::FromAnsi(id.install), base::FromAnsi(id.left)});
  }
  view_.ShowDeletedIds(rows);
}

void Main::RestoreDeletedId(int index) {
  if (!Selected(index) || static_cast<std::size_t>(index) >= deleted_listed_.size()) return;
  const core::ArchivedId shown = deleted_listed_[static_cast<std::size_t>(index)];
  const InstalledId id{base::FromAnsi(shown.install), base::FromAnsi(shown.man), base::FromAnsi(shown.mans)};
  std::wstring refusal;
  int number = -1;
  bool changed = false;
  {  // one turn for reading both files, the checks and the store's replacement
    const store::StoreLock lock(IniPath, places_.lock_wait_ms);
    const store::FileText file = lock.held() ? store::ReadWholeFile(IniPath) : store::FileText{};
    ReadArchive archive = lock.held() ? ReadArchiveFile(ArchivePath()) : ReadArchive{};
    if (!lock.held()) {
      refusal = BusyText(lock, kNotRestored);
    } else if (!file.status || !file.exists) {
      refusal = !file.status ? CouldNot(L"read its store file", IniPath, file.status.Text(), kNotRestored)
                             : L"Quorvel's store file\r\n" + IniPath + L"\r\nis not there. " + kNotRestored;
    } else if (!archive.status) {
      refusal = CouldNot(L"read its archive", ArchivePath(), archive.status.Text(), kNotRestored);
    } else if (const core::LoadedStore loaded = core::LoadStoreText(file.bytes);
               Find(archive.ids, shown) == archive.ids.end() ||
               core::GoneFromStore({shown}, loaded).empty()) {
      changed = true;  // restored or forgotten meanwhile by another copy, or put back by hand
    } else if (refusal = Unstorable(id); !refusal.empty()) {
      refusal = L"The FL ID was not restored: " + refusal;
    } else {
      number = AddToStore(id, base::FromAnsi(shown.disc), file, refusal, L"The FL ID was not restored: ");
      // Back in the store, it has not left it: should it go again by another road, it is stamped anew.
      // The store holds it, so an archive that cannot take this now costs nothing.
      if (const auto entry = Find(archive.ids, shown); number > 0 && entry != archive.ids.end()) {
        entry->left.clear();
        store::ReplaceFileAtomically(ArchivePath(), core::ArchiveText(archive.ids));
      }
    }
  }
  if (changed) {
    ListDeletedIds();
    prompts_.Message(L"The deleted IDs in Quorvel's archive\r\n" + ArchivePath() +
                         L"\r\nchanged since the list was filled: another copy of Quorvel restored or deleted the ID, or the "
                         L"store holds it again. Nothing was restored.\r\n\r\nThe list now shows the deleted IDs as they are; "
                         L"pick the ID again.",
                     kRestoreError, Buttons::Ok, Icon::Stop);
    return;
  }
  if (number <= 0) {
    prompts_.Message(refusal, kRestoreError, Buttons::Ok, Icon::Stop);
    return;
  }
  LoadStore();
  if (Ended()) return;
  FillIdList();
  ListDeletedIds();
  prompts_.Message(L"FL ID Restored!\r\nThe FL ID " + id.InstallKey + L" is saved ID number " + std::to_wstring(number) +
                       L" again, with its description.",
                   L"Done!", Buttons::Ok, Icon::Information);
}

void Main::ForgetDeletedId(int index) {
  if (!Selected(index) || static_cast<std::size_t>(index) >= deleted_listed_.size()) return;
  const core::ArchivedId shown = deleted_listed_[static_cast<std::size_t>(index)];
  if (prompts_.Message(L"Delete the FL ID " + base::FromAnsi(shown.install) +
                           L" for good?\r\n\r\nIt leaves Quorvel's archive and can never be restored. This cannot be undone.",
                       L"Quorvel - Delete for good", Buttons::YesNoDefaultNo, Icon::Exclamation) != Prompts::Answer::Yes)
    return;
  std::wstring failure;
  bool changed = false;
  {
    const store::StoreLock lock(IniPath, places_.lock_wait_ms);
    const store::FileText file = lock.held() ? store::ReadWholeFile(IniPath) : store::FileText{};
    ReadArchive archive = lock.held() ? ReadArchiveFile(ArchivePath()) : ReadArchive{};
    if (!lock.held()) {
      failure = BusyText(lock, kNotForgotten);
    } else if (!file.status || !archive.status) {
      failure = CouldNot(L"read its", !file.status ? L"store file\r\n" + IniPath : L"archive\r\n" + ArchivePath(),
                         (!file.status ? file.status : archive.status).Text(), kNotForgotten);
    } else if (const auto entry = Find(archive.ids, shown);
               entry == archive.ids.end() || core::GoneFromStore({shown}, core::LoadStoreText(file.bytes)).empty()) {
      changed = true;
    } else {
      archive.ids.erase(entry);
      if (const base::Status written = store::ReplaceFileAtomically(ArchivePath(), core::ArchiveText(archive.ids)); !written)
        failure = CouldNot(L"write its archive", ArchivePath(), written.Text(),
                           kNotForgotten + std::wstring(L" If another program has the archive open, close it and try again."));
    }
  }
  ListDeletedIds();
  if (changed)
    failure = L"The deleted IDs in Quorvel's archive\r\n" + ArchivePath() +
              L"\r\nchanged since the list was filled. " + kNotForgotten + L"\r\n\r\nThe list now shows the deleted IDs as "
              L"they are; pick the ID again.";
  if (!failure.empty()) prompts_.Message(failure, kArchiveError, Buttons::Ok, Icon::Stop);
}

}  // namespace app
