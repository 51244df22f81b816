#include "app/startup.h"

#include <cstdio>
#include <vector>

#include "app/display.h"
#include "app/updater_dialog.h"
#include "platform/ui/console_frame.h"
#include "platform/win32.h"
#include "update/install_context.h"
#include "update/string_helpers.h"

const char* const kUsageText = "Usage: updater [-auto] [-help] [-p=partnername]";
const char* const kNotInstalledText = "Please install Tavlen Acc first.";

namespace {

const char* const kProductKeyTemplate = "SOFTWARE\\TAVLEN\\%s";
const char* const kDefaultPartner = "Tavlen Acc";

std::string ProductKey(const std::string& partner) {
  return ReplaceAll(kProductKeyTemplate, "%s", partner);
}

std::string UpperCase(std::string text) {
  std::vector<unsigned char> buffer(text.begin(), text.end());
  buffer.push_back(0);
  _mbsupr(buffer.data());
  return std::string(reinterpret_cast<const char*>(buffer.data()));
}

}  // namespace

StartupSwitches ParseCommandLine(const std::string& commandLine) {
  StartupSwitches switches;
  switches.regKey = ProductKey(kDefaultPartner);
  if (!commandLine.empty()) {
    std::string normalised = ReplaceAll(commandLine, "\t", " ");
    normalised = ReplaceAll(normalised, "  ", " ");
    normalised = ReplaceAll(normalised, " =", "=");
    normalised = ReplaceAll(normalised, "= ", "=");
    std::vector<std::string> items;
    SplitString(items, normalised, " ", " ");
    for (const std::string& item : items) {
      if (EqualsNoCase(item, "-auto")) {
        switches.autoStart = true;
        continue;
      }
      if (EqualsNoCase(item, "-help")) {
        switches.help = true;
        break;
      }
      std::vector<std::string> parts;
      if (SplitString(parts, item, "=", " ") == 2 && EqualsNoCase(parts[0], "-p")) {
        switches.regKey = ProductKey(parts[1]);
      }
    }
  }
  switches.regKey = UpperCase(switches.regKey);
  return switches;
}

int UpdaterApp::InitInstance(const std::string& commandLine) {
  const ui::FrontEnd frontEnd = ui::ChooseFrontEnd();
  const StartupSwitches switches = ParseCommandLine(commandLine);
  InstallContext& context = AppContext();
  context.m_szRegKey = switches.regKey;
  context.m_bAutoStart = switches.autoStart;
  if (switches.help) {
    ui::ShowStandaloneMessage(frontEnd, kUsageText, MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  if (!LocateInstallation()) {
    ui::ShowStandaloneMessage(frontEnd, kNotInstalledText, MB_OK | MB_ICONSTOP);
    return 2;
  }

  std::unique_ptr<ui::DialogFrame> frame = ui::CreateDialogFrame(frontEnd);
  // The graphical front end falls back to the console when no window can be made.
  const bool console = dynamic_cast<ui::ConsoleFrame*>(frame.get()) != nullptr;
  UpdaterDialog dialog(*frame);
  SetMainWindow(&dialog);
  if (console && !switches.autoStart) {
    // Nobody can press the update button on a console: say what a run would use.
    frame->SetControlText(ui::kStatusText, "manifest: " + context.m_szUpdateUrl + "  (-auto starts the update)");
  }
  dialog.DoModal();
  SetMainWindow(nullptr);
  if (console && dialog.RunCount() > 0 && !dialog.LastRunSucceeded()) return 1;
  return 0;
}
