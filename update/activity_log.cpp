#include "update/activity_log.h"

#include <cstdio>

#include "app/display.h"
#include "platform/crt.h"

void ActivityLog::LogActivity(const std::string& text, bool show) {
  if (show) MainWindow().SetStatusText(text);
  FILE* log = CrtOpen("updater.log", "a+");
  if (log == nullptr) return;
  std::fprintf(log, "%s\n", text.c_str());
  std::fclose(log);
}
