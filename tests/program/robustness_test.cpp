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
    const std::string line = bytes.substr(at, end - at);
    const std::size_t from = line.find_first_not_of(' ');
    if (from != std::string::npos && line.compare(from, 7, "INSTALL") == 0)
      values.insert(line.substr(line.find_first_not_of(" =", from + 7)).substr(0, line.find_last_not_of(' ') + 1 - line.find_first_not_of(" =", from + 7)));
  }
  return values;
}

std::string Junk(unsigned seed, std::size_t size) {
  std::mt19937 rng(seed);
  std::string junk(size, '\0');
  for (char& c : junk) c = static_cast<char>(rng());
  return junk;
}

std::string Id(int n, const std::string& key, const char* eol = "\r\n") {
  return "[FLID_" + std::to_string(n) + "]" + eol + "INSTALL=" + key + eol + "MAN=m" + eol + "MANS=s" + eol;
}

class Robust : public support::ProgramTest {
 protected:
  // One letter per step: d done, x refused with a stop box, - when it did something else.
  std::string Steps(const std::string& bytes) {
    std::string outcomes;
    const auto step = [&](auto op, auto changed) {
      const std::string before = Store();
      seen_.log.clear();
      op(*program_);
      const bool refused = std::any_of(seen_.log.begin(), seen_.log.end(), [](auto& l) { return l.starts_with(L"x "); });
      outcomes += refused ? (Store() == before ? 'x' : '-') : (changed(before, Store()) ? 'd' : '-');
    };
    Start(bytes.c_str(), "saved-now|m|s");
    std::multiset<std::string> listed_first;
    step([](app::Main& m) { m.SaveInstalledId(); }, [](const std::string& b, const std::string& a) {
      auto expected = Installs(b);
      expected.insert("saved-now");
      return Installs(a) == expected;
    });
    step([](app::Main& m) { m.StoreDescription(0, L"checked [1] = ; x|y"); }, [&](const std::string& b, const std::string& a) {
      Start(nullptr, "saved-now|m|s");
      program_->ShowDescription(0);
      return Installs(a) == Installs(b) && seen_.log == std::vector<std::wstring>{L"label checked (1) = ; x\r\ny", L"box checked (1) = ; x|y"};
    });
    const std::string first = base::ToAnsi(program_->SavedIds.at(1)[1]);
    step([](app::Main& m) { m.DeleteSelectedId(0); }, [&](const std::string& b, const std::string& a) {
      auto expected = Installs(b);
      expected.erase(expected.find(first));
      return Installs(a) == expected;
    });
    return outcomes;
  }
};

TEST_F(Robust, DamagedStoresLoseNoSavedId) {
  const std::string s = "[QRVL_Settings]\r\nFLPATH=C:\\FL\\Freelancer.exe\r\n", abc = s + Id(1, "a") + Id(2, "b") + Id(3, "c");
  std::string lf = abc, cr = abc;
  std::erase(lf, '\r');
  std::erase(cr, '\n');
  const std::pair<std::string, const char*> rows[] = {
      {Junk(1, 2000) + "\r\n" + s + Id(1, "a") + Junk(2, 3000) + "\r\n" + Id(2, "b") + Junk(3, 1000), "ddd"},
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
  };
  for (const auto& [bytes, outcomes] : rows) EXPECT_EQ(Steps(bytes), outcomes) << testing::PrintToString(bytes.substr(0, 80));
}

// 30,000 saved IDs with descriptions, several MB: one read per load, one atomic write per change.
TEST_F(Robust, AHugeStoreLosesNoSavedId) {
  std::string store = "[QRVL_Settings]\r\nFLPATH=x\r\n";
  for (int n = 1; n <= 30000; ++n) store += Id(n, "k" + std::to_string(n)) + "DISC=pilot|trader|" + std::string(120, 'd') + "\r\n";
  EXPECT_EQ(Steps(store), "ddd");
  EXPECT_EQ(program_->IdCount, 30000);
  EXPECT_EQ(program_->SavedIds[30000][1], L"saved-now");
}

}  // namespace
