#pragma once
// The one seam between the two programs. Everything shared is compiled once;
// where korvane3d and korvanesw differ (the Direct3D back end, the
// software-only display code), the shared code calls the variant that the
// program's entry point installed. Neither program links the other's code.

enum class BuildKind { Direct3D, Software };

class CInterface;
class CNetView;

class BuildVariant {
 public:
  virtual ~BuildVariant() = default;
  virtual BuildKind Kind() const = 0;
  // The program's name as its window and messages show it.
  virtual const char* ProgramName() const = 0;
  // Around every change of document: the display device's copies of the
  // level's textures are let go before the old level goes and made for the
  // new one after it is loaded. Only the Direct3D program keeps such copies.
  virtual void ReleaseDeviceTextures() {}
  virtual void LoadDeviceTextures() {}

  // The display device under the interface manager
  // (game/interface_manager.h). Creates its DirectDraw (and Direct3D)
  // objects once; returns the hardware-device flag, 0 when the program can't
  // run here.
  virtual int InitDisplay(CInterface& ui) = 0;
  // Sets up full screen once the window is shown: display mode, surfaces and
  // the program's device; false when it can't, with nothing of the try kept.
  virtual bool EnterFullScreen(CInterface& ui, int mode) = 0;
  // Releases the 3-D device's objects (korvane3d only).
  virtual void ReleaseDevice3D() {}
  // The program was activated again: the display device's copies of the
  // textures go, to be uploaded anew on use (korvane3d only; its texture
  // slots fill it).
  virtual void ReleaseTextureSurfaces() {}

  // The menus (game/interface_menus.cpp). korvane3d's menus draw their own
  // cursor over the display as it is; korvanesw's switch to 640x480, show
  // the system cursor, and play its fades and screen-close transitions.
  // Before a menu opens: initial for the program's first menu, withTransition
  // for the briefing, help, save and load menus.
  virtual void MenuOpening(CInterface& /*ui*/, bool /*initial*/, bool /*withTransition*/) {}
  // In the menu mode: sets up the display for the menus; true when the
  // system cursor shows over them.
  virtual bool PrepareMenuDisplay(CInterface& /*ui*/) { return false; }
  // After a menu closed: the display back to the game's.
  virtual void RestoreGameDisplay(CInterface& /*ui*/) {}
  // Before the picture changes: a quick load, saving and loading a game,
  // the end of a briefing (korvanesw fades its palette out; the next
  // picture shown fades in, FrameShown).
  virtual void FadeOutBeforeLoad(CInterface& /*ui*/) {}
  // A menu frame or a game frame has just been shown.
  virtual void FrameShown(CInterface& /*ui*/) {}
  // The credits of the main screen's title area: before them (korvanesw's
  // exit fire) and after them (its fold).
  virtual void CreditsOpening(CInterface& /*ui*/) {}
  virtual void CreditsClosed(CInterface& /*ui*/) {}
  // The player has chosen to quit from the menus; the program ends next
  // (korvanesw burns the last picture away with its exit fire).
  virtual void Quitting(CInterface& /*ui*/) {}
  // A video has been opened or closed (korvanesw clears its screen and makes
  // the display again at 640x480), or, with endingCredits, the credits after
  // the ending are over (korvanesw closes the screen with its fold).
  virtual void VideoOpened(CInterface& /*ui*/) {}
  virtual void VideoClosed(CInterface& /*ui*/, bool /*endingCredits*/) {}

  // The program is ending normally, the display still up (korvanesw closes
  // the screen with its transition).
  virtual void ProgramEnding(CInterface& /*ui*/) {}

  // The game view's gun sight over a frame: korvanesw draws it with lines;
  // korvane3d's overlay bitmaps come with its triangle device.
  virtual void DrawCrosshair(CNetView& /*view*/) {}
  // The game view's 3-D scene of a frame through the triangle device
  // (korvane3d); korvanesw draws its scene with the software rasteriser.
  virtual void RenderScene(CNetView& /*view*/) {}
  // The statistics overlay's texture line: textures in the device's memory,
  // the bytes they use, and the textures of the current frame (korvane3d's
  // texture slots; none in korvanesw).
  virtual void DeviceTextureCounts(int* inDevice, int* bytes, int* current) {
    *inDevice = *bytes = *current = 0;
  }
  // The cockpit picture "!cockpit.bmp" as the view loads its cockpit:
  // korvane3d makes its overlay from the level's texture of that name (or the
  // file), korvanesw loads the file as an engine texture (none is fatal), and
  // the pilot's hands for the software frame.
  virtual void LoadCockpitPicture(CNetView& /*view*/) {}
  // The cockpit picture over the finished scene while the cockpit is shown:
  // whole (onto both pages) when the view asks for it, else the band beside
  // the 3-D area.
  virtual void DrawCockpit(CNetView& /*view*/) {}
  // The pilot's hands for a steering code (1..9), onto both pages, where
  // the program has no overlay bitmaps for them (korvanesw).
  virtual void DrawHands(CNetView& /*view*/, int /*steering*/) {}
  // A cockpit panel drawn into the interface bitmap covers this rectangle:
  // it goes onto both pages where the program has no overlays (korvanesw).
  virtual void ShowPanel(CNetView& /*view*/, int /*left*/, int /*top*/, int /*right*/, int /*bottom*/) {}
};

// Installed once by main() before anything else runs (it also chooses the
// program's table of display error texts); the variant lives as long as the
// program.
void BuildVariantInstall(BuildVariant* variant);
// The installed variant. Calling it before main() installed one is a
// programming error (asserted).
BuildVariant& BuildVariantGet();
bool BuildVariantIsInstalled();
