#include "support/app_fixture.h"

namespace testing_support {

AppTest::~AppTest() { program_.reset(); }

app::Main& AppTest::Start() {
  program_ = std::make_unique<app::Main>(prompts_, printer_, app::Places{key_.path(), dir_.path()});
  program_->MainWindow();
  return *program_;
}

void AppTest::InstallInRegistry(std::string_view key, std::string_view name, std::string_view sig) const {
  key_.SetString(L"InstallKey", key);
  key_.SetString(L"MPAccountName", name);
  key_.SetString(L"MPAccountNameSig", sig);
}

std::string AppTest::RegistryValue(const std::wstring& name) const {
  std::string data;
  DWORD type = 0;
  key_.GetRaw(name, data, type);
  return data;
}

void AppTest::Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace testing_support
