#include "support/scripted_prompts.h"

#include <gtest/gtest.h>

namespace testing_support {

app::Prompts::Answer ScriptedPrompts::Message(const std::wstring& text, const std::wstring& title, Buttons buttons,
                                              Icon icon) {
  asked.push_back({text, title, buttons, icon});
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected message box: title \"" << testing::PrintToString(title) << "\" text "
                  << testing::PrintToString(text);
    return buttons == Buttons::YesNo ? Prompts::Answer::No : Prompts::Answer::Cancel;
  }
  const Prompts::Answer a = answers_.front();
  answers_.pop_front();
  return a;
}

std::wstring ScriptedPrompts::OpenFile(const std::wstring& filter, const std::wstring& default_ext) {
  dialogs.push_back({filter, default_ext});
  if (files_.empty()) {
    ADD_FAILURE() << "unexpected file dialog";
    return {};
  }
  std::wstring path = files_.front();
  files_.pop_front();
  return path;
}

base::Status RecordingPrinter::PrintPage(const core::PrintedLine& line) {
  if (fail_with != 0) return base::Status::Fail(fail_with);
  pages.push_back(line);
  return base::Status::Ok();
}

}  // namespace testing_support
