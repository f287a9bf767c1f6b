// Saving the installed ID: when the player asks for it, and before "Change FL ID" or "Clear installed
// FL ID" would replace an installed ID that is in no saved ID yet, since an ID made on another Windows
// cannot be made again. Either way the ID goes under the first free number of the store as the file
// is at that moment, in one atomic replacement, so a save is in the file whole or not at all.
#include <windows.h>

#include <optional>

#include "app/main.h"
#include "app/messages.h"
#include "app/prompts.h"
#include "base/text.h"
#include "core/id_numbers.h"
#include "core/profile.h"
#include "core/store_format.h"
#include "store/files.h"
#include "store/store_lock.h"

namespace app {
namespace {

using Buttons = Prompts::Buttons;
using Icon = Prompts::Icon;
using Answer = Prompts::Answer;

constexpr wchar_t kSaveError[] = L"Quorvel - Save Error";
constexpr wchar_t kNotSaved[] = L"The installed FL ID was not saved: ";
constexpr wchar_t kUnchanged[] = L"The store was not changed. If Quorvel stands in a folder you may not write to, such as "
                                 L"Program Files, move it to a folder of your own.";

std::wstring FullStore() {
  return L"the store already holds " + std::to_wstring(core::kMaxSavedIds) +
         L" saved IDs, the most Quorvel can keep. Delete one you no longer need first.";
}

// Today's local date as YYYY-MM-DD.
std::wstring Today() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t date[16] = {};
  swprintf(date, 16, L"%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  return date;
}

}  // namespace

// Why the ID can never be kept in the store, or "". A line break ends a value's line early and a
// bracket would be read as the start of the next section when saved IDs are cut out of the file; the
// profile reader drops blanks and a pair of quotes around a value and keeps at most 254 characters, so
// such a value would come back changed and install a different ID.
std::wstring Unstorable(const InstalledId& id) {
  for (int i = 0; i < 3; ++i) {
    const std::wstring& value = id.Field(i);
    const std::wstring name = InstalledId::kValueNames[i];
    if (value.find_first_of(L"\r\n[]") != std::wstring::npos)
      return L"its " + name + L" value holds a line break or a square bracket, which the store file "
             L"cannot keep.";
    const std::string ansi = base::ToAnsi(value);
    if (core::ReadProfileValue("[s]\r\nk=" + ansi + "\r\n", "s", "k") != ansi)
      return L"its " + name + L" value would not come back from the store file as it is (it is longer "
             L"than " + std::to_wstring(core::kProfileValueLimit) + L" characters, or begins or ends with a blank or a quote).";
  }
  return {};
}

// Adds the ID, with a description when one is given, to the store as `file` holds it, just read (and
// readable). Returns its number; otherwise `refusal` says why it was not saved, the store unchanged:
// -1 when the file's headers forbid it or the store is full, 0 when the file could not be written.
// `not_saved` begins the refusals that are no failure to write (the installed ID's by default). The
// caller holds the lock. Once in the store, the ID goes into the archive too; that can wait for the
// next load when the archive cannot take it now, since the store holds it.
int Main::AddToStore(const InstalledId& id, const std::wstring& description, const store::FileText& file,
                     std::wstring& refusal, std::wstring_view not_saved) {
  const std::wstring refused = not_saved.empty() ? std::wstring(kNotSaved) : std::wstring(not_saved);
  // Counted in the file as it is now, not as last loaded: another program may have changed it.
  const int count = core::CountIdHeaders(file.bytes);
  if (count >= core::kMaxSavedIds) {
    refusal = refused + FullStore();
    return -1;
  }
  const int number = core::FreeIdNumber(file.bytes, count);
  if (number > count + 1) {
    // Every number a load would reach is taken by a section that is not counted (a header in other
    // letter case, say "[flid_2]"): a new section would be saved where no load finds it.
    refusal = refused + (L"the store file\r\n" + IniPath) +
              L"\r\nholds a saved-ID section whose header Quorvel does not count (written in other letter case, such as "
              L"[flid_2]), so a new saved ID would not be listed. Correct the header in the file, then save again.";
    return -1;
  }
  std::string text = file.bytes;
  const std::string section = core::IdSectionName(number);
  for (int i = 0; i < 3; ++i) text = core::SetProfileValue(text, section, core::kIdKeys[static_cast<size_t>(i)], base::ToAnsi(id.Field(i)));
  if (!description.empty()) text = core::SetProfileValue(text, section, core::kIdKeys[3], base::ToAnsi(description));
  if (const base::Status written = store::ReplaceFileAtomically(IniPath, text); !written) {
    refusal = CouldNot(L"save the FL ID in", IniPath, written.Text(), kUnchanged);
    return 0;
  }
  core::LoadedStore added;
  added.rows.resize(2);
  for (std::size_t column = 1; column < 5; ++column)
    added.rows[1][column] = core::ReadProfileValue(text, section, core::kIdKeys[column - 1]);
  ArchiveListedIds(added);
  return number;
}

void Main::SaveInstalledId() {
  std::wstring refusal = ReadInstalledId();
  if (!refusal.empty())
    refusal += L"\r\n\r\nThe installed FL ID was not saved; the store was not changed.";
  else if (refusal = Unstorable(CurrentId); !refusal.empty())
    refusal = kNotSaved + refusal;
  int number = -1;
  {
    std::optional<store::StoreLock> lock;
    if (refusal.empty()) {
      lock.emplace(IniPath, places_.lock_wait_ms);
      if (!lock->held()) refusal = BusyText(*lock, L"The installed FL ID was not saved; the store was not changed.");
    }
    const store::FileText file = refusal.empty() ? store::ReadWholeFile(IniPath) : store::FileText{};
    if (refusal.empty() && !file.status) refusal = CouldNot(L"save the FL ID in", IniPath, file.status.Text(), kUnchanged);
    // Refused before anything was written: said at once, with no reload that could only add a box.
    if (refusal.empty()) number = AddToStore(CurrentId, {}, file, refusal);
  }
  if (number < 0) {
    prompts_.Message(refusal, kSaveError, Buttons::Ok, Icon::Stop);
    return;
  }
  // Saved or not written: the store is shown again as it is.
  LoadStore();
  if (Ended()) return;  // the store had vanished and the first-run question was cancelled
  if (number == 0) {
    prompts_.Message(refusal, kSaveError, Buttons::Ok, Icon::Stop);
    return;
  }
  prompts_.Message(L"FL ID Saved!\r\nGo to the ID manager to add a discription/change id", L"Done!", Buttons::Ok,
                   Icon::Information);
}

// Before the installed ID is replaced: when it holds anything and no saved ID in the store holds the
// same three values, it is saved first, described with why and when. Returns false, having said so,
// when it is to stay installed: the store cannot take it now, or it can never be stored and the player
// did not answer Yes to losing it (or there are no windows to ask in). `paragraph` receives what the
// done box adds.
bool Main::KeepInstalledId(const ReplaceTexts& texts, std::wstring& paragraph) {
  if (const std::wstring unread = ReadInstalledId(); !unread.empty()) {
    // Unread is not "nothing installed": an ID that may be in no saved ID is not replaced blind.
    prompts_.Message(std::wstring(texts.not_done) + L"\r\n\r\n" + unread +
                         L"\r\n\r\nQuorvel cannot tell whether the installed FL ID is saved, so it left it installed.",
                     L"Quorvel - Registry Error", Buttons::Ok, Icon::Stop);
    return false;
  }
  const InstalledId installed = CurrentId;
  if (installed.Empty()) return true;
  if (const std::wstring why = Unstorable(installed); !why.empty()) {
    const std::wstring cannot = L"The installed FL ID cannot be kept in the store: " + why +
                                L"\r\n\r\nIt is in no saved ID, so replacing it ";
    if (texts.windows)
      return prompts_.Message(cannot + L"loses it for good. Replace it anyway and lose it?", L"Quorvel - Unsaved FL ID",
                              Buttons::YesNoDefaultNo, Icon::Exclamation) == Answer::Yes;
    prompts_.Message(texts.not_done + (L" " + cannot) + L"would lose it for good, so it stays installed. Change FL ID in "
                         L"Quorvel's manage window replaces it after asking.",
                     L"Quorvel - Unsaved FL ID", Buttons::Ok, Icon::Stop);
    return false;
  }

  std::wstring refusal;
  int number = 0;
  {  // the turn ends before any box, so that no other copy waits on a player
    const store::StoreLock lock(IniPath, places_.lock_wait_ms);
    const store::FileText file = lock.held() ? store::ReadWholeFile(IniPath) : store::FileText{};
    if (!lock.held()) {
      refusal = BusyText(lock, {});
    } else if (file.status && file.exists) {
      const core::LoadedStore loaded = core::LoadStoreText(file.bytes);
      const core::StoreRow as_stored{"", base::ToAnsi(installed.InstallKey), base::ToAnsi(installed.MPAccountName),
                                     base::ToAnsi(installed.MPAccountNameSig), ""};
      for (std::size_t row = 1; row < loaded.rows.size(); ++row)
        if (std::equal(as_stored.begin() + 1, as_stored.begin() + 4, loaded.rows[row].begin() + 1)) return true;
      number = AddToStore(installed, texts.kept_as + Today(), file, refusal);
    } else {
      refusal = file.status ? kNotSaved + (L"its store file\r\n" + IniPath) + L"\r\nis not there."
                            : CouldNot(L"read its store file", IniPath, file.status.Text());
    }
  }
  if (number <= 0) {
    prompts_.Message(std::wstring(texts.not_done) + L" The installed FL ID is in no saved ID yet, and Quorvel could "
                         L"not save it first, so it stays installed.\r\n\r\n" + refusal,
                     kSaveError, Buttons::Ok, Icon::Stop);
    return false;
  }
  if (texts.windows) {
    LoadStore();
    if (Ended()) return false;  // the store went away meanwhile and the first-run question was cancelled
    FillIdList();
  }
  paragraph = L"\r\n\r\nThe ID that was installed was not saved yet; Quorvel saved it as number " + std::to_wstring(number) + L".";
  return true;
}

}  // namespace app
