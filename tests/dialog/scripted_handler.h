// A dialog handler for the back-end tests: each step is a lambda, and every
// command the dialog delivers is recorded.
#pragma once

#include <functional>
#include <vector>

#include "platform/ui/dialog_frame.h"

class ScriptedHandler final : public ui::DialogHandler {
 public:
  std::function<void()> onInit;
  std::function<void(int)> onCommand;
  std::vector<int> commands;
  int initCount = 0;

  void OnInitDialog() override {
    ++initCount;
    if (onInit) onInit();
  }
  void OnCommand(int controlId) override {
    commands.push_back(controlId);
    if (onCommand) onCommand(controlId);
  }
};
