#pragma once
// The message boxes a program asked for, as rows that one assertion compares whole.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "support/scripted_prompts.h"

namespace boxes {

using Buttons = app::Prompts::Buttons;
using Icon = app::Prompts::Icon;
using Box = std::tuple<std::wstring, std::wstring, Buttons, Icon>;  // text, title, buttons, icon

inline std::vector<Box> Asked(const testing_support::ScriptedPrompts& prompts) {
  std::vector<Box> asked;
  for (const testing_support::Asked& a : prompts.asked) asked.emplace_back(a.text, a.title, a.buttons, a.icon);
  return asked;
}

// A stop box with an OK button whose text holds every one of `parts`: for texts that carry the
// system's own error text.
inline void ExpectStop(const testing_support::Asked& a, std::wstring_view title,
                       std::initializer_list<std::wstring_view> parts) {
  EXPECT_EQ(a.title, title);
  EXPECT_EQ(a.buttons, Buttons::Ok);
  EXPECT_EQ(a.icon, Icon::Stop);
  for (const std::wstring_view part : parts)
    EXPECT_NE(a.text.find(part), std::wstring::npos) << testing::PrintToString(a.text) << " lacks " << testing::PrintToString(std::wstring(part));
}

}  // namespace boxes
