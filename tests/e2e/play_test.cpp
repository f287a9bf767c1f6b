// Quorvel end to end, as a player meets it: the real quorvel.exe, started in a folder of its own and
// played through its windows with real mouse and keyboard input, under a display. Each scenario checks
// what the player sees, the game's registry values and the store's bytes afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include "e2e/player.h"
#include "e2e/program.h"

namespace e2e {
namespace {

constexpr wchar_t kMain[] = L"Quorvel - Main";
constexpr wchar_t kManage[] = L"Quorvel - Manage saved IDs";
constexpr wchar_t kSave[] = L"Quorvel - Save FL ID";
constexpr wchar_t kAbout[] = L"About";

const std::vector<int> kOk{IDOK};
const std::vector<int> kOkCancel{IDOK, IDCANCEL};
const std::vector<int> kYesNo{IDYES, IDNO};

// The ID the game has installed when each scenario starts.
const Id kInstalled{"9F8E-7D6C-5B4A-3928-1706", "51B2A6C1F0E2", "C0FFEE42"};

const Id kSaved[] = {
    {"A1B2-C3D4-E5F6-0718-293A", "man-one", "sig-one"},
    {"B2C3-D4E5-F607-1829-3A4B", "man-two", "sig-two"},
    {"C3D4-E5F6-0718-293A-4B5C", "man-three", "sig-three"},
};

std::string Section(int number, const Id& id, const std::string& description = {}) {
  std::string text = "[FLID_" + std::to_string(number) + "]\r\nINSTALL=" + id.install + "\r\nMAN=" + id.man +
                     "\r\nMANS=" + id.mans + "\r\n";
  if (!description.empty()) text += "DISC=" + description + "\r\n";
  return text;
}

std::string Settings(const std::wstring& game, const std::string& servers) {
  return "[QRVL_Settings]\r\nFLPATH=" + Ansi(game) + "\r\nFLIPS=" + servers + "\r\n";
}

void ExpectInstalledAsGameLeftIt(const Id& id) {
  EXPECT_EQ(ReadGameValue("InstallKey").data, GameStyle(id.install));
  EXPECT_EQ(ReadGameValue("MPAccountName").data, GameStyle(id.man));
  EXPECT_EQ(ReadGameValue("MPAccountNameSig").data, GameStyle(id.mans));
}

// The controls a player looks at, found by their frames and places.
struct MainWindow {
  MainWindow(const Player& player, HWND top)
      : window(top),
        installed(player.OnlyControlIn(top, L"Current FL ID Installed:", L"Static")),
        servers(player.OnlyControlIn(top, L"Launch Freelancer", L"Edit")) {}
  HWND window, installed, servers;
};

struct ManageWindow {
  ManageWindow(const Player& player, HWND top)
      : window(top),
        list(player.OnlyControlIn(top, L"Change FL ID", L"ComboBox")),
        // the value label stands right of its caption "Current ID Installed:"
        installed(player.ControlsIn(top, L"Change FL ID", L"Static").at(1)),
        description(player.OnlyControlIn(top, L"IDs Discription", L"Static")),
        editor(player.OnlyControlIn(top, L"Edit/Add Discription", L"Edit")),
        change(player.PushButton(top, L"Change FL ID", L"Choose Option:")),
        remove(player.PushButton(top, L"Deleted FL ID", L"Choose Option:")),
        open_editor(player.PushButton(top, L"Edit Discription", L"Choose Option:")),
        store_description(player.PushButton(top, L"Edit Discription", L"Edit/Add Discription")) {}
  HWND window, list, installed, description, editor, change, remove, open_editor, store_description;
};

int ClientHeight(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client.bottom;
}

// Designed twips at the screen's resolution.
int Pixels(int twips) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return MulDiv(twips, dpi, 1440);
}

class Play : public ::testing::Test {
 protected:
  void SetUp() override { SetInstalledIdAsGame(kInstalled); }
  Program program;
};

// ---- First run --------------------------------------------------------------------------------

TEST_F(Play, FirstRunAsksForTheGameBeforeAnyWindowAndCreatesAStoreHoldingOnlyItsPath) {
  const std::wstring game = program.InstallStandInGame();
  program.Start();
  Player player(program.pid());

  player.WaitWindow(L"First load", L"#32770");
  EXPECT_TRUE(player.Windows(kMain).empty()) << "the main window shows only once start-up is done";
  const BoxSeen question = player.Answer(L"First load", IDOK);
  EXPECT_EQ(question.text, L"Quorvel needs to locate your Freelancer exe, click ok to set it.");
  EXPECT_EQ(question.buttons, kOkCancel);
  EXPECT_FALSE(question.icon);

  player.ChooseFile(game);
  const MainWindow main(player, player.WaitWindow(kMain));
  EXPECT_EQ(program.Store(), "[QRVL_Settings]\r\nFLPATH=" + Ansi(game) + "\r\n");
  EXPECT_EQ(player.Text(main.installed), L"9F8E-7D6C-5B4A-3928-1706");
  EXPECT_EQ(player.Text(main.servers), L"");
  EXPECT_TRUE(player.Dialogs().empty()) << player.Screen();

  player.Click(player.PushButton(main.window, L"Manage FL IDs"));
  const ManageWindow manage(player, player.WaitWindow(kManage));
  EXPECT_EQ(player.Text(manage.list), L"- Select ID -");
  EXPECT_TRUE(player.ComboItems(manage.list).empty());
  EXPECT_EQ(player.Text(manage.installed), L"9F8E-7D6C-5B4A-3928-1706");

  ExpectInstalledAsGameLeftIt(kInstalled);
  EXPECT_EQ(program.Store(), "[QRVL_Settings]\r\nFLPATH=" + Ansi(game) + "\r\n");
}

TEST_F(Play, CancelAtTheFirstRunQuestionEndsTheProgramWithoutAWindowOrAStore) {
  program.Start();
  Player player(program.pid());

  const BoxSeen question = player.Answer(L"First load", IDCANCEL);
  EXPECT_EQ(question.text, L"Quorvel needs to locate your Freelancer exe, click ok to set it.");
  ASSERT_TRUE(program.WaitForExit(kWait)) << "still running: " << player.Screen();
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_FALSE(program.Store().has_value());
  ExpectInstalledAsGameLeftIt(kInstalled);
}

// ---- The typical road: switch to the second saved ID and play with it ------------------------

TEST_F(Play, ManagePickTheSecondIdChangeToItThenLaunchTheGameWithTwoServers) {
  const std::wstring game = program.InstallStandInGame();
  const std::string saved = Section(1, kSaved[0], "Main pilot") +
                            Section(2, kSaved[1], "Second account|Bounty hunter|Liberty") + Section(3, kSaved[2]);
  program.WriteStore(Settings(game, "203.0.113.7") + saved);
  program.Start();
  Player player(program.pid());

  const MainWindow main(player, player.WaitWindow(kMain));
  EXPECT_TRUE(player.Dialogs().empty()) << "a store exists: no first-run question; " << player.Screen();
  EXPECT_EQ(player.Text(main.installed), L"9F8E-7D6C-5B4A-3928-1706");
  EXPECT_EQ(player.Text(main.servers), L"203.0.113.7");

  // 1. "Manage FL IDs" lists the saved IDs.
  player.Click(player.PushButton(main.window, L"Manage FL IDs"));
  const ManageWindow manage(player, player.WaitWindow(kManage));
  EXPECT_EQ(player.ComboItems(manage.list),
            (std::vector<std::wstring>{L"A1B2-C3D4-E5F6-0718-293A", L"B2C3-D4E5-F607-1829-3A4B",
                                       L"C3D4-E5F6-0718-293A-4B5C"}));
  EXPECT_EQ(player.Text(manage.list), L"- Select ID -");
  EXPECT_EQ(player.ComboSelection(manage.list), -1);
  EXPECT_EQ(player.Text(manage.installed), L"9F8E-7D6C-5B4A-3928-1706");

  // 2. Picking the second shows its description, one line per "|".
  player.Pick(manage.list, 1);
  EXPECT_EQ(player.Text(manage.description), L"Second account\r\nBounty hunter\r\nLiberty");
  EXPECT_EQ(player.Text(manage.editor), L"Second account|Bounty hunter|Liberty");

  // 3. "Change FL ID", Yes: the registry holds row 2, the labels show it before "FL ID Changed.".
  player.Click(manage.change);
  const BoxSeen question = player.Answer(L"Quorvel", IDYES);
  EXPECT_EQ(question.text, L"This will reset your FL ID to the one selected, continue?");
  EXPECT_EQ(question.buttons, kYesNo);
  EXPECT_FALSE(question.icon);
  const HWND done = player.WaitWindow(L"Done!", L"#32770");
  EXPECT_EQ(player.Text(main.installed), L"B2C3-D4E5-F607-1829-3A4B");
  EXPECT_EQ(player.Text(manage.installed), L"B2C3-D4E5-F607-1829-3A4B");
  const HWND save_window = player.ShownOrHidden(kSave);
  ASSERT_NE(save_window, nullptr) << "start-up creates the save window, hidden";
  EXPECT_EQ(player.Text(player.ControlsIn(save_window, L"Save current FL ID", L"Static").at(1)),
            L"B2C3-D4E5-F607-1829-3A4B");
  const BoxSeen changed = player.Read(done);
  player.Answer(L"Done!", IDOK);
  EXPECT_EQ(changed.text, L"FL ID Changed.");
  EXPECT_EQ(changed.buttons, kOk);
  EXPECT_TRUE(changed.icon);

  const std::pair<const char*, std::string> expected[] = {
      {"InstallKey", kSaved[1].install}, {"MPAccountName", kSaved[1].man}, {"MPAccountNameSig", kSaved[1].mans}};
  for (const auto& [name, text] : expected) {
    const RegValue value = ReadGameValue(name);
    EXPECT_TRUE(value.exists) << name;
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
    EXPECT_EQ(value.data, Padded255(text)) << name << ": 255 bytes, the text then zero bytes";
  }
  EXPECT_EQ(program.Store(), Settings(game, "203.0.113.7") + saved) << "installing leaves the store alone";

  // 4. Two servers typed beside "Launch FL" start the game with one argument each.
  player.ReplaceText(main.servers, L"1.2.3.4|5.6.7.8");
  player.Click(player.PushButton(main.window, L"Launch FL"));
  WaitUntil([&] { return !program.Launches().empty(); }, "the stand-in game to record its start", kWait,
            [&] { return player.Screen(); });
  const std::vector<Launch> launches = program.Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].command_line, L"\"" + game + L"\" -s1.2.3.4:2302 -s5.6.7.8:2302");
  EXPECT_TRUE(launches[0].use_show_window);
  EXPECT_EQ(launches[0].show_window, SW_SHOWMINIMIZED);
  EXPECT_EQ(_wcsicmp(launches[0].current_directory.c_str(), program.folder().c_str()), 0)
      << "the game inherits Quorvel's current directory: " << Utf8(launches[0].current_directory);
  EXPECT_EQ(program.Store(), Settings(game, "1.2.3.4|5.6.7.8") + saved) << "FLIPS holds the list as typed";

  EXPECT_TRUE(player.Dialogs().empty()) << player.Screen();
  EXPECT_FALSE(player.Windows(kMain).empty()) << "the main window stays open";
  EXPECT_EQ(player.Text(main.servers), L"1.2.3.4|5.6.7.8");
}

// ---- Save, describe and delete ----------------------------------------------------------------

TEST_F(Play, SaveDescribeAndDeleteThroughTheWindows) {
  const std::wstring game = program.InstallStandInGame();
  const std::string settings = Settings(game, "10.0.0.1");
  const std::string first = Section(1, kSaved[0], "First|pilot");
  program.WriteStore(settings + first + Section(2, kSaved[1]));
  program.Start();
  Player player(program.pid());
  const MainWindow main(player, player.WaitWindow(kMain));

  // Save: the installed ID becomes FLID_3; typing never launched gives way to the stored list.
  player.ReplaceText(main.servers, L"7.7.7.7");
  player.Click(player.PushButton(main.window, L"Save FL ID"));
  const HWND save_window = player.WaitWindow(kSave);
  EXPECT_EQ(player.Text(player.ControlsIn(save_window, L"Save current FL ID", L"Static").at(1)),
            L"9F8E-7D6C-5B4A-3928-1706");
  player.Click(player.PushButton(save_window, L"Save FL ID"));
  const BoxSeen saved = player.Answer(L"Done!", IDOK);
  EXPECT_EQ(saved.text, L"FL ID Saved!\r\nGo to the ID manager to add a discription/change id");
  EXPECT_EQ(saved.buttons, kOk);
  EXPECT_TRUE(saved.icon);
  player.WaitHidden(save_window, "the save window");
  EXPECT_TRUE(IsWindow(save_window)) << "saving hides the window, it does not close it";
  const std::string after_save = settings + first + Section(2, kSaved[1]) + Section(3, kInstalled);
  EXPECT_EQ(program.Store(), after_save);
  EXPECT_EQ(player.Text(main.servers), L"10.0.0.1");

  // Describe the new ID: the editor opens below, brackets become parentheses, "|" breaks lines.
  player.Click(player.PushButton(main.window, L"Manage FL IDs"));
  const ManageWindow manage(player, player.WaitWindow(kManage));
  EXPECT_EQ(player.ComboItems(manage.list),
            (std::vector<std::wstring>{L"A1B2-C3D4-E5F6-0718-293A", L"B2C3-D4E5-F607-1829-3A4B",
                                       L"9F8E-7D6C-5B4A-3928-1706"}));
  player.Pick(manage.list, 2);
  EXPECT_EQ(player.Text(manage.description), L"");
  EXPECT_EQ(ClientHeight(manage.window), Pixels(4410 - 480)) << "compact";
  EXPECT_FALSE(player.ShownWhole(manage.editor));
  player.Click(manage.open_editor);
  WaitUntil([&] { return player.ShownWhole(manage.editor); }, "the description editor to show");
  EXPECT_EQ(ClientHeight(manage.window), Pixels(6375 - 480)) << "expanded";

  player.ReplaceText(manage.editor, L"Pilot [three]|Trader|Liberty run|x|y|z");
  player.Click(manage.store_description);
  const BoxSeen more = player.Answer(L"Done!", IDNO);
  EXPECT_EQ(more.text, L"Continue editing the discription?");
  EXPECT_EQ(more.buttons, kYesNo);
  EXPECT_FALSE(more.icon);
  WaitUntil([&] { return !player.ShownWhole(manage.editor); }, "the window to go back to its compact height");
  EXPECT_EQ(ClientHeight(manage.window), Pixels(4410 - 480));
  EXPECT_EQ(player.Text(manage.description), L"Pilot (three)\r\nTrader\r\nLiberty run\r\nx\r\ny|z");
  EXPECT_EQ(player.Text(manage.editor), L"Pilot (three)|Trader|Liberty run|x|y|z");
  EXPECT_EQ(player.ComboSelection(manage.list), 2);
  const std::string third = Section(3, kInstalled, "Pilot (three)|Trader|Liberty run|x|y|z");
  const std::string after_describe = settings + first + Section(2, kSaved[1]) + third;
  EXPECT_EQ(program.Store(), after_describe);

  // Delete the first, answering No: only the description label empties.
  player.Pick(manage.list, 0);
  EXPECT_EQ(player.Text(manage.description), L"First\r\npilot");
  player.Click(manage.remove);
  const BoxSeen sure = player.Answer(L"Sure?", IDNO);
  EXPECT_EQ(sure.text, L"This will deleted the selected saved id, continue?");
  EXPECT_EQ(sure.buttons, kYesNo);
  EXPECT_FALSE(sure.icon);
  WaitUntil([&] { return player.Text(manage.description).empty(); }, "the description label to empty");
  EXPECT_TRUE(player.Dialogs().empty()) << "no second box after No; " << player.Screen();
  EXPECT_EQ(program.Store(), after_describe);

  // Delete it, answering Yes: the later IDs move up a number with their descriptions.
  player.Click(manage.remove);
  player.Answer(L"Sure?", IDYES);
  const BoxSeen deleted = player.Answer(L"Done!", IDOK);
  EXPECT_EQ(deleted.text, L"FL ID Deleted!");
  EXPECT_EQ(deleted.buttons, kOk);
  EXPECT_TRUE(deleted.icon);
  EXPECT_EQ(program.Store(),
            settings + Section(1, kSaved[1]) + Section(2, kInstalled, "Pilot (three)|Trader|Liberty run|x|y|z"));
  EXPECT_EQ(player.ComboItems(manage.list),
            (std::vector<std::wstring>{L"B2C3-D4E5-F607-1829-3A4B", L"9F8E-7D6C-5B4A-3928-1706"}));
  EXPECT_EQ(player.Text(manage.list), L"- Select ID -");
  EXPECT_EQ(player.ComboSelection(manage.list), -1);
  EXPECT_EQ(player.Text(manage.description), L"");
  player.Pick(manage.list, 1);
  EXPECT_EQ(player.Text(manage.description), L"Pilot (three)\r\nTrader\r\nLiberty run\r\nx\r\ny|z");

  ExpectInstalledAsGameLeftIt(kInstalled);
}

// ---- The information window -------------------------------------------------------------------

TEST_F(Play, InfoChosenTwiceFromTheMenuIsOneWindowAndClosingItLetsItComeBackTheSame) {
  program.WriteStore(Settings(L"C:\\Games\\Freelancer\\EXE\\Freelancer.exe", "") + Section(1, kSaved[0]));
  program.Start();
  Player player(program.pid());
  const MainWindow main(player, player.WaitWindow(kMain));

  player.ClickMenuBar(main.window);
  const HWND about = player.WaitWindow(kAbout);
  const std::vector<std::wstring> texts = player.LabelTexts(about);
  ASSERT_EQ(texts.size(), 9u);
  EXPECT_NE(texts[0].find(L"Quorvel"), std::wstring::npos) << Utf8(texts[0]);
  EXPECT_NE(texts[0].find(L"1.1"), std::wstring::npos) << Utf8(texts[0]);
  // The seven paragraphs, top to bottom.
  const std::vector<std::wstring> paragraphs(texts.begin() + 2, texts.end());
  EXPECT_EQ(
      paragraphs,
      (std::vector<std::wstring>{
          L"The Quorvel was designed to allow players to easily use more than 5 characters on a Freelancer server by "
          L"using more than one FL ID, NOT for a way for banned players to come back. ",
          L"The Quorvel will only save and switch through currently installed IDs.     It will NOT generate a brand "
          L"new Freelancer MP ID. ",
          L"The Quorvel works by storing currently installed FLIDs, then allowing you to switch between them at a "
          L"click of a button. ",
          L"Using the \"Clear installed FL ID\" button will delete the currently installed ID from your registery, if "
          L"you then launch Freelancer and click \"Multiplayer\" > \"Internet\"(or lan) Freelancer will then "
          L"gerenerate an ID.",
          L"Freelancer will generate your FL MD ID using a Windows code, so if you clear the FL ID Freelancer "
          L"generated and then run Freelancer again, it will generate the same ID.",
          L"The only way to get more than one ID is to run FL and Quorvel on another Windows install, then save the "
          L"ID Freelancer generates.",
          L"Quorvel can also be used to launch FL and have it scan MP servers by direct IP. To do this add a server "
          L"ip(s) to the box next to the \"Launch FL\" button, then click \"Launch FL\". Once Freelancer is running, "
          L"click \"Multiplayer\" then click \"Lan\", the server's ip(s) you entered will now show in the server list. "
          L"This is usefull if the global server is down.",
      }));

  // The main window in front, "Info" again: the same window comes to the front, no second one.
  player.ClickMenuBar(main.window);
  WaitUntil([&] { return GetForegroundWindow() == about; }, "the information window to come to the front", kWait,
            [&] { return player.Screen(); });
  EXPECT_EQ(player.Windows(kAbout), std::vector<HWND>{about});

  // Its close box ends it; "Info" makes it again, with the same texts.
  player.ClickCloseBox(about);
  WaitUntil([&] { return !IsWindow(about); }, "the information window to be closed");
  EXPECT_TRUE(player.Windows(kAbout).empty());
  player.ClickMenuBar(main.window);
  const HWND again = player.WaitWindow(kAbout);
  EXPECT_EQ(player.LabelTexts(again), texts);
  EXPECT_EQ(player.Windows(kAbout).size(), 1u);
  EXPECT_FALSE(player.Windows(kMain).empty());
}

// ---- The end ----------------------------------------------------------------------------------

TEST_F(Play, ClosingTheMainWindowWithTheOthersOpenEndsTheProcessAndSavesNothing) {
  const std::string store =
      Settings(L"C:\\Games\\Freelancer\\EXE\\Freelancer.exe", "10.0.0.1") + Section(1, kSaved[0], "Main pilot");
  program.WriteStore(store);
  program.Start();
  Player player(program.pid());
  const MainWindow main(player, player.WaitWindow(kMain));

  player.Click(player.PushButton(main.window, L"Manage FL IDs"));
  player.WaitWindow(kManage);
  player.Click(player.PushButton(main.window, L"Save FL ID"));
  player.WaitWindow(kSave);
  player.ClickMenuBar(main.window);
  player.WaitWindow(kAbout);
  player.ReplaceText(main.servers, L"9.9.9.9");

  player.ClickCloseBox(main.window);
  ASSERT_TRUE(program.WaitForExit(kWait)) << "still running: " << player.Screen();
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_EQ(program.Store(), store) << "nothing is saved at the end; the typed list was never launched";
  ExpectInstalledAsGameLeftIt(kInstalled);
}

}  // namespace
}  // namespace e2e
