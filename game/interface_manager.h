#pragma once
// The menu and display manager: owner of the program's one visible window,
// the display, the input thread, the sound manager and the menus. Its display
// (surfaces, palette, the 2-D bitmap, screenshots) is CInterfaceDisplay
// (media/interface_display.h); what the display does that depends on the
// program or the document is here: full screen is entered through the build
// variant (game/build_variant.h), korvane3d's with its Direct3D device,
// korvanesw's with its own modes, under the display-switch guard. The menu
// operations are filled in by their own work (so far they keep only the
// state the shell depends on).
//
// Input (game/interface_input.cpp): the DirectInput keyboard and mouse, and
// the input thread, which polls the keyboard and the joystick every 10 ms so
// that a short press is latched even while a frame takes long. The key
// tables are shared with that thread: a poll fills them under a lock, each
// entry is atomic for the queries, a latch is consumed with one exchange,
// and the thread is stopped and joined before the devices it reads are
// released.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "game/menu_widgets.h"
#include "media/bitmap_font.h"
#include "media/interface_display.h"
#include "media/picture.h"
#include "media/picture_button.h"
#include "media/picture_list.h"
#include "media/sound_manager.h"
#include "media/text_box.h"
#include "platform/direct_input.h"
#include "platform/framework/cstring.h"
#include "platform/framework/win_types.h"

class CInterfaceWnd;

class CInterface : public CInterfaceDisplay {
 public:
  // Sets g_pInterface, creates the display objects (InitDirect3D), the
  // interface window (hidden, full screen size), the keyboard and mouse, and
  // starts the input thread.
  CInterface();
  // Releases the 3-D device, stops the input thread, leaves full screen,
  // releases the surfaces and the DirectDraw objects, clears g_pInterface,
  // releases the keyboard and mouse, destroys the window.
  ~CInterface();
  CInterface(const CInterface&) = delete;
  CInterface& operator=(const CInterface&) = delete;

  CInterfaceWnd* GetWindow() const { return window_; }

  // Creates the program's DirectDraw (and in korvane3d Direct3D) objects;
  // returns the hardware-device flag. A failure is fatal (source "dd", line
  // 798): the program can't run on this machine.
  int InitDirect3D();
  // Enters full screen under the display-switch guard: shows the window and
  // sets up the display through the build variant. True when in full screen
  // (at once when it already was). On failure nothing made by this try is
  // kept, so a retry starts clean.
  bool EnterFullScreen(int mode);
  // Clears both surfaces; unless keepMode, hides the window and gives the
  // screen back (normal level, desktop mode, the GDI surface in front), under
  // the guard; then releases the surfaces. No longer full screen.
  void LeaveFullScreen(bool keepMode);
  // Releases the 3-D device's objects and the display palette, z-buffer and
  // clipper the display set-up made.
  void ReleaseDirect3D();
  // The level load, once its textures are in memory: the display device's
  // copies of the textures are made again (korvane3d's texture slots).
  void ReloadTextures();
  // The brightness from the menu slider, 0..1 (0.5 is neutral): stored as
  // level x 64 + 32 and in the profile ("Settings"/"BrightnessCorrection"),
  // applied to the palette, and the view's palettes are rebuilt.
  void SetBrightness(float level);

  // korvane3d's display set-up (apps/korvane3d/, through its build variant):
  // the Direct3D back end's objects, and the full-screen steps after the
  // window is shown.
  int InitDirect3DObjects();
  bool EnterFullScreen3D();
  // korvanesw's (apps/korvanesw/): its DirectDraw object, and full screen at
  // the resolution index (negative: the current one).
  int InitDirectDrawSw();
  bool EnterFullScreenSw(int mode);
  // After a failed full-screen set-up: releases what the try made (device,
  // surfaces, display palette) and gives the screen back.
  void AbandonFullScreen();

  // ---- Menus (game/interface_menus.cpp) ----
  // Opening a menu goes through EnterMenuMode; each opener does nothing
  // while a menu is already active.
  // The common preparation of every menu: the cursor rectangle reset, the
  // full-screen picture hidden, the palette applied, the menu cursor, the
  // key tables cleared. The argument is not used.
  void EnterMenuMode(bool unused);
  // The main menu (screen 0); initial at the first opening.
  void OpenMenu(bool initial);
  // The briefing (screen 8) of g_CurrentMissionArchive.
  void OpenBriefing();
  // Leaves the briefing (screen 8) for its level, or the failure page
  // (screen 16) for the same mission again without a briefing.
  void EndBriefing();
  // The help screen (18).
  void OpenHelp();
  // The failure page of mission (screen 16); the view draws nothing until
  // the next game starts.
  void ShowMissionFailed(int mission);
  // The save (5) and load (6) screens opened by the game's keys: Cancel
  // closes the menu. No load screen in a network game.
  void OpenSaveMenu();
  void OpenLoadMenu();
  // Saves into, or loads, the file of the last save or load made in the
  // menus; without one, the save or load screen opens instead.
  void QuickSave();
  void QuickLoad();
  // False when no menu is active; else closes it (the backgrounds that
  // reload on their next draw unloaded, the options saved and applied, the
  // window redrawn, the key tables cleared) and returns true.
  bool CloseMenu();
  bool IsMenuActive() const { return menuActive_ != 0; }
  int GetScreen() const { return screen_; }
  int GetReturnScreen() const { return returnScreen_; }
  // The ending video plays at the next paint.
  void RequestEnding() { endingPending_ = 1; }
  bool IsEndingPending() const { return endingPending_ != 0; }
  // The software cursor's saved area becomes empty (left 640, top 480,
  // right 0, bottom 0).
  void ResetCursorRect();
  const RECT& GetCursorRect() const { return cursorRect_; }
  void ClearDisplay(int /*ignored*/) { ClearSurfaces(); }
  // The file of the last save or load made in the menus ("" when none).
  const CString& GetLastSavePath() const { return lastSavePath_; }
  void SetLastSavePath(const CString& path) { lastSavePath_ = path; }

  // ---- The menu screens (game/interface_screens.cpp, the cursor in
  // game/interface_cursor.cpp) ----
  // Screens 0..18, each a background picture and its widgets; any other
  // number draws the main screen's picture alone.
  // Loads the fixed pictures and every widget at its place, then the
  // advanced options from the profile. Once, at start-up.
  void LoadScreens();
  // Makes screen current: the cursor rectangle reset, the key tables
  // cleared, its buttons reset and its widgets refreshed from the settings,
  // then the window redrawn (which draws it through DrawScreen).
  void SetScreen(int screen);
  // One menu frame: the cursor taken away, the mouse polled, each widget of
  // the screen updated (and drawn when it changed), the cursor drawn.
  void MenuFrame();
  // The current screen drawn whole, its buttons disabled and latched by
  // the state they show.
  void DrawScreen();
  // The hover pass: the cursor point (korvanesw: the window's) given to
  // every widget of the current screen.
  void OnMouseMove(UINT flags, int x, int y);
  // ---- The menu actions (game/interface_actions.cpp) ----
  // A click (the buttons take the click's point; korvane3d's is its own
  // cursor), a key, a system key, a character on the current screen.
  void OnClick(UINT flags, int x, int y);
  void OnKey(int virtualKey);
  void OnSysKey(int virtualKey);
  void OnChar(int character);
  // Yes on the confirm screen: the running game is abandoned (at the next
  // idle call), then the confirm action: a new game's intro and difficulty
  // screen, the network screens, or the quit.
  void OnConfirmYes();
  // The save and load screens' OK, through the saved-game list's chosen
  // slot (SaveGamePath). Saving needs a description; loading replaces the
  // document at the next idle call.
  void SaveGame();
  void LoadGame();
  // A new single-player game from "M1.CAN" through its briefing, with the
  // standard loadout.
  void StartNewGame();
  // A network game on the chosen mission (1..24). A start that fails (no
  // network, a vanished session) comes back to the network screen.
  void StartNetworkGame();
  int GetConfirmAction() const { return confirmAction_; }
  // The software cursor: the bytes under it put back, and the cursor
  // picture (at most 32 x 64 pixels of it, the save area's size) drawn
  // centred on (x, y) within the screen, colour 109 see-through. False
  // without the bitmap or the picture.
  void RestoreUnderCursor();
  bool DrawCursor(int x, int y);
  // The key-binding screen's capture: the lowest scan code down, else the
  // lowest joystick key down, goes to the selected field and leaves every
  // other field that held it; with no field selected, the refuse sound.
  void CaptureKey(int ignored);

  // ---- Settings (game/interface_settings.cpp) ----
  // The sound and music bytes and the channel count from the profile (at
  // construction).
  void LoadSoundSettings();
  // The advanced options' boxes from and to the profile ("Settings"); in
  // korvanesw also the resolution index ("ScreenRes").
  void LoadOptions();
  void SaveOptions();
  // The volumes, the sound and music switches and the channel count.
  void SaveSoundSettings();
  // The mouse and joystick settings; then the options screen.
  void SaveControlSettings();
  // The key fields from the document's key table, by action; and back, then
  // all 34 to the profile ("Keys").
  void LoadKeyFields();
  void SaveKeyBindings();
  bool IsSmokeOn() const { return OptionIndex(kOptionSmoke) != 0; }
  bool IsDebrisOn() const { return OptionIndex(kOptionCollision) != 0; }
  int GetParticleLevel() const { return OptionIndex(kOptionParticles); }
  bool IsTranslucencyFull() const { return OptionIndex(kOptionTranslucency) != 0; }
  bool AreLightsOn() const { return OptionIndex(kOptionLights) != 0; }
  bool IsSoundOn() const { return soundOn_ != 0; }
  bool IsMusicOn() const { return musicOn_ != 0; }
  // ---- Sound and music switches (game/interface_sound.cpp) ----
  bool IsSoundEnabled() const { return soundOn_ != 0; }
  bool IsMusicEnabled() const { return musicOn_ != 0; }
  // Sound on = not sound on: the sound manager is stopped when it was on,
  // started with the window when it was off. On and Off toggle only when
  // the state differs.
  void ToggleSound();
  void SoundOn();
  void SoundOff();
  // Music on = not music on: the CD stops when it was on; when it was off
  // and a game runs, the music starts.
  void ToggleMusic();
  void MusicOn();
  void MusicOff();
  // Plays the CD track g_CdTrack when music is on.
  void StartMusic();
  // The brightness as the profile holds it (32..96); applied with the next
  // palette set.
  void SetBrightnessValue(int brightness) { brightness_ = brightness; }

  // ---- The screens' widgets, for the menu actions ----
  // The option boxes by these indexes.
  static constexpr int kOptionTranslucency = 0;
  static constexpr int kOptionSmoke = 1;
  static constexpr int kOptionParticles = 2;
  static constexpr int kOptionLights = 3;
  static constexpr int kOptionChannels = 4;
  static constexpr int kOptionCollision = 5;
  // The sliders by these indexes.
  static constexpr int kSliderMusic = 0;
  static constexpr int kSliderSound = 1;
  static constexpr int kSliderBrightness = 2;
  static constexpr int kSliderMouseX = 3;
  static constexpr int kSliderMouseY = 4;
  // The edit lines by these indexes.
  static constexpr int kLineIpAddress = 0;
  static constexpr int kLineSessionName = 1;
  static constexpr int kLinePlayerName = 2;
  // Button number (1..49, in the object's order).
  CPictureButton& GetButton(int number) { return buttons_[number - 1]; }
  CPictureSlider& GetSlider(int index) { return sliders_[index]; }
  CTextBox* GetOptionBox(int index) const { return optionBoxes_[index].get(); }
  CPictureList* GetSoundList() const { return soundList_.get(); }
  CPictureList* GetMusicList() const { return musicList_.get(); }
  CEditLine* GetEditLine(int index) const { return editLines_[index].get(); }
  CSavedGameList* GetSavedGameList() const { return savedGames_.get(); }
  CMissionList* GetMissionList() const { return missionList_.get(); }
  CStylePicker* GetStylePicker(int index) const { return stylePickers_[index].get(); }
  CKeyBindingField* GetKeyField(int row, int slot) const { return keyFields_[row * 2 + slot].get(); }
  int GetShipStyle(int index) const { return shipStyles_[index]; }
  void SetShipStyle(int index, int style) { shipStyles_[index] = style; }
  const CString& GetIpAddress() const { return ipAddress_; }
  const CString& GetSessionName() const { return sessionName_; }
  const CString& GetPlayerName() const { return playerName_; }
  void SetJoining(bool on) { joining_ = on ? 1 : 0; }
  int GetBriefingLinesPerPage() const { return briefingLinesPerPage_; }
  int GetBriefingLineHeight() const { return briefingLineHeight_; }
  int GetBriefingCharsPerLine() const { return briefingCharsPerLine_; }
  // ---- Briefings (game/interface_briefing.cpp) ----
  // Counts the current mission's briefing pages ("BRIEF1.BMP" ..
  // "BRIEF10.BMP", up to the first missing one) and opens the briefing
  // screen on the first; without pages the level starts at once.
  void StartBriefing();
  // The current page's text (up to its first "^") and its picture
  // cross-fading in; the failure page's on the failure screen. A missing
  // text or picture is left out with a debug line.
  void LoadBriefingPage();
  // With restart: the text area cleared, the page typed again from its
  // start. Without: the next character when 30 ms have passed, each new
  // character settling through the four fonts, and the teletype's sounds.
  void DrawBriefingText(bool restart);
  int GetBriefingCharsShown() const { return briefingCharsShown_; }
  // ---- Videos (game/interface_video.cpp) ----
  void PlayEnding();
  void SetVideoPalette();
  // Starts a video found in the current folder or a media folder, decoded
  // into the video surface (GetVideoSurface; without one it is skipped).
  // When it can't play, goes on at once as after its end; false then.
  bool PlayVideo(const char* fileName, int screenAfter);
  // One video step (the idle loop's while a video is open); the video ends
  // after its last frame or when Esc is down.
  void OnVideoFrame();
  // Closes the video; the ending's credits; the menus on the screen asked
  // for.
  void EndVideo();
  // The paper pages, then the intro video; the difficulty screen follows.
  void PlayIntro();
  // ---- The paper pages and the credits (game/interface_sequences.cpp) ----
  // Loops of their own; Esc (or Space) ends them, and so does a quit.
  void ShowPaperSequence();
  // The credits rise one row every 15 ms over "back.bmp", 500 rows apart.
  void ShowCredits();
  // The last credits row shown at the top (-500 .. height - 1) and the
  // steps taken by the last ShowCredits.
  int GetCreditsPosition() const { return creditsPosition_; }
  int GetCreditsSteps() const { return creditsSteps_; }
  bool IsEndingPlaying() const { return endingPlaying_ != 0; }

  // ---- korvanesw's own display operations (softbuild/, through its build
  // variant; korvane3d has none of them).
  // Clears the back and the primary surface to colour 0, playing the
  // pending screen-close transition instead of the plain clear of the
  // screen (clearPending drops it first).
  void ClearSurfacesSw(bool clearPending);
  // The primary surface (a flip chain, or a primary with a system-memory
  // back surface, or a primary alone) with the palette, and once a 320x240
  // video surface. False on any failure, with every surface this call made
  // released again (a failed video surface included).
  bool CreateSurfaces();
  // Clears and releases the three surfaces, sets the presentation flags
  // (1: the game's flip chain, 0: the menus' primary alone) and makes them
  // again.
  bool RecreateSurfaces(int flag);
  // The 64-level table of nearest palette indices the burn-out uses, once
  // per run.
  void BuildFadeTable();
  // Fades entries 10..245 to black over 500 ms of the multimedia clock; the
  // palette table keeps the colours (the screen stays black until the next
  // palette is applied).
  void FadePaletteOut();
  // Brings entries 10..245 up from black to the palette table over 300 ms.
  void FadePaletteIn();
  // After a fade out the next picture shown (a menu or a game frame) comes
  // up with a fade in, once.
  bool TakeFadeInPending() {
    const bool pending = fadeInPending_ != 0;
    fadeInPending_ = 0;
    return pending;
  }
  bool IsFadeInPending() const { return fadeInPending_ != 0; }
  // Around a video: the screen cleared twice, the display at 640x480 with
  // its screen surfaces made again (the video surface, which the open video
  // decodes into, is kept). False when the mode or a surface can't be had.
  bool ResetDisplayForVideo();
  // The title picture burnt away from the centre; the fire that burns the
  // last picture away before the program ends. Both end early on Space.
  void PlayBurnOut();
  void PlayExitFire();
  // The screen-close transitions: folded line by line from the middle (at a
  // width of 640), or cleared in 60 x 60 tiles in random order.
  void PlayFoldTransition();
  void PlayDissolveTransition();
  // The screen-close transition plays at the next ClearSurfacesSw.
  void SetTransitionPending(bool pending) { transitionPending_ = pending ? 1 : 0; }
  bool IsTransitionPending() const { return transitionPending_ != 0; }

  // ---- State other parts of the program read and set ----
  // The game view draws nothing while this is 0.
  bool IsRenderEnabled() const { return renderEnabled_ != 0; }
  // Set by the window's focus handlers; the game view reads it.
  bool HasWindowFocus() const { return windowHasFocus_ != 0; }
  void SetWindowFocus(bool focus) { windowHasFocus_ = focus ? 1 : 0; }
  void SetMouseButtonDown(bool down) { mouseButtonDown_ = down ? 1 : 0; }
  bool IsMouseButtonDown() const { return mouseButtonDown_ != 0; }
  bool IsVideoPlaying() const { return videoPlaying_ != 0; }
  int GetDifficulty() const { return difficulty_; }
  void SetDifficulty(int difficulty) { difficulty_ = difficulty; }
  bool IsAutoLowRes() const { return autoLowRes_ != 0; }
  void ToggleAutoLowRes() { autoLowRes_ = autoLowRes_ ? 0 : 1; }
  bool IsJoining() const { return joining_ != 0; }
  // A new network game's name comes back with its suffix when taken.
  void SetSessionName(const CString& name) { sessionName_ = name; }
  int GetConnectionType() const { return connectionType_; }
  int GetChosenMission() const { return chosenMission_; }
  int GetFailedMission() const { return failedMission_; }
  int GetBriefingPage() const { return briefingPage_; }
  int GetLastBriefingPage() const { return lastBriefingPage_; }
  const CString& GetBriefingText() const { return briefingText_; }
  // Screen pictures 0..19 (9: the briefing or failure page).
  CPicture& GetBackground(int index) { return backgrounds_[index]; }
  // The HUD's countdown font is the first of the four.
  CBitmapFont& GetHudFont() { return fonts_[0]; }
  HCURSOR GetInterfaceCursor() const { return interfaceCursor_; }
  // ---- Input (game/interface_input.cpp) ----
  // Key codes are those of game/key_codes.h; any other code (from a settings
  // file, say) is never down.
  // Reads the keyboard into the key table and latches every key seen down,
  // at most once every 10 ms (either thread).
  void PollKeyboard();
  // Whether the key or joystick input is down now (both devices are polled
  // first, within their intervals).
  bool IsKeyDown(int code);
  // Whether the key is down now or was seen down since it was last asked
  // for; consumes the latch. Joystick codes have no latch: as IsKeyDown.
  bool IsKeyPressed(int code);
  // Empties both key tables and reads the keyboard at once, so that keys
  // still held are down (and latched) again.
  void ClearKeys();
  // Moves the menu cursor by the mouse's motion, within 0..639 x 0..479.
  // Main thread.
  void PollMouse();
  // Reads the mouse once and drops what it says.
  void DiscardMouseMotion();
  int GetCursorX() const { return cursorX_; }
  int GetCursorY() const { return cursorY_; }
  // The mouse device, which the ship controls read too. Main thread.
  IDirectInputDevice* GetMouseDevice() const { return mouse_; }

  bool IsCockpitShown() const { return cockpitShown_ != 0; }
  void SetCockpitShown(bool shown) { cockpitShown_ = shown ? 1 : 0; }

  void SetStartupVideo(bool on) { startupVideo_ = on ? 1 : 0; }
  bool IsStartupVideo() const { return startupVideo_ != 0; }
  void SetMissionFailedShown(bool on) { missionFailedShown_ = on ? 1 : 0; }
  bool IsMissionFailedShown() const { return missionFailedShown_ != 0; }

 private:
  // The sound manager's view of the game: the local ship, the world, the
  // sound switch.
  static void InstallSoundServices();
  // The keyboard and mouse devices and the input thread; failures are fatal
  // (source "dd", the lines of each step).
  void CreateInputDevices();
  // Sets g_InputThreadStop and waits for the input thread to end.
  void StopInputThread();
  // Stops the input thread (when still running), then releases the devices.
  void ReleaseInputDevices();
  // One keyboard read into the tables: the keys down, and with latchPresses
  // the keys pressed since the last read (else those are dropped). The gate
  // and the lock are the caller's.
  void ReadKeyboard(bool latchPresses);

  int OptionIndex(int box) const { return optionBoxes_[box] ? optionBoxes_[box]->GetCurrent() : 0; }
  // The buttons the current screen shows and gives the mouse point to.
  std::vector<CPictureButton*> ScreenButtons(int screen);
  // The disabled and latched bytes of the screen's buttons, from the state
  // they show.
  void RefreshButtonFlags();
  // The briefing text's layout from FONT_MD.
  void LayOutBriefingText();
  // Opens a menu on screen: the menu mode, menu active, the screen.
  void EnterMenuOn(int screen);
  // The save or load screen for the game's keys (Cancel closes the menu).
  void OpenFromGameKeys(int screen);
  // Cancel, Esc and No on the save, load and confirm screens: back to the
  // return screen without SetScreen (its widgets stay as they were), or the
  // menu closed when there is none.
  void BackToReturnScreen(bool resetSaveLoadButtons);
  // The confirm screen for action, entered from the main screen.
  void AskToConfirm(uint8_t action);
  // The program ends normally (exit code 0) once the message loop ends.
  void QuitProgram();
  // The sessions screen's search: connect, list the sessions found.
  void SearchSessions();
  void OnNameLineKey(int line, CString* into, int virtualKey, bool enter, bool esc, int nextScreen, int backScreen);
  void RedrawMenuWindow();
  // After a video (or instead of one): the menus, and the screen asked for.
  void FinishVideo();

  CInterfaceWnd* window_ = nullptr;
  uint8_t renderEnabled_ = 1;
  CPicture backgrounds_[20];
  CPictureButton buttons_[49];
  // The IP-address, session-name and player-name lines, made by LoadScreens.
  std::unique_ptr<CEditLine> editLines_[3];
  int chosenMission_ = 0;  // 1..24 from the session list; 0 none
  CString lastSavePath_;
  // The option cycles: translucency, smoke and flame, particles, lights,
  // channels, collision; then sound on/off and music on/off.
  std::unique_ptr<CTextBox> optionBoxes_[6];
  std::unique_ptr<CPictureList> soundList_;
  std::unique_ptr<CPictureList> musicList_;
  // Music volume, effects volume, brightness, mouse sensitivity x and y.
  CPictureSlider sliders_[5];
  int screen_ = 0;
  int returnScreen_ = 0;  // where Cancel goes on the save, load and confirm screens; -1 closes the menu
  int briefingPage_ = 0;
  int lastBriefingPage_ = 0;  // -1: the mission has no briefing
  int failedMission_ = 0;
  CString briefingText_;
  uint8_t mouseButtonDown_ = 0;
  std::unique_ptr<CSavedGameList> savedGames_;
  std::unique_ptr<CMissionList> missionList_;
  std::unique_ptr<CStylePicker> stylePickers_[2];
  std::unique_ptr<CKeyBindingField> keyFields_[34];
  CBitmapFont fonts_[4];
  int briefingLinesPerPage_ = 1;
  int briefingLineHeight_ = 10;
  int briefingCharsPerLine_ = 8;
  int briefingCharsShown_ = 0;
  DWORD lastCharTime_ = 0;
  DWORD nextTeletypeSound_ = 0;
  uint8_t confirmAction_ = 0;  // 0 new single game, 1 network screens, 2 quit
  int screenAfterVideo_ = 0;
  int creditsPosition_ = -500;
  int creditsSteps_ = 0;
  uint8_t viewSizingBytes_[2] = {1, 1};
  uint8_t windowHasFocus_ = 0;
  uint8_t videoPlaying_ = 0;
  uint8_t startupVideo_ = 0;
  RECT cursorRect_;
  uint8_t cursorSave_[64][32] = {};
  uint8_t cockpitShown_ = 1;
  HCURSOR interfaceCursor_ = nullptr;
  uint8_t joining_ = 1;
  uint8_t connectionType_ = 0;  // 0 TCP/IP, 1 IPX, 2 modem, 3 serial link
  CString ipAddress_;
  CString sessionName_;
  CString playerName_;
  int shipStyles_[2] = {0, 0};
  int difficulty_ = 1;  // 1 rookie, 2 veteran, 3 elite; 0 in a network game
  uint8_t autoLowRes_ = 0;
  uint8_t missionFailedShown_ = 0;
  uint8_t endingPlaying_ = 0;
  uint8_t endingPending_ = 0;
  uint8_t transitionPending_ = 0;  // korvanesw's screen-close transition
  uint8_t fadeInPending_ = 0;      // korvanesw: the next picture shown fades in
  // korvanesw's presentation flags besides the page flip (presentByFlip_):
  // the surfaces made for full screen (a back surface exists), and a third
  // byte set together with them.
  uint8_t surfacesForFullScreen_ = 1;
  uint8_t presentationSet_ = 1;
  std::unique_ptr<CSoundManager> soundManager_;  // g_pSoundManager
  uint8_t soundOn_ = 1;
  uint8_t musicOn_ = 1;

  IDirectInput* directInput_ = nullptr;
  IDirectInputDevice* mouse_ = nullptr;
  IDirectInputDevice* keyboard_ = nullptr;
  // Held by a poll from its gate to its last store, and by ClearKeys.
  std::mutex keyboardLock_;
  // By scan code: bit 7 down at the last read; bit 0 seen down since last
  // asked for.
  std::array<std::atomic<uint8_t>, 256> keyState_{};
  std::array<std::atomic<uint8_t>, 256> latchedKeys_{};
  DWORD lastKeyboardPoll_ = 0;
  int cursorX_ = 0;
  int cursorY_ = 0;
  std::thread inputThread_;
};

// The input thread's stop flag: set by the interface manager's destructor,
// which then waits for the thread to end.
extern std::atomic<bool> g_InputThreadStop;
// The input thread: every 10 ms, PollKeyboard and PollJoystick, until
// g_InputThreadStop is set or there is no interface manager.
void CInputPollThread();

extern CInterface* g_pInterface;

// A briefing text's lines: each up to its CR LF, lone LF or lone CR, cut
// (not wrapped) to charactersPerLine, at most maxLines of them.
std::vector<CString> BriefingLines(const CString& text, int charactersPerLine, int maxLines);
// The credits' scroll: the next top row after position (from -500 up to the
// picture's last row, then -500 again), and the credit row a screen row
// shows at a position (-1: the background alone).
int NextCreditsPosition(int position, int height);
int CreditsSourceRow(int position, int screenRow, int height);
