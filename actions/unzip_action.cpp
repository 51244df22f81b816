#include "actions/unzip_action.h"

#include "actions/zip_extractor.h"
#include "app/display.h"
#include "update/activity_log.h"
#include "update/path_helpers.h"

UnzipAction::UnzipAction() : UpdateAction("unzip") { UnzipAction::ResetAttributes(); }

void UnzipAction::ResetAttributes() {
  UpdateAction::ResetAttributes();
  m_szWhere.clear();
  m_szFile.clear();
  DeclareAttributes("description,file,where", ",,");
}

bool UnzipAction::SetAttribute(const std::string& name, const std::string& value) {
  const std::string key = AttributeKey(name);
  if (key == "where") {
    m_szWhere = value;
  } else if (key == "file") {
    m_szFile = value;
  }
  return UpdateAction::SetAttribute(name, value);
}

bool UnzipAction::Execute() {
  LogDescription();
  if (!PathExists(m_szFile)) {
    LogActivity("文件没有发现：" + m_szFile, true);
    return Fail();
  }
  ZipExtractor archive;
  if (!archive.Open(m_szFile)) {
    LogActivity("无法打开压缩文件：" + m_szFile, true);
    return Fail();
  }
  const uint32_t count = archive.GetEntryCount();
  if (count == 0) {
    LogActivity("空的压缩文件：" + m_szFile, true);
    archive.Close();
    return Fail();
  }
  if (!archive.GoToFirstEntry()) {
    LogActivity("解压文件失败：" + m_szFile, true);
    archive.Close();
    return Fail();
  }
  MainWindow().SetFileProgress(0, static_cast<int32_t>(count));
  bool failed = false;
  int32_t position = 1;
  do {
    ZipEntryInfo info;
    archive.GetEntryInfo(info);
    std::string path = CollapseDoubleBackslashes(m_szWhere + "\\" + info.name);
    LogActivity("正在解压文件: " + path, true);
    bool written = false;
    if (IsSafeEntryName(info.name) && IsModulePath(path)) {
      // The running agent cannot be replaced: its new copy goes beside it.
      path = ModuleReplacementPath();
      written = archive.ExtractEntryToFile(path);
    } else {
      written = archive.ExtractEntryToFolder(m_szWhere);
    }
    if (!written) {
      LogActivity("解压文件出错: " + path, true);
      failed = true;
      break;
    }
    MainWindow().SetFileProgress(position++, -1);
  } while (archive.GoToNextEntry());
  archive.Close();
  LogActivity("解压文件完毕", true);
  return failed ? Fail() : true;
}
