// The crash test's worker: the real program object on a temp folder and a scratch registry key,
// answering every question with Yes or OK, saving, describing and deleting saved IDs in a loop as fast
// as it can until the test kills it. Before each operation it writes what it is about to do into the
// shared block, and after it the operation's number, so that the test knows what was in flight.
//
// Usage: crash_worker.exe FOLDER KEY_PATH MAPPING_NAME FIRST_SEQ SEED
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "app/main.h"
#include "app/printer.h"
#include "app/prompts.h"
#include "base/text.h"
#include "crash/crash_protocol.h"
#include "registry/mRegistery.h"
#include "ui/frm_mng_ids.h"

namespace {

// Yes to every question, OK to every box. An error box (stop icon) marks the operation as failed and
// its text is kept for the test's report.
class YesPrompts : public app::Prompts {
 public:
  explicit YesPrompts(crash::Shared& shared) : shared_(shared) {}
  bool failed = false;

  Answer Message(const std::wstring& text, const std::wstring& title, Buttons buttons, Icon icon) override {
    if (icon == Icon::Stop || icon == Icon::Exclamation) {
      if (!failed) Keep(title + L": " + text);
      failed = true;
    }
    if (buttons == Buttons::YesNo) return Answer::Yes;
    return Answer::Ok;
  }
  std::wstring OpenFile(const std::wstring&, const std::wstring&) override {
    // Only a missing store asks for the game: the test never removes it.
    if (!failed) Keep(L"unexpected file dialog: the store file was missing");
    failed = true;
    return {};
  }

 private:
  void Keep(const std::wstring& text) {
    if (shared_.message[0] != L'\0') return;
    lstrcpynW(shared_.message, text.c_str(), static_cast<int>(std::size(shared_.message)));
  }
  crash::Shared& shared_;
};

class NoPrinter : public app::Printer {
 public:
  base::Status PrintPage(const core::PrintedLine&) override { return base::Status::Ok(); }
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A description of 0 to about 200 characters with the characters that matter to a profile file: "=",
// ";", blanks and "|", unique through the sequence number.
std::string Description(long seq, std::mt19937& rng) {
  static constexpr const char* kPieces[] = {"a=b", "; note", " x ", "|", "pilot", "==", ";;", "trade|run"};
  std::string text = "d" + std::to_string(seq);
  const int pieces = static_cast<int>(rng() % 30);
  for (int i = 0; i < pieces; ++i) text += kPieces[rng() % std::size(kPieces)];
  return text;
}

int Fail(crash::Shared* shared, const wchar_t* why) {
  if (shared != nullptr) {
    lstrcpynW(shared->message, why, static_cast<int>(std::size(shared->message)));
    InterlockedExchange(&shared->worker_error, 1);
  }
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) return Fail(nullptr, L"usage");
  const std::wstring folder = argv[1];
  const std::wstring key_path = argv[2];
  const LONG first_seq = static_cast<LONG>(std::wcstol(argv[4], nullptr, 10));
  std::mt19937 rng(static_cast<unsigned>(std::wcstoul(argv[5], nullptr, 10)));

  const HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, argv[3]);
  if (mapping == nullptr) return Fail(nullptr, L"no mapping");
  auto* shared = static_cast<crash::Shared*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(crash::Shared)));
  if (shared == nullptr) return Fail(nullptr, L"no view");

  YesPrompts prompts(*shared);
  NoPrinter printer;
  app::Main program(prompts, printer, app::Places{key_path, folder});
  program.MainWindow();  // runs the start-up: reads the registry, loads the store
  if (prompts.failed) return Fail(shared, L"the start-up showed an error box");
  ui::frm_mng_ids& window = program.MngIdsWindow();
  InterlockedExchange(&shared->ready, 1);

  for (LONG seq = first_seq;; ++seq) {
    const LONG slot = seq - first_seq;
    if (slot >= crash::kRingSize) {
      Sleep(INFINITE);  // ring full: wait to be killed
    }
    crash::Op& op = shared->ops[slot];
    const int count = program.IdCount;
    const unsigned dice = rng() % 3;
    if (count < 2 || (count < 12 && dice == 0)) {
      op.kind = crash::OpKind::kSave;
    } else if (count >= 12 || dice == 1) {
      op.kind = crash::OpKind::kDelete;
    } else {
      op.kind = crash::OpKind::kDescribe;
    }
    op.index = count > 0 ? static_cast<LONG>(rng() % static_cast<unsigned>(count)) : 0;

    // Everything the operation needs is set up before it is announced: the registry holds the ID to
    // save, the list is filled and the item picked, as a player would have done.
    std::string text;
    if (op.kind == crash::OpKind::kSave) {
      text = "K" + std::to_string(seq);
      const std::wstring wide = base::FromAnsi(text);
      if (!mRegistery::SetRegValue(HKEY_CURRENT_USER, key_path, L"InstallKey", wide, REG_SZ) ||
          !mRegistery::SetRegValue(HKEY_CURRENT_USER, key_path, L"MPAccountName", L"N" + wide, REG_SZ) ||
          !mRegistery::SetRegValue(HKEY_CURRENT_USER, key_path, L"MPAccountNameSig", L"S" + wide, REG_SZ))
        return Fail(shared, L"the scratch key cannot be written");
    } else {
      window.ClearList();
      program.FillIdList();
      window.Select(op.index);
      if (op.kind == crash::OpKind::kDescribe) {
        text = Description(seq, rng);
        window.SetText(ui::frm_mng_ids::txt_disc, base::FromAnsi(text));
      }
    }
    lstrcpynA(op.text, text.c_str(), static_cast<int>(sizeof op.text));
    op.failed = 0;
    prompts.failed = false;
    InterlockedExchange(&shared->begun, seq);

    switch (op.kind) {
      case crash::OpKind::kSave: program.SaveInstalledId(); break;
      case crash::OpKind::kDescribe: window.btn_edidisc_Click(); break;
      case crash::OpKind::kDelete: window.btn_deleteit_Click(); break;
      case crash::OpKind::kNone: break;
    }

    op.failed = prompts.failed ? 1 : 0;
    InterlockedExchange(&shared->done, seq);
    if (prompts.failed) Sleep(INFINITE);  // the test reports the error box and ends the run
    Pump();
  }
}
