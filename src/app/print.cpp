// "Print": the installed ID, read afresh from the registry, on one page of the default printer.
#include "app/main.h"
#include "app/printer.h"
#include "app/prompts.h"
#include "core/print_page.h"

namespace app {

void Main::PrintInstalledId() {
  // What the registry holds now, not what the label showed at the last refresh.
  ReadInstalledId();
  const base::Status printed = printer_.PrintPage(core::InstalledIdLine(CurrentId.InstallKey));
  if (!printed) {
    prompts_.Message(L"Unable to print.\r\nCheck your printer is plugged in and switch on ;)", L"Quorvel - Print Error",
                     Prompts::Buttons::Ok, Prompts::Icon::Stop);
  }
}

}  // namespace app
