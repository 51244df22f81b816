// The agent's progress dialog: the installed and the newest version, the
// status line, a bar for the current file and one for the whole update, and
// the update and close buttons. It is the application's main window while it
// runs, so every message and bar of an update reaches it.
#pragma once

#include <string>

#include "app/display.h"
#include "platform/ui/dialog_frame.h"

class UpdaterDialog final : public ProgressDisplay, public ui::DialogHandler {
 public:
  // Registers the action prototypes; the frame provides the window.
  explicit UpdaterDialog(ui::DialogFrame& frame);
  // Destroys the action prototypes.
  ~UpdaterDialog() override;
  UpdaterDialog(const UpdaterDialog&) = delete;
  UpdaterDialog& operator=(const UpdaterDialog&) = delete;

  // Shows the dialog until it is closed.
  int DoModal();

  // ProgressDisplay
  void SetStatusText(const std::string& text) override;
  void SetFileProgress(int32_t position, int32_t total) override;
  void SetTotalProgress(int32_t position, int32_t total) override;
  void SetNewestVersion(const std::string& version) override;
  int ShowMessageBox(const std::string& text, unsigned int style) override;
  HWND WindowHandle() const override { return m_frame.Handle(); }

  // ui::DialogHandler
  void OnInitDialog() override;
  void OnCommand(int controlId) override;

  // The update button: one whole run with a fresh manifest model.
  void OnUpdateClicked();

  // How many runs were made, and whether the last one succeeded.
  int RunCount() const { return m_runCount; }
  bool LastRunSucceeded() const { return m_lastRunSucceeded; }

  const std::string& StatusText() const { return m_szStatus; }
  const std::string& CurrentLabel() const { return m_szCurrentLabel; }
  const std::string& NewestLabel() const { return m_szNewestLabel; }

 private:
  // Transfers the three texts into their controls.
  void UpdateControls();
  void ResetBars();

  ui::DialogFrame& m_frame;
  std::string m_szStatus;
  std::string m_szCurrentLabel;
  std::string m_szNewestLabel;
  int m_runCount = 0;
  bool m_lastRunSucceeded = false;
};
