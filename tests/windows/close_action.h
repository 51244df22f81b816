// The send-message action the window tests aim at their test window.
#pragma once

#include <string>

#include "actions/send_message_action.h"

inline SendMessageAction CloseAction(const std::string& message = "WM_CLOSE",
                                     const std::string& description = "Player") {
  SendMessageAction action;
  action.SetAttribute("description", description);
  action.SetAttribute("classname", "TavlenPlayer");
  action.SetAttribute("title", "Tavlen Player");
  action.SetAttribute("message", message);
  return action;
}
