#include "game/game_app.h"

#include <cstdlib>
#include <ctime>
#include <new>

#include "engine/pool.h"
#include "game/app_services.h"
#include "game/build_variant.h"
#include "game/crash_handler.h"
#include "game/data_archive_locator.h"
#include "game/game_doc_template.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/joystick.h"
#include "game/main_frame.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/saved_game.h"
#include "media/media_archive.h"
#include "media/media_services.h"
#include "media/smacker_video.h"
#include "media/sound_manager.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "platform/debug_output.h"
#include "platform/framework/com.h"

CString g_CurrentMissionArchive = "M1.CAN";
CString g_NextMissionArchive;
CString g_TypedWordBuffer;
CString g_SaveDescription;
CString g_SaveSecondString;
int g_CdTrack = 2;
int g_IdleReady = 1;
bool g_HasPerfCounter = false;
int64_t g_PerfFrequency = 0;

namespace {
constexpr UINT kGameTemplateResource = 128;

void ReleaseDeviceTextures() {
  if (BuildVariantIsInstalled()) BuildVariantGet().ReleaseDeviceTextures();
}
void LoadDeviceTextures() {
  if (BuildVariantIsInstalled()) BuildVariantGet().LoadDeviceTextures();
}

void LeaveFullScreenForMessage() {
  if (g_pInterface) g_pInterface->LeaveFullScreen(false);
}

// Whole-program runs read where a run got to from these lines.
void DebugLine(const CString& line) { OutputDebugString(line + "\n"); }
// The media layer (pictures, fonts, sounds) finds archives, ends the game
// and names the current mission through the application.
void InstallMediaServices() {
  MediaSetArchiveOpener(OpenDataArchive);
  MediaServices services;
  services.currentMissionArchive = [] { return g_CurrentMissionArchive.GetString(); };
  services.pollMessageQueue = [] { PollMessageQueue(); };
  services.fatalError = CGameApp::FatalError;
  services.picturesSetScreenPalette = BuildVariantIsInstalled() && BuildVariantGet().Kind() == BuildKind::Software;
  MediaSetServices(services);
}

}  // namespace

CGameApp* GameApp() { return dynamic_cast<CGameApp*>(AfxGetApp()); }

CGameApp::CGameApp() : CWinApp(nullptr) {
  g_HasPerfCounter = QueryPerformanceFrequency(&g_PerfFrequency) != FALSE;
  CrashHandlerInstall();
}

CGameApp::~CGameApp() = default;

bool CGameApp::InitInstance() {
  // Whole-program runs may fix the seed, so that a run plays the same
  // random choices every time.
  const char* seed = std::getenv("KORVANE_RANDOM_SEED");
  CrtSrand(seed && *seed ? static_cast<unsigned>(std::strtoul(seed, nullptr, 0))
                         : static_cast<unsigned>(std::time(nullptr)));
  CoInitialize(nullptr);
  SetRegistryKey("Tallow Ferngate");
  Enable3dControls();
  LoadStdProfileSettings(0);
  AddDocTemplate(new CGameDocTemplate(kGameTemplateResource, RUNTIME_CLASS(CNetDoc), RUNTIME_CLASS(CMainFrame),
                                      RUNTIME_CLASS(CNetView)));
  // A lobby starts the program with exactly this word.
  networkLaunch_ = m_lpCmdLine.CompareNoCase("NETGAME") == 0 ? 1 : 0;
  startInProgress_ = 0;
  startViaBriefing_ = 0;
  InitJoystick();
  DataArchiveSetFailureSteps(DataArchiveFailureSteps{CloseDocumentForGood, LeaveFullScreenForMessage, DeleteInterface});
  InstallMediaServices();

  if (!new (std::nothrow) CInterface()) return false;
  m_pMainWnd = g_pInterface->GetWindow();
  g_pInterface->EnterFullScreen(-1);
  ShowCursor(FALSE);

  g_pInterface->CreatePalette();
  g_pInterface->SetStartupVideo(true);
  g_pInterface->PlayVideo("logo.smk", 0);
  if (IsSmackerOpen()) {
    SmackerOnPaint(g_pInterface->GetWindow() ? g_pInterface->GetWindow()->m_hWnd : nullptr);
    while (IsSmackerOpen()) g_pInterface->OnVideoFrame();
  }
  g_pInterface->SetStartupVideo(false);
  g_pInterface->ReleasePalette();

  g_pInterface->SetDirectDrawing(true);
  if (CInterfaceWnd* window = g_pInterface->GetWindow()) window->ShowPicture("TITLE.BMP", "INTERFC.CAN", "korvane");
  g_pInterface->SetDirectDrawing(false);
  g_pInterface->LoadScreens();

  OnFileNew();
  DebugLine(networkLaunch_ ? "korvane: started by a lobby" : "korvane: started");
  return true;
}

BOOL CGameApp::OnIdle(LONG count) {
  const BOOL base = CWinApp::OnIdle(count);
  if (exiting_ || g_IdleReady == 0) return base;
  if (newGameRequested_) {
    returnRequested_ = 0;  // the new game replaces the document anyway
    StartRequestedGame();  // and nothing else in this call
    return TRUE;
  }
  if (openSavedRequested_) {
    openSavedRequested_ = 0;
    returnRequested_ = 0;
    OpenSavedGame(savedGameRequested_);
    return TRUE;
  }
  if (returnRequested_) {
    returnRequested_ = 0;
    ReturnToGame();
    return TRUE;
  }
  if (g_pSoundManager) g_pSoundManager->Update();
  g_IdleReady = 0;
  if (IsSmackerOpen()) {
    if (g_pInterface) g_pInterface->OnVideoFrame();
  } else if (g_pNetDoc) {
    g_pNetDoc->FrameTick();
  } else if (g_pInterface && g_pInterface->GetWindow() && g_pInterface->GetWindow()->m_hWnd) {
    g_pInterface->GetWindow()->InvalidateRect(nullptr, TRUE);
  }
  g_IdleReady = 1;
  ClockEndFrame();  // one frame has passed (moves the fixed-step clock)
  return TRUE;
}

int CGameApp::ExitInstance() {
  // The loop can end normally now, so the game is shut down in the same order
  // as on the fatal path: the document (and the level) before the display.
  if (g_pInterface && BuildVariantIsInstalled()) BuildVariantGet().ProgramEnding(*g_pInterface);
  CloseDocumentForGood();
  DeleteInterface();
  CoUninitialize();
  PoolReleaseAll();
  const int code = CWinApp::ExitInstance();
  CString line;
  line.Format("korvane: quits with exit code %d", code);
  DebugLine(line);
  return code;
}

bool CGameApp::OnCmdMsg(UINT id) {
  if (id == ID_FILE_NEW) {
    OnFileNew();
    return true;
  }
  if (id == ID_FILE_OPEN) {
    OnFileOpen();
    return true;
  }
  return CWinApp::OnCmdMsg(id);
}

void CGameApp::RequestNewGame(bool viaBriefing) {
  newGameRequested_ = 1;
  startViaBriefing_ = viaBriefing ? 1 : 0;
  if (viaBriefing && g_pNetDoc) g_pNetDoc->SaveInventory();
  g_CdTrack = CdTrackForMission();
}

void CGameApp::CloseDocumentForGood() {
  if (!g_pNetDoc) return;
  // Destroys the frame with the view in it, then deletes the document.
  g_pNetDoc->OnCloseDocument();
  if (g_pNetDoc) delete g_pNetDoc;
}

void CGameApp::DeleteInterface() {
  delete g_pInterface;
  g_pInterface = nullptr;
}

void CGameApp::DiscardDocument() {
  if (g_pNetDoc && g_pNetDoc->GetView()) g_pNetDoc->GetView()->ResetOverlays();
  CloseDocumentForGood();
}

void CGameApp::StartRequestedGame() {
  // Inside a frame the document and view are still on the call stack; the
  // request waits for the next idle call.
  if (g_IdleReady == 0) return;
  startInProgress_ = 1;
  newGameRequested_ = 0;
  g_NextMissionArchive.Empty();
  if (g_pInterface) {
    if (g_pInterface->IsMenuActive()) g_pInterface->CloseMenu();
    g_pInterface->ClearDisplay(0);
    g_pInterface->SetMissionFailedShown(false);
  }
  ReleaseDeviceTextures();
  DiscardDocument();
  CString line;
  line.Format("korvane: new game in %s%s", g_CurrentMissionArchive.GetString(),
              startViaBriefing_ ? " through its briefing" : "");
  DebugLine(line);
  OnFileNew();
  LoadDeviceTextures();
}

void CGameApp::ReturnToGame() {
  startInProgress_ = 0;
  newGameRequested_ = 0;
  startViaBriefing_ = 0;
  g_NextMissionArchive.Empty();
  DiscardDocument();
  OnFileNew();
}

void CGameApp::OpenSavedGame(const CString& path) {
  // A file that is no saved game of this version is refused while the
  // running game (or the menus) still stand.
  SavedGameHeader header;
  CString refusal;
  if (!SavedGameCheckFile(path, &header, &refusal)) {
    MessageBox(nullptr, refusal.GetString(), BuildVariantIsInstalled() ? BuildVariantGet().ProgramName() : "Korvane",
               MB_OK | MB_ICONEXCLAMATION);
    DebugLine(CString("korvane: saved game refused: ") + refusal);
    return;
  }
  if (g_pInterface) g_pInterface->ClearDisplay(0);
  ReleaseDeviceTextures();
  DiscardDocument();
  if (!OpenDocumentFile(path) && !g_pNetDoc) {
    // The library drops a document that failed to open; the program goes on
    // with an empty one, as after an abandoned game.
    startInProgress_ = 0;
    OnFileNew();
  }
  LoadDeviceTextures();
}
