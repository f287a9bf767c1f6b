// The real windows on Wine's null display driver: what the program shows reaches the right controls,
// what the player picks and types reaches the program, and a window moved to a 144-DPI monitor lays
// itself out again. How the windows look is the approval test's (tests/e2e).
#include "support/support.h"
#include "ui/frm_about.h"
#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"
#include "ui/windows.h"

namespace {

using namespace ui;

std::wstring Text(Window& w, int id) { return w.Text(id); }

RECT Place(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class Windows : public support::ProgramTest {
 protected:
  void SetUp() override {
    support::WriteBytes(StorePath(), "[QRVL_Settings]\r\nFLPATH=x\r\n[FLID_1]\r\nINSTALL=one\r\n[FLID_2]\r\nINSTALL=two\r\n");
    key_.Set("InstallKey", "installed");
    program_ = std::make_unique<app::Main>(seen_, seen_, windows_, app::Places{key_.path, dir_.path});
    windows_.Attach(*program_);
    windows_.on_close_all = [this] { seen_.log.push_back(L"all closed"); };
    windows_.MainWindow();  // its load runs the start-up
  }
  ui::Windows windows_;
};

TEST_F(Windows, ShowWhatTheProgramSaysWhereItBelongsAndPassOnWhatThePlayerChose) {
  frm_main& main = windows_.MainWindow();
  frm_mng_ids& manage = windows_.MngIdsWindow();
  EXPECT_EQ(Text(main, frm_main::lbl_currentid) + Text(manage, frm_mng_ids::lbl_current_id) +
                Text(windows_.SaveIdWindow(), frm_save_id::lbl_current_id), L"installedinstalledinstalled");
  windows_.ShowServers(L"1.2.3.4|5");
  EXPECT_EQ(Text(main, frm_main::txt_serverips), L"1.2.3.4|5");
  main.btn_mng_ids_Click();  // shows the manage window and lists the saved IDs
  const HWND combo = manage.Control(frm_mng_ids::cmbo_flids);
  EXPECT_TRUE(manage.Visible());
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
  manage.Select(1);
  windows_.ShowDescriptionLabel(L"label");
  windows_.ShowDescriptionBox(L"box");
  EXPECT_EQ(Text(manage, frm_mng_ids::lbl_disc) + Text(manage, frm_mng_ids::txt_disc), L"labelbox");
  manage.btn_edidisc_Click();  // the picked index and the box's text reach the program
  EXPECT_NE(support::ReadBytes(StorePath()).find("[FLID_2]\r\nINSTALL=two\r\nDISC=box\r\n"), std::string::npos);
  manage.btn_changeit_Click();
  windows_.ShowIdList({L"x", L""});
  EXPECT_EQ(Text(manage, frm_mng_ids::cmbo_flids), L"two") << "the edit field keeps its text";
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
  windows_.ShowListPrompt(L"- Select ID -");
  EXPECT_EQ(Text(manage, frm_mng_ids::cmbo_flids) + std::to_wstring(SendMessageW(combo, CB_GETCURSEL, 0, 0)), L"- Select ID --1");
  RECT compact, expanded;
  GetClientRect(manage.hwnd(), &compact);
  windows_.ShowDescriptionEditor(true);
  GetClientRect(manage.hwnd(), &expanded);
  EXPECT_EQ(compact.bottom, MulDiv(4410 - 480, 96, 1440));  // the designed client heights
  EXPECT_EQ(expanded.bottom, MulDiv(6375 - 480, 96, 1440));
  main.about_Click();
  windows_.CloseAll();
  EXPECT_FALSE(main.Exists() || manage.Exists() || FindWindowW(L"Quorvel.frm_about", nullptr));
  EXPECT_TRUE(support::LogIs(seen_.log, {L"? Done!: Continue editing the discription?",
                                         L"? Quorvel: This will reset your FL ID to the one selected, continue?",
                                         L"i Done!: FL ID Changed.", L"all closed"}));
}

// Moved to a monitor of 144 DPI, every window and control is half as large again as at 96 DPI, to
// within a pixel, and its text is drawn in a font made for 144 DPI.
TEST_F(Windows, LayOutAgainOnADpiChange) {
  for (Window* w : std::initializer_list<Window*>{&windows_.MainWindow(), &windows_.MngIdsWindow(), &windows_.SaveIdWindow(), &windows_.AboutWindow()}) {
    std::vector<std::pair<HWND, RECT>> at96;
    for (HWND c = GetWindow(w->hwnd(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) at96.emplace_back(c, Place(c));
    RECT client96, client144, suggested{10, 10, 500, 500};
    GetClientRect(w->hwnd(), &client96);
    SendMessageW(w->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    GetClientRect(w->hwnd(), &client144);
    EXPECT_NEAR(client144.right, client96.right * 3 / 2, 1);
    for (const auto& [control, r] : at96) {
      const RECT now = Place(control);
      for (const auto& [was, is] : {std::pair{r.left, now.left}, {r.top, now.top}, {r.right, now.right}})
        EXPECT_NEAR(is, was * 3 / 2, 1) << Text(*w, GetDlgCtrlID(control));
      LOGFONTW font{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
      EXPECT_EQ(font.lfHeight, -MulDiv(825, 144, 7200));
    }
  }
}

}  // namespace
