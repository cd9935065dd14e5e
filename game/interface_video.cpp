// The videos between the screens (found in the current folder, then in the
// media folders that stand in for CD-ROM drives), the intro before a new
// campaign and the ending before the credits.
#include <string>

#include "game/build_variant.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "media/cd_audio.h"
#include "media/smacker_video.h"
#include "platform/debug_output.h"
#include "platform/framework/window_manager.h"
#include "platform/keys.h"
#include "platform/paths.h"

namespace {

// Where a video is: the name itself when the current folder has it, else the
// first media folder that holds it; "" when none does.
std::string FindVideo(const char* file) {
  if (PathFileExists(file)) return file;
  for (const std::string& folder : MediaFolders()) {
    const std::string path = PathJoin(folder, file);
    if (PathFileExists(path)) return path;
  }
  return {};
}

}  // namespace

void CInterface::SetVideoPalette() { SmackerPalette(GetPaletteObject()); }

bool CInterface::PlayVideo(const char* fileName, int screenAfter) {
  screenAfterVideo_ = screenAfter;
  StopCdAudio();
  const std::string path = FindVideo(fileName);
  if (!path.empty() && GetVideoSurface() && SmackerInit(GetVideoSurface(), path.c_str())) {
    ShowCursor(FALSE);
    BuildVariantGet().VideoOpened(*this);
    videoPlaying_ = 1;
    OutputDebugString(CString("korvane: video ") + fileName + " plays\n");
    return true;
  }
  OutputDebugString(CString("korvane: video ") + fileName + " skipped\n");
  // The ending without its video still has its credits, and the menus come
  // back after them: nothing waits for a video that never started.
  if (endingPlaying_) {
    ShowCredits();
    endingPlaying_ = 0;
    BuildVariantGet().VideoClosed(*this, true);
  }
  FinishVideo();
  return false;
}

void CInterface::OnVideoFrame() {
  const HWND window = window_ ? window_->m_hWnd : nullptr;
  const bool going = SmackerFrame(window, GetVideoSurface(), GetPrimarySurface(), GetPaletteObject());
  if (!going || IsKeyDown(DIK_ESCAPE)) EndVideo();
}

void CInterface::EndVideo() {
  SmackerClose();
  ClearDisplay(0);
  const bool ending = endingPlaying_ != 0;
  BuildVariantGet().VideoClosed(*this, false);
  if (endingPlaying_) {
    ShowCredits();
    endingPlaying_ = 0;
  }
  if (ending) BuildVariantGet().VideoClosed(*this, true);
  ShowCursor(TRUE);
  OutputDebugString("korvane: the video ends\n");
  FinishVideo();
}

void CInterface::FinishVideo() {
  // The video's colours leave the palette: the menus' come back.
  ApplyPalette();
  const bool entering = !menuActive_ && !startupVideo_;
  if (entering) {
    EnterMenuMode(false);
    menuActive_ = 1;
  }
  if (screenAfterVideo_ != 0) {
    SetScreen(screenAfterVideo_);
  } else if (menuActive_) {
    // The screen that was current, drawn again over the video's last frame.
    ResetCursorRect();
    RedrawMenuWindow();
  }
  videoPlaying_ = 0;
}

void CInterface::PlayIntro() {
  ShowPaperSequence();
  PlayVideo("intro.smk", 11);
}

void CInterface::PlayEnding() {
  endingPending_ = 0;
  endingPlaying_ = 1;
  ClearDisplay(0);
  // The finished game is dropped at the next idle call, outside the frame
  // that may be drawing it.
  if (g_pNetDoc && g_pNetDoc->IsGameRunning())
    if (CGameApp* app = GameApp()) app->RequestReturnToGame();
  PlayVideo("ENDING.SMK", 0);
}
