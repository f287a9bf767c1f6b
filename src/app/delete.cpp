// Deleting a saved ID: the section is cut out of the store and every later one renumbered in one
// transform of the file's text as it is now, written with one atomic replacement, so the file is never
// left with a gap in its numbering or half-written. Only the ID the list showed is deleted: when the
// file holds another one in its place, nothing is. The ID goes into the archive first, so a deleted
// ID can always be restored: when the archive cannot take it, nothing is deleted.
#include <string>

#include "app/main.h"
#include "app/messages.h"
#include "app/prompts.h"
#include "app/view.h"
#include "core/delete_section.h"
#include "core/store_format.h"
#include "core/profile.h"
#include "store/files.h"
#include "store/store_lock.h"

namespace app {
namespace {

constexpr wchar_t kDeleteErrorTitle[] = L"Quorvel - Delete Error";
constexpr wchar_t kNotChanged[] = L"The saved ID was not deleted; the store file was not changed.";

// Saved ID m as the store's text holds it: its values as the profile reader reads them.
core::StoreRow SectionRow(std::string_view text, int m) {
  const core::ProfileIndex file(text);
  core::StoreRow row;
  for (std::size_t column = 1; column < row.size(); ++column)
    row[column] = file.Read(core::IdSectionName(m), core::kIdKeys[column - 1]);
  return row;
}

}  // namespace

void Main::DeleteSavedId(std::int16_t m) {
  if (prompts_.Message(L"This will deleted the selected saved id, continue?", L"Sure?", Prompts::Buttons::YesNo,
                       Prompts::Icon::None) != Prompts::Answer::Yes)
    return;

  std::wstring unread;   // the message when nothing was done and nothing is to be refreshed
  std::wstring failure;  // the message when the store was left as it was
  bool gone = false;     // the store vanished: said before the first-run request a reload brings up
  {  // one turn for the read, the check, the archive and the replacement; none of them waits on a box
    const store::StoreLock lock(IniPath, places_.lock_wait_ms);
    const store::FileText file = lock.held() ? store::ReadWholeFile(IniPath) : store::FileText{};
    gone = lock.held() && file.status && !file.exists;
    if (!lock.held()) {
      unread = BusyText(lock, kNotChanged);
    } else if (!file.status) {
      unread = CouldNot(L"read its store file", IniPath, file.status.Text(), kNotChanged);
    } else if (gone) {
      // nothing to delete from
    } else if (!StillListed(m - 1, file.bytes)) {
      failure = ListChanged(IniPath, kNotChanged);
    } else if (const core::DeleteResult result = core::DeleteIdSection(file.bytes, m, core::CountIdHeaders(file.bytes));
               result.outcome != core::DeleteOutcome::kOk) {
      failure = L"Quorvel's store file\r\n" + IniPath + L"\r\nis not laid out as Quorvel writes it: " +
                core::DeleteOutcomeText(result.outcome) +
                L" It may have been edited by hand; the saved IDs are listed again as the file holds them.\r\n\r\n" +
                kNotChanged;
    } else if (failure = ArchiveDeparture(SectionRow(file.bytes, m)); !failure.empty()) {
      // Not safe in the archive: not deleted.
    } else if (const base::Status written = store::ReplaceFileAtomically(IniPath, result.text); !written) {
      failure = CouldNot(L"write its store file", IniPath, written.Text(),
                         kNotChanged + std::wstring(L" If another program has the file open, close it and try again."));
    }
  }
  if (!unread.empty()) {
    // Nothing to refresh: the table still shows the store as last read, and a reload would only
    // fail on the same file with a second message.
    prompts_.Message(unread, kDeleteErrorTitle, Prompts::Buttons::Ok, Prompts::Icon::Stop);
    return;
  }
  if (gone) {
    // Reloading a vanished store starts the first-run request; say why before it comes up.
    prompts_.Message(L"Quorvel's store file\r\n" + IniPath +
                         L"\r\nis no longer there, so no saved ID was deleted. Quorvel will now set up a new "
                         L"store, as at its first start.",
                     kDeleteErrorTitle, Prompts::Buttons::Ok, Prompts::Icon::Stop);
  }

  LoadStore();
  if (Ended()) return;  // the first-run request of a vanished store was cancelled
  FillIdList();

  if (!failure.empty()) {
    prompts_.Message(failure, kDeleteErrorTitle, Prompts::Buttons::Ok, Prompts::Icon::Stop);
  } else if (!gone) {
    prompts_.Message(L"FL ID Deleted!", L"Done!", Prompts::Buttons::Ok, Prompts::Icon::Information);
  }
}

void Main::DeleteSelectedId(int index) {
  if (!Selected(index)) return;
  DeleteSavedId(static_cast<std::int16_t>(index + 1));
  // Emptied whatever the answer was, unless the program ended on the way.
  if (!ended_) view_.ShowDescriptionLabel(L"");
}

}  // namespace app
