#include "robustness/robustness.h"

#include "ui/frm_main.h"
#include "ui/frm_mng_ids.h"
#include "ui/frm_save_id.h"

namespace robustness {

std::string Section(int n, std::string_view key, std::string_view eol) {
  const std::string k(key);
  const std::string e(eol);
  return "[FLID_" + std::to_string(n) + "]" + e + "INSTALL=" + k + e + "MAN=m-" + k + e + "MANS=s-" + k + e;
}

std::multiset<std::string> InstallValues(std::string_view bytes) {
  const auto trim = [](std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
  };
  std::multiset<std::string> values;
  std::size_t pos = 0;
  while (pos <= bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(pos, end - pos);
    const std::size_t eq = line.find('=');
    if (eq != std::string_view::npos && trim(line.substr(0, eq)) == "INSTALL")
      values.insert(std::string(trim(line.substr(eq + 1))));
    pos = end + 1;
  }
  return values;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), needed, nullptr, nullptr);
  return out;
}

HeldOpen::HeldOpen(const std::wstring& path, DWORD share)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}

HeldOpen::~HeldOpen() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

void RobustTest::Open(std::string_view store) {
  SetStore(store);
  InstallInRegistry(kInstalled, "man-now", "sig-now");
  Start();
  program().MainWindow().btn_mng_ids_Click();
}

std::vector<std::wstring> RobustTest::Relist() {
  program().MainWindow().btn_mng_ids_Click();
  return Items();
}

std::vector<std::wstring> RobustTest::Items() {
  ui::frm_mng_ids& window = program().MngIdsWindow();
  std::vector<std::wstring> items;
  for (int i = 0; i < window.ItemCount(); ++i) items.push_back(window.ItemText(i));
  return items;
}

void RobustTest::Restart() {
  program_.reset();
  Start();
  program().MainWindow().btn_mng_ids_Click();
}

testing_support::Asked RobustTest::Save() {
  prompts_.Answer(Answer::Ok);
  program().SaveIdWindow().btn_savid_Click();
  return prompts_.asked.empty() ? testing_support::Asked{} : prompts_.asked.back();
}

testing_support::Asked RobustTest::Describe(int index, const std::wstring& text) {
  ui::frm_mng_ids& window = program().MngIdsWindow();
  window.btn_disc_Click();
  window.Select(index);
  window.SetText(ui::frm_mng_ids::txt_disc, text);
  prompts_.Answer(Answer::Yes);  // "Continue editing the discription?" or OK to an error box
  window.btn_edidisc_Click();
  return prompts_.asked.empty() ? testing_support::Asked{} : prompts_.asked.back();
}

testing_support::Asked RobustTest::Delete(int index) {
  ui::frm_mng_ids& window = program().MngIdsWindow();
  window.Select(index);
  prompts_.Answer(Answer::Yes);
  prompts_.Answer(Answer::Ok);
  window.btn_deleteit_Click();
  return prompts_.asked.empty() ? testing_support::Asked{} : prompts_.asked.back();
}

std::vector<std::wstring> RobustTest::Titles() const {
  std::vector<std::wstring> titles;
  for (const testing_support::Asked& box : prompts_.asked) titles.push_back(box.title);
  return titles;
}

std::vector<std::wstring> RobustTest::TakeMessages() {
  std::vector<std::wstring> messages;
  for (const testing_support::Asked& box : prompts_.asked) messages.push_back(box.title + L": " + box.text);
  prompts_.asked.clear();
  return messages;
}

bool RobustTest::IsStop(const testing_support::Asked& box, std::wstring_view title) {
  return box.title == title && box.icon == Icon::Stop && box.buttons == Buttons::Ok;
}

}  // namespace robustness
