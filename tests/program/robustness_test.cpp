// Damaged and hand-edited stores (the first table of docs/robustness.md; its other rows are rows of the
// tables in program_test.cpp). Each store is loaded, saved into, its first saved ID described (a fresh
// start then shows the description) and deleted. Each step either says "Done!" and did just that, or
// shows a stop box and left the file byte for byte; no saved ID in the file is ever lost.
#include <random>
#include <set>

#include "base/text.h"
#include "support/support.h"

namespace {

// Every INSTALL value in the file, read without the program's code.
std::multiset<std::string> Installs(const std::string& bytes) {
  std::multiset<std::string> values;
  for (std::size_t at = 0, end; at < bytes.size(); at = end + 1) {
    end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
    std::string line = bytes.substr(at, end - at);
    line.erase(0, line.find_first_not_of(" \t"));
    if (line.starts_with("INSTALL") && line.find('=') != std::string::npos)
      values.insert(line.substr(line.find_first_not_of(" \t=", 7), line.find_last_not_of(" \t") - line.find_first_not_of(" \t=", 7) + 1));
  }
  return values;
}

std::string Id(int n, const std::string& key, const char* eol = "\r\n") {
  return "[FLID_" + std::to_string(n) + "]" + eol + "INSTALL=" + key + eol + "MAN=m" + eol + "MANS=s" + eol;
}

class Robust : public support::ProgramTest {
 protected:
  // One letter per step: d done as asked, x refused with a stop box and the file unchanged, - otherwise.
  std::string Steps(const std::string& bytes) {
    std::string outcomes;
    const auto step = [&](const std::function<bool()>& op) {
      const std::string before = Store();
      seen_.log.clear();
      const bool as_asked = op();
      const bool refused = std::any_of(seen_.log.begin(), seen_.log.end(), [](const std::wstring& l) { return l[0] == L'x'; });
      outcomes += refused ? (Store() == before ? 'x' : '-') : as_asked ? 'd' : '-';
    };
    Start(bytes.c_str(), "saved-now|m|s");
    auto ids = Installs(Store());
    step([&] { ids.insert("saved-now"); program_->SaveInstalledId(); return Installs(Store()) == ids; });
    step([&] {
      ids = Installs(Store());
      program_->FillIdList();  // the manage window opened after the save
      program_->StoreDescription(0, L"checked [1] = ; x|y");
      Start(nullptr, "saved-now|m|s");
      program_->ShowDescription(0);
      return Installs(Store()) == ids && seen_.log == std::vector<std::wstring>{L"label checked (1) = ; x\r\ny", L"box checked (1) = ; x|y"};
    });
    const std::string first = base::ToAnsi(program_->SavedIds.at(1)[1]);
    step([&] { ids = Installs(Store()); ids.erase(ids.find(first)); program_->DeleteSelectedId(0); return Installs(Store()) == ids; });
    return outcomes;
  }
};

TEST_F(Robust, DamagedStoresLoseNoSavedId) {
  const std::string s = "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\n", abc = s + Id(1, "a") + Id(2, "b") + Id(3, "c");
  std::string lf = abc, cr = abc, junk(6000, '\0');
  std::erase(lf, '\r');
  std::erase(cr, '\n');
  std::mt19937 rng(1);
  for (char& c : junk) c = static_cast<char>(rng());
  std::string huge = s;  // 30,000 saved IDs with descriptions, several MB: one read per load, one atomic write per change
  for (int n = 1; n <= 30000; ++n) huge += Id(n, "k" + std::to_string(n)) + "DISC=pilot|trader|" + std::string(120, 'd') + "\r\n";
  const std::pair<std::string, const char*> rows[] = {
      {junk.substr(0, 2000) + "\r\n" + s + Id(1, "a") + junk.substr(2000, 3000) + "\r\n" + Id(2, "b") + junk.substr(5000), "ddd"},
      {s + Id(1, "a") + std::string("X=x\0y\r\n\0\r\n[FLID_2]\r\nINSTALL=b\0hidden\r\n", 35) + Id(3, "c"), "ddd"},
      {lf, "ddd"}, {cr, "ddd"}, {abc.substr(0, abc.size() - 2), "ddd"},
      {s + Id(1, "a") + Id(2, std::string(300, 'x')) + Id(3, "c"), "ddd"},
      {"\xEF\xBB\xBF" + s + "\r\n; saved IDs\r\n[FLID_1]\r\n  INSTALL = a \r\nMAN=m-a\r\n\r\n" + Id(2, "b"), "ddd"},
      {s + Id(1, "a") + Id(2, "b") + Id(2, "b2") + Id(3, "c"), "ddx"},  // a section twice: no FLID_4 to renumber
      {s + Id(1, "a") + Id(3, "c"), "ddd"},                              // a gap: the save fills it
      {s + Id(1, "a") + "[flid_2]\r\nINSTALL=b\r\n" + Id(3, "c"), "xdx"}, // read as FLID_2 but not counted
      {s + Id(1, "a") + "DISC=x,[FLID_9\r\n" + Id(2, "b") + Id(3, "c"), "ddx"},  // a field counted as a header
      // A CR-only store into which the program wrote a CR LF line (a description): deleting the ID
      // before it once wiped the later IDs' values.
      {std::string("[QRVL_Settings]\rFLPATH=x\r") + Id(1, "a", "\r") + Id(2, "b", "\r") + "DISC=d\r\n", "ddd"},
      {huge, "ddd"},
  };
  for (const auto& [bytes, outcomes] : rows) EXPECT_EQ(Steps(bytes), outcomes) << testing::PrintToString(bytes.substr(0, 80));
}

}  // namespace
