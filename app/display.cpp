#include "app/display.h"

#include "update/install_context.h"
#include "update/path_helpers.h"

namespace {

class SilentDisplay final : public ProgressDisplay {
 public:
  void SetStatusText(const std::string&) override {}
  void SetFileProgress(int32_t, int32_t) override {}
  void SetTotalProgress(int32_t, int32_t) override {}
  void SetNewestVersion(const std::string&) override {}
  int ShowMessageBox(const std::string&, unsigned int style) override {
    return (style & 0x0F) == MB_ABORTRETRYIGNORE ? IDABORT : IDOK;
  }
};

SilentDisplay g_silent;
ProgressDisplay* g_mainWindow = nullptr;

}  // namespace

ProgressDisplay& MainWindow() { return g_mainWindow != nullptr ? *g_mainWindow : g_silent; }

void SetMainWindow(ProgressDisplay* display) { g_mainWindow = display; }

std::string ApplicationTitle() {
  std::string name = SplitFileName(GetModulePath());
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}
