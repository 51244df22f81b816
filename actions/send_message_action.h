// "sendmessage": delivers one window message to a top-level window found by
// class and title. WM_CLOSE is repeated while the window stays open, with a
// question to the user after every second attempt. Never stops the package.
#pragma once

#include <cstdint>
#include <string>

#include "actions/core/update_action.h"
#include "platform/win32.h"

class SendMessageAction : public UpdateAction {
 public:
  SendMessageAction();
  void ResetAttributes() override;
  bool SetAttribute(const std::string& name, const std::string& value) override;
  bool Execute() override;
  TAVLEN_ACTION_CLONE(SendMessageAction)

  UINT Message() const { return m_nMessage; }
  int32_t WParam() const { return m_wParam; }
  int32_t LParam() const { return m_lParam; }

 private:
  std::string m_szClassName;
  std::string m_szTitle;
  UINT m_nMessage = 0;
  int32_t m_wParam = 0;
  int32_t m_lParam = 0;
};

// "message": WM_CLOSE, WM_QUIT, WM_COMMAND, WM_DESTROY by name (any case),
// anything else as a decimal number read like atol (0 when there is none).
UINT ReadMessageNumber(const std::string& value);
// "wparam", "lparam": a decimal number read like atol, held to 32 bits.
int32_t ReadDecimal32(const std::string& value);
