#include "game/fatal_error.h"

#include <cstdio>

#include "game/game_app.h"
#include "game/net_doc.h"
#include "platform/clock.h"
#include "platform/framework/process.h"
#include "platform/process_services.h"

std::string ErrorLogLine(const std::tm& localTime, const char* sourceFile, int line) {
  CString lineText;
  lineText.Format("%d", line);
  CString text;
  text.Format("[%02d/%02d %02d:%02d:%02d] %s(%s): Abnormal exit\n", localTime.tm_mon + 1, localTime.tm_mday,
              localTime.tm_hour, localTime.tm_min, localTime.tm_sec, sourceFile ? sourceFile : "",
              lineText.GetString());
  return text.Str();
}

bool AppendErrorLog(const std::string& folder, const std::tm& localTime, const char* sourceFile, int line) {
  // No folder means the user's data folder could not be made: the log is
  // never written into the current folder instead.
  if (folder.empty()) return false;
  const std::string path = folder + "ERROR.LOG";
  FILE* file = std::fopen(path.c_str(), "a+");
  if (!file) return false;
  std::fputs(ErrorLogLine(localTime, sourceFile, line).c_str(), file);
  std::fclose(file);
  return true;
}

void CGameApp::FatalError(const char* sourceFile, int line) {
  if (sourceFile && line >= 0) {
    std::tm local{};
    if (LocalTimeNow(&local)) AppendErrorLog(UserDataFolder(), local, sourceFile, line);
  }
  if (g_pNetDoc) {
    if (!g_pNetDoc->IsFrozen()) g_pNetDoc->ToggleFrozen();
    g_pNetDoc->SetClockPaused(TRUE);
  }
  if (CGameApp* app = GameApp()) app->exiting_ = 1;
  CloseDocumentForGood();
  DeleteInterface();
  ExitProcess(1);
}
