// Reads an extended dialog template (DLGTEMPLATEEX) from the program's
// resources, so the tests can check the template itself: what the controls
// do to their styles at run time (a progress bar drops WS_BORDER) does not
// hide what the template says.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

struct TemplateItem {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  int id = 0;
  std::wstring className;  // predefined classes as "#0080" (button) and so on
  std::wstring text;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int width = 0, height = 0;
  std::wstring caption;
  int fontPoints = 0;
  std::wstring fontName;
  std::vector<TemplateItem> items;
};

// False when the resource is missing or is not an extended template.
bool LoadDialogTemplateEx(int resourceId, DialogTemplate& result);
