// "Print": with a recording printer, what goes to the printer and what the user is told; then through
// the real GDI printer. scripts/test-extra runs the RealPrinterTest cases with QUORVEL_PRINTER set:
//   queue:<unix folder>   the private print queue of scripts/print-queue is the default printer; its
//                         jobs land in <folder>/jobs as PDF, read back here with pdftotext
//   none                  CUPS has no printer at all
//   unavailable:<reason>  the queue could not be started; the queue test is skipped with the reason
// Without it they are skipped, so that a plain test run never prints on the machine's own printers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "app/boxes.h"
#include "app/main.h"
#include "base/handle.h"
#include "core/print_page.h"
#include "support/app_fixture.h"
#include "ui/frm_main.h"
#include "ui/gdi_printer.h"

namespace {

using boxes::Box;
using Clock = std::chrono::steady_clock;

std::string Environment(const char* name) {
  char value[4096] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// Wine maps the Unix file system into Windows paths; on Windows itself there is no such thing.
std::wstring DosPath(const std::string& unix_path) {
  using Convert = WCHAR* (*)(const char*);
  const auto convert =
      reinterpret_cast<Convert>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (convert == nullptr) return {};
  WCHAR* dos = convert(unix_path.c_str());
  if (dos == nullptr) return {};
  std::wstring path = dos;
  HeapFree(GetProcessHeap(), 0, dos);
  return path;
}

// Runs a shell command on the Unix side. Wine starts Unix programs but gives no handle to wait on,
// so the command ends by creating `done` (a Unix path) and this waits for that file to appear.
bool RunUnix(const std::string& command, const std::string& done, std::chrono::seconds timeout) {
  std::wstring line = L"/bin/sh -c \"" + std::wstring(command.begin(), command.end()) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  const base::UniqueHandle process(started.hProcess), thread(started.hThread);  // nothing waits on them
  const std::wstring marker = DosPath(done);
  const auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    if (GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

// The finished jobs of the queue, by job number.
std::map<int, std::string> FinishedJobs(const std::string& jobs) {
  std::map<int, std::string> found;
  WIN32_FIND_DATAW entry;
  const base::UniqueFind search(FindFirstFileW((DosPath(jobs) + L"\\job-*.pdf").c_str(), &entry));
  for (bool more = search.valid(); more; more = FindNextFileW(search.get(), &entry)) {
    const std::wstring name = entry.cFileName;
    found[std::stoi(name.substr(4))] = jobs + "/" + std::string(name.begin(), name.end());
  }
  return found;
}

class PrintTest : public testing_support::AppTest {
 protected:
  void TearDown() override { program_.reset(); }  // before the printer it uses

  app::Main& StartWith(app::Printer& printer) {
    SetStore("[QRVL_Settings]\r\nFLPATH=C:\\Games\\Freelancer.exe\r\n");
    program_ = std::make_unique<app::Main>(prompts_, printer, app::Places{key_.path(), dir_.path()});
    program_->MainWindow();
    return *program_;
  }

  // Presses "Print" the way a click reaches the window.
  void PressPrint() {
    ui::frm_main& window = program().MainWindow();
    SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(ui::frm_main::btn_print, BN_CLICKED),
                 reinterpret_cast<LPARAM>(window.Control(ui::frm_main::btn_print)));
  }

  void ExpectOnlyThePrintErrorBox() {
    EXPECT_EQ(boxes::Asked(prompts_),
              (std::vector<Box>{{L"Unable to print.\r\nCheck your printer is plugged in and switch on ;)",
                                 L"Quorvel - Print Error", boxes::Buttons::Ok, boxes::Icon::Stop}}));
  }
};

// The key in the registry at the press, changed behind the program's back after the label was
// filled; an empty or missing key prints an empty line and is no failure.
TEST_F(PrintTest, EachPressPrintsThePageOfTheKeyInTheRegistryAtThatMoment) {
  InstallInRegistry("SHOWN-KEY", "name", "sig");
  app::Main& m = StartWith(printer_);
  for (const char* key : {"NEW KEY 42", "THIRD-KEY", ""}) {
    key_.SetString(L"InstallKey", key);
    PressPrint();
  }
  EXPECT_EQ(m.CurrentId.MPAccountName, L"name");
  key_.Delete();  // no game key at all
  PressPrint();
  EXPECT_EQ(printer_.pages, (std::vector<core::PrintedLine>{core::InstalledIdLine(L"NEW KEY 42"), core::InstalledIdLine(L"THIRD-KEY"),
                                                            core::InstalledIdLine(L""), core::InstalledIdLine(L"")}));
  EXPECT_TRUE(prompts_.asked.empty()) << "a print that worked shows no message";
}

TEST_F(PrintTest, AFailedPrintShowsOnlyThePrintErrorBox) {
  InstallInRegistry("KEY-1", "name", "sig");
  app::Main& m = StartWith(printer_);
  printer_.fail_with = ERROR_INVALID_PRINTER_NAME;
  prompts_.Answer(app::Prompts::Answer::Ok);
  PressPrint();
  ExpectOnlyThePrintErrorBox();
  // The program goes on as before.
  EXPECT_FALSE(m.Ended());
  EXPECT_EQ(m.MainWindow().Text(ui::frm_main::lbl_currentid), L"KEY-1");
}

TEST(PrinterFont, Is24PointArialBoldItalicAtTheDevicesResolution) {
  const LOGFONTW at600 = ui::PrinterFont(core::InstalledIdLine(L"KEY"), 600);
  EXPECT_EQ(at600.lfHeight, -200);  // 24 pt = a third of an inch
  EXPECT_EQ(at600.lfWeight, FW_BOLD);
  EXPECT_TRUE(at600.lfItalic);
  EXPECT_FALSE(at600.lfUnderline);
  EXPECT_FALSE(at600.lfStrikeOut);
  EXPECT_STREQ(at600.lfFaceName, L"Arial");
  EXPECT_EQ(ui::PrinterFont(core::InstalledIdLine(L"KEY"), 300).lfHeight, -100);
}

class RealPrinterTest : public PrintTest {
 protected:
  // pdftotext's text of a PDF in the queue's folder ("" on failure), with -bbox when asked.
  std::string PdfText(const std::string& pdf, bool bbox = false) {
    const std::string out = pdf + (bbox ? ".bbox.txt" : ".txt");
    const std::string command = "pdftotext " + std::string(bbox ? "-bbox " : "") + "'" + pdf + "' '" + out +
                                ".part'; mv '" + out + ".part' '" + out + "'";
    if (!RunUnix(command, out, std::chrono::seconds(30))) return {};
    return testing_support::ReadBytes(DosPath(out));
  }

  ui::GdiPrinter gdi_;
};

TEST_F(RealPrinterTest, EachPressComesOutOfTheQueueAsOnePageHoldingExactlyTheKey) {
  const std::string mode = Environment("QUORVEL_PRINTER");
  if (mode.rfind("unavailable:", 0) == 0) GTEST_SKIP() << "the print queue could not be started: " << mode.substr(12);
  if (mode.rfind("queue:", 0) != 0)
    GTEST_SKIP() << "needs the private print queue: scripts/test-extra starts it and sets QUORVEL_PRINTER";
  if (DosPath("/").empty()) GTEST_SKIP() << "reading the queue's PDF files needs Wine";
  const std::string jobs = mode.substr(6) + "/jobs";
  const std::map<int, std::string> before = FinishedJobs(jobs);

  const std::string keys[] = {"QRV-7F3A-91BC-0042", "SECOND KEY 2", ""};
  InstallInRegistry(keys[0], "name", "sig");
  StartWith(gdi_);
  for (const std::string& key : keys) {
    key_.SetString(L"InstallKey", key);
    PressPrint();
  }
  EXPECT_TRUE(prompts_.asked.empty()) << "a print that worked shows no message";

  // The queue converts each job in the background; wait for all of them.
  std::map<int, std::string> jobs_now;
  const auto deadline = Clock::now() + std::chrono::seconds(90);
  do {
    jobs_now = FinishedJobs(jobs);
    for (const auto& [number, path] : before) jobs_now.erase(number);
    if (jobs_now.size() >= std::size(keys)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  } while (Clock::now() < deadline);
  ASSERT_EQ(jobs_now.size(), std::size(keys)) << "one print job per press";

  size_t press = 0;
  for (const auto& [number, pdf] : jobs_now) {
    SCOPED_TRACE("job " + std::to_string(number) + ", key \"" + keys[press] + "\"");
    const std::string text = PdfText(pdf);
    ASSERT_FALSE(text.empty()) << "pdftotext gave nothing for " << pdf;
    // pdftotext ends every page with a form feed: one page, holding the key and nothing else.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 1);
    std::string page = text.substr(0, text.find('\f'));
    while (!page.empty() && page.back() == '\n') page.pop_back();
    EXPECT_EQ(page, keys[press]);
    ++press;
  }

  // The first line stands centred across the page, about an inch below its top edge.
  const std::string layout = PdfText(jobs_now.begin()->second, true);
  std::smatch page, word;
  ASSERT_TRUE(std::regex_search(layout, page, std::regex(R"re(<page width="([0-9.]+)")re"))) << layout;
  ASSERT_TRUE(std::regex_search(
      layout, word, std::regex(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">)re")))
      << layout;
  const double width = std::stod(page[1]);
  const double centre = (std::stod(word[1]) + std::stod(word[3])) / 2;
  EXPECT_NEAR(centre, width / 2, 3.0) << layout;
  EXPECT_GT(std::stod(word[2]), 60.0) << layout;   // points from the top edge
  EXPECT_LT(std::stod(word[2]), 110.0) << layout;
}

TEST_F(RealPrinterTest, WithNoPrinterTheUserSeesOnlyThePrintErrorBox) {
  if (Environment("QUORVEL_PRINTER") != "none")
    GTEST_SKIP() << "needs a machine without printers: scripts/test-extra runs it with QUORVEL_PRINTER=none";
  InstallInRegistry("KEY-1", "name", "sig");
  StartWith(gdi_);
  prompts_.Answer(app::Prompts::Answer::Ok);
  PressPrint();
  ExpectOnlyThePrintErrorBox();
}

}  // namespace
