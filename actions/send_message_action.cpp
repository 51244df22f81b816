#include "actions/send_message_action.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "app/display.h"
#include "update/string_helpers.h"

int32_t ReadDecimal32(const std::string& value) {
  // strtol rather than atol: atol's result is undefined out of range. The
  // clamp gives the 32-bit long of Windows on 64-bit Linux as well.
  const long long number = std::strtoll(value.c_str(), nullptr, 10);
  if (number > INT32_MAX) return INT32_MAX;
  if (number < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(number);
}

UINT ReadMessageNumber(const std::string& value) {
  struct Named {
    const char* name;
    UINT number;
  };
  static const Named kNames[] = {
      {"WM_CLOSE", WM_CLOSE}, {"WM_QUIT", WM_QUIT}, {"WM_COMMAND", WM_COMMAND}, {"WM_DESTROY", WM_DESTROY}};
  for (const Named& named : kNames) {
    if (EqualsNoCase(value, named.name)) return named.number;
  }
  return static_cast<UINT>(ReadDecimal32(value));
}

SendMessageAction::SendMessageAction() : UpdateAction("sendmessage") { SendMessageAction::ResetAttributes(); }

void SendMessageAction::ResetAttributes() {
  UpdateAction::ResetAttributes();
  m_szClassName.clear();
  m_szTitle.clear();
  m_nMessage = 0;
  m_wParam = 0;
  m_lParam = 0;
  DeclareAttributes("description,classname,title,message,wparam,lparam", ",,,,0,0");
}

bool SendMessageAction::SetAttribute(const std::string& name, const std::string& value) {
  const std::string key = AttributeKey(name);
  if (key == "classname") {
    m_szClassName = value;
  } else if (key == "title") {
    m_szTitle = value;
  } else if (key == "message") {
    m_nMessage = ReadMessageNumber(value);
  } else if (key == "wparam") {
    m_wParam = ReadDecimal32(value);
  } else if (key == "lparam") {
    m_lParam = ReadDecimal32(value);
  }
  return UpdateAction::SetAttribute(name, value);
}

bool SendMessageAction::Execute() {
  LogDescription();
  const WPARAM wParam = static_cast<WPARAM>(static_cast<LPARAM>(m_wParam));
  const LPARAM lParam = static_cast<LPARAM>(m_lParam);
  int attempts = 0;
  while (true) {
    const HWND window = FindWindowA(m_szClassName.c_str(), m_szTitle.c_str());
    // No window (any more): nothing to close, and nobody is asked about it.
    if (window == nullptr) break;
    if (window == MainWindow().WindowHandle()) {
      // Our own dialog handles it once this run returns to its message loop.
      PostMessageA(window, m_nMessage, wParam, lParam);
      break;
    }
    SendMessageA(window, m_nMessage, wParam, lParam);
    if (++attempts == 2) {
      attempts = 0;
      const int answer =
          MainWindow().ShowMessageBox("无法关闭应用程序：" + m_szDescription, MB_ABORTRETRYIGNORE | MB_ICONQUESTION);
      if (answer != IDRETRY) break;
    }
    if (m_nMessage != WM_CLOSE || !IsWindow(window)) break;
  }
  return true;
}
