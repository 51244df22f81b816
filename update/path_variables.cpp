#include "update/path_variables.h"

#include "update/install_context.h"
#include "update/string_helpers.h"

std::string ExpandPathVariables(std::string text) {
  const InstallContext& context = AppContext();
  text = ReplaceAll(std::move(text), "${app_path}", context.m_szAppPath);
  text = ReplaceAll(std::move(text), "${win_path}", context.m_szWinPath);
  return ReplaceAll(std::move(text), "${sys32_path}", context.m_szSys32Path);
}
