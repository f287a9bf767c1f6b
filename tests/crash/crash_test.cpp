// Crash safety: a worker process runs the real program object (saving, describing and deleting saved
// IDs through its operations and the manage window's handlers) and is killed with TerminateProcess at
// random moments. After every kill the store must be byte for byte the file before the operation in
// flight or the file after it: never half-written, never an ID lost or doubled.
//
// The expected files are built from a model of the saved IDs (a list of install keys and
// descriptions) in the store's documented layout, so a stray byte, a missing section or a section
// too many all show up as a mismatch.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "crash/crash_protocol.h"
#include "support/scratch.h"

namespace {

using testing_support::ReadBytes;
using testing_support::ScratchKey;
using testing_support::TempDir;
using testing_support::WriteBytes;

constexpr int kTrials = 1000;
constexpr char kSettings[] = "[QRVL_Settings]\r\nFLPATH=C:\\Games\\FL\\EXE\\Freelancer.exe\r\nFLIPS=1.2.3.4|5.6.7.8\r\n";

struct SavedId {
  std::string key;                  // INSTALL; MAN and MANS are "N" and "S" followed by the same text
  std::optional<std::string> disc;  // DISC, once the ID has been described
};
using Model = std::vector<SavedId>;

// The store file as the program lays it out: the settings, then FLID_1..n with INSTALL, MAN, MANS and,
// when described, DISC, every line ended by CR LF.
std::string Render(const Model& model) {
  std::string text = kSettings;
  for (std::size_t i = 0; i < model.size(); ++i) {
    const SavedId& id = model[i];
    text += "[FLID_" + std::to_string(i + 1) + "]\r\n";
    text += "INSTALL=" + id.key + "\r\nMAN=N" + id.key + "\r\nMANS=S" + id.key + "\r\n";
    if (id.disc) text += "DISC=" + *id.disc + "\r\n";
  }
  return text;
}

// The model after op, or nullopt when op does not fit the model (the worker and the test disagree).
std::optional<Model> Apply(Model model, const crash::Op& op) {
  const auto index = static_cast<std::size_t>(op.index);
  switch (op.kind) {
    case crash::OpKind::kSave:
      model.push_back({op.text, std::nullopt});
      return model;
    case crash::OpKind::kDescribe:
      if (index >= model.size()) return std::nullopt;
      model[index].disc = op.text;  // the worker's descriptions hold no brackets to clean
      return model;
    case crash::OpKind::kDelete:
      if (index >= model.size()) return std::nullopt;
      model.erase(model.begin() + static_cast<std::ptrdiff_t>(index));
      return model;
    case crash::OpKind::kNone:
      break;
  }
  return std::nullopt;
}

const char* KindName(crash::OpKind kind) {
  switch (kind) {
    case crash::OpKind::kSave: return "save";
    case crash::OpKind::kDescribe: return "describe";
    case crash::OpKind::kDelete: return "delete";
    case crash::OpKind::kNone: break;
  }
  return "none";
}

std::string Utf8(const std::wstring& text) {
  std::string out;
  for (const wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\'));
}

// Files the program left beside the store (temp files of writes that were cut short); removed.
int RemoveLitter(const std::wstring& folder) {
  int removed = 0;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L".." || name == L"FLIDs.ini") continue;
    if (DeleteFileW((folder + L"\\" + name).c_str())) ++removed;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return removed;
}

class SharedBlock {
 public:
  explicit SharedBlock(const std::wstring& name)
      : mapping_(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(crash::Shared),
                                    name.c_str())) {
    if (mapping_ != nullptr)
      view_ = static_cast<crash::Shared*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(crash::Shared)));
  }
  ~SharedBlock() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
  }
  SharedBlock(const SharedBlock&) = delete;
  SharedBlock& operator=(const SharedBlock&) = delete;
  crash::Shared* get() const { return view_; }

 private:
  HANDLE mapping_;
  crash::Shared* view_ = nullptr;
};

struct Tally {
  int trials = 0;
  int in_flight[4] = {};  // by OpKind
  int found_before = 0;   // kills with an operation in flight that found the store as before it
  int found_after = 0;    // ... and as after it
  long completed_ops = 0;
  int litter = 0;
};


// Runs the worker again and again on a temp folder, a scratch key and a shared block, kills it and
// checks the store. Most of a trial is Wine starting the process (about 60 ms here); running two
// workers side by side was slower on two cores, as process start-up goes through the one wineserver.
class CrashRun {
 public:
  CrashRun()
      : key_(L"crash"),
        store_(dir_.File(L"FLIDs.ini")),
        mapping_name_(L"QuorvelCrash-" + std::to_wstring(GetCurrentProcessId())),
        block_(mapping_name_),
        rng_(20240613u) {}

  // Runs the trials; returns what went wrong, or "" when every kill left the store before or after.
  std::string Run(int trials) {
    crash::Shared* shared = block_.get();
    if (shared == nullptr) return "cannot create the shared block";
    WriteBytes(store_, Render(model_));
    for (int trial = 0; trial < trials; ++trial) {
      if (std::string failure = Trial(*shared, trial); !failure.empty()) return failure;
    }
    return {};
  }

  const Tally& tally() const { return tally_; }

 private:
  std::string Trial(crash::Shared& shared, int trial) {
    ZeroMemory(&shared, sizeof shared);
    shared.begun = seq_ - 1;
    shared.done = seq_ - 1;

    const std::wstring worker = OwnFolder() + L"\\crash_worker.exe";
    std::wstring command = L"\"" + worker + L"\" \"" + dir_.path() + L"\" \"" + key_.path() + L"\" " + mapping_name_ +
                           L" " + std::to_wstring(seq_) + L" " + std::to_wstring(rng_());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // Under heavy load Wine now and then refuses a process start with ERROR_INTERNAL_ERROR after a
    // kill; that says nothing about the store, so the start is tried again a few times.
    DWORD start_error = 0;
    for (int attempt = 1; attempt <= 5; ++attempt) {
      if (CreateProcessW(worker.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        start_error = 0;
        break;
      }
      start_error = GetLastError();
      Sleep(200U * static_cast<unsigned>(attempt));
    }
    if (start_error != 0) return "cannot start " + Utf8(worker) + ": error " + std::to_string(start_error);

    // Wait for the worker to have loaded the store, then let it run a random while and kill it. Most
    // kills land within the first few operations; some let it run for a while.
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (shared.ready == 0 && shared.worker_error == 0 && GetTickCount64() < deadline &&
           WaitForSingleObject(pi.hProcess, 1) == WAIT_TIMEOUT) {
    }
    if (shared.ready == 1 && shared.worker_error == 0) {
      Sleep(rng_() % 8 == 0 ? rng_() % 60 : rng_() % 12);
      SpinMicroseconds(rng_() % 1000);
    }
    TerminateProcess(pi.hProcess, 99);
    const DWORD died = WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (shared.worker_error != 0) return "the worker stopped: " + Utf8(shared.message);
    if (shared.ready != 1) return "the worker did not start within 30 s (trial " + std::to_string(trial) + ")";
    if (died != WAIT_OBJECT_0) return "the worker did not die";

    // Every finished operation goes into the model; one that had begun but not finished may or may not
    // have reached the file.
    const LONG begun = shared.begun;
    const LONG done = shared.done;
    if (begun != done && begun != done + 1)
      return "begun " + std::to_string(begun) + " but done " + std::to_string(done);
    for (LONG s = seq_; s <= done; ++s) {
      const crash::Op& op = shared.ops[s - seq_];
      if (op.failed != 0)
        return "operation " + std::to_string(s) + " (" + KindName(op.kind) + ") showed an error box: " +
               Utf8(shared.message);
      std::optional<Model> next = Apply(model_, op);
      if (!next) return "operation " + std::to_string(s) + " does not fit the model";
      model_ = std::move(*next);
      ++tally_.completed_ops;
    }

    const std::string bytes = ReadBytes(store_);
    const std::string before = Render(model_);
    const std::string where = "trial " + std::to_string(trial) + ": ";
    if (begun == done + 1) {
      const crash::Op& op = shared.ops[begun - seq_];
      std::optional<Model> after = Apply(model_, op);
      if (!after) return "operation " + std::to_string(begun) + " does not fit the model";
      ++tally_.in_flight[static_cast<int>(op.kind)];
      if (bytes == before) {
        ++tally_.found_before;
      } else if (bytes == Render(*after)) {
        ++tally_.found_after;
        model_ = std::move(*after);
      } else {
        return where + "killed during " + KindName(op.kind) + " of list index " + std::to_string(op.index) +
               ", the store is neither the state before it:\n" + before + "\nnor after it:\n" + Render(*after) +
               "\nbut:\n" + bytes;
      }
    } else if (bytes != before) {
      return where + "killed between operations, the store is not the state the last one left:\n" + before +
             "\nbut:\n" + bytes;
    }
    tally_.litter += RemoveLitter(dir_.path());
    ++tally_.trials;
    seq_ = begun + 1;
    return {};
  }

  static void SpinMicroseconds(unsigned microseconds) {
    LARGE_INTEGER now{}, freq{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    const LONGLONG until = now.QuadPart + static_cast<LONGLONG>(microseconds) * freq.QuadPart / 1000000;
    do {
      QueryPerformanceCounter(&now);
    } while (now.QuadPart < until);
  }

  TempDir dir_;
  ScratchKey key_;
  std::wstring store_;
  std::wstring mapping_name_;
  SharedBlock block_;
  std::mt19937 rng_;
  Model model_ = {{"K-a", "first|pilot"}, {"K-b", std::nullopt}, {"K-c", "x=y; z"}};
  LONG seq_ = 1;
  Tally tally_;
};

TEST(CrashSafety, KilledMidOperationTheStoreIsTheStateBeforeOrAfter) {
  const auto started = std::chrono::steady_clock::now();
  CrashRun run;
  ASSERT_EQ(run.Run(kTrials), "");

  const Tally& tally = run.tally();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const int in_flight = tally.in_flight[1] + tally.in_flight[2] + tally.in_flight[3];
  std::printf(
      "crash safety: %d trials (kills) in %.1f s, %ld operations finished between kills\n"
      "  killed with an operation in flight: %d (save %d, describe %d, delete %d); store found as before it %d, "
      "as after it %d\n"
      "  killed between operations: %d\n"
      "  stores half-written, IDs lost or doubled: 0\n"
      "  temp files left beside the store by cut-short writes (removed): %d\n",
      tally.trials, seconds, tally.completed_ops, in_flight, tally.in_flight[1], tally.in_flight[2],
      tally.in_flight[3], tally.found_before, tally.found_after, tally.trials - in_flight, tally.litter);
  EXPECT_EQ(tally.trials, kTrials);
  // The kills must actually have hit the operations, and both outcomes must have been seen.
  EXPECT_GT(in_flight, kTrials / 2);
  EXPECT_GT(tally.found_before, 0);
  EXPECT_GT(tally.found_after, 0);
}

}  // namespace
