#include "app/updater_dialog.h"

#include "actions/core/action_factory.h"
#include "manifest/update_info.h"
#include "update/install_context.h"

UpdaterDialog::UpdaterDialog(ui::DialogFrame& frame) : m_frame(frame) {
  ActionFactory::Instance().RegisterPrototypes();
  m_szCurrentLabel = "当前版本号：" + AppContext().m_szCurVersion;
}

UpdaterDialog::~UpdaterDialog() { ActionFactory::Instance().DestroyPrototypes(); }

int UpdaterDialog::DoModal() { return m_frame.RunModal(*this); }

void UpdaterDialog::UpdateControls() {
  m_frame.SetControlText(ui::kStatusText, m_szStatus);
  m_frame.SetControlText(ui::kCurrentLabel, m_szCurrentLabel);
  m_frame.SetControlText(ui::kNewestLabel, m_szNewestLabel);
}

void UpdaterDialog::SetStatusText(const std::string& text) {
  m_szStatus = text;
  m_frame.SetControlText(ui::kStatusText, m_szStatus);
}

void UpdaterDialog::SetNewestVersion(const std::string& version) {
  m_szNewestLabel = "最新版本号：" + version;
  m_frame.SetControlText(ui::kNewestLabel, m_szNewestLabel);
}

namespace {

void MoveBar(ui::DialogFrame& frame, int id, int32_t position, int32_t total) {
  if (total > 0) frame.SetBarRange(id, total);
  if (position == 0) frame.ShowControl(id);
  frame.SetBarPosition(id, position);
}

}  // namespace

void UpdaterDialog::SetFileProgress(int32_t position, int32_t total) { MoveBar(m_frame, ui::kFileBar, position, total); }

void UpdaterDialog::SetTotalProgress(int32_t position, int32_t total) {
  MoveBar(m_frame, ui::kTotalBar, position, total);
}

int UpdaterDialog::ShowMessageBox(const std::string& text, unsigned int style) {
  return m_frame.MessageBox(text, style);
}

void UpdaterDialog::ResetBars() {
  m_frame.SetBarRange(ui::kFileBar, 1000);
  m_frame.SetBarPosition(ui::kFileBar, 0);
  m_frame.SetBarRange(ui::kTotalBar, 10);
  m_frame.SetBarPosition(ui::kTotalBar, 0);
}

void UpdaterDialog::OnInitDialog() {
  UpdateControls();
  ResetBars();
  if (AppContext().m_bAutoStart && m_frame.HasControl(ui::kUpdateButton)) m_frame.PostCommand(ui::kUpdateButton);
}

void UpdaterDialog::OnCommand(int controlId) {
  if (controlId == ui::kUpdateButton) OnUpdateClicked();
}

void UpdaterDialog::OnUpdateClicked() {
  m_frame.SetBarRange(ui::kTotalBar, 10);
  m_frame.SetBarPosition(ui::kTotalBar, 0);
  m_frame.SetBarRange(ui::kFileBar, 1000);
  m_frame.SetBarPosition(ui::kFileBar, 0);
  if (!m_frame.HasControl(ui::kUpdateButton) || !m_frame.HasControl(ui::kCloseButton)) return;

  m_frame.EnableControl(ui::kUpdateButton, false);
  m_frame.EnableControl(ui::kCloseButton, false);
  {
    UpdateInfo info;
    std::string manifestText;
    m_lastRunSucceeded = info.UpdateRun(AppContext().m_szUpdateUrl, manifestText);
    ++m_runCount;
    m_frame.EnableControl(ui::kUpdateButton, true);
    m_frame.EnableControl(ui::kCloseButton, true);
  }
}
