#pragma once
// A whole program object on a scratch registry key and a temp folder, with scripted prompts and a
// recording printer; its windows are real windows.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/main.h"
#include "support/scratch.h"
#include "support/scripted_prompts.h"

namespace testing_support {

class AppTest : public ::testing::Test {
 protected:
  AppTest() : key_(L"app") {}
  ~AppTest() override;

  // Builds the program; touching its main window runs the start-up.
  app::Main& Start();
  app::Main& program() { return *program_; }

  std::wstring StorePath() const { return dir_.File(L"FLIDs.ini"); }
  std::string Store() const { return ReadBytes(StorePath()); }
  void SetStore(std::string_view bytes) const { WriteBytes(StorePath(), bytes); }
  // Installs an ID the way the game leaves it: three REG_SZ values with their own terminators.
  void InstallInRegistry(std::string_view key, std::string_view name, std::string_view sig) const;
  std::string RegistryValue(const std::wstring& name) const;  // raw data, as stored

  // Pumps pending window messages.
  static void Pump();

  TempDir dir_;
  ScratchKey key_;
  ScriptedPrompts prompts_;
  RecordingPrinter printer_;
  std::unique_ptr<app::Main> program_;
};

}  // namespace testing_support
