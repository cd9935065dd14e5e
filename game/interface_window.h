#pragma once
// The interface window: the program's only visible window. Everything the
// player sees is painted here, synchronously: the document's frame tick
// redraws it at once, and its paint handler runs one menu frame or one game
// frame. Its message handlers pass the mouse, keys and characters on to the
// menus, the typed words, the message console or the running game.
#include <memory>

#include "media/picture.h"
#include "platform/framework/cstring.h"
#include "platform/framework/wnd.h"

class CInterfaceWnd : public CWnd {
 public:
  // What a paint did, in its order of priority (the first that applies).
  enum class PaintStep {
    None,     // nothing painted yet
    NewGame,  // a requested game started instead of painting
    Ending,   // the ending video played
    Video,    // a video frame showed
    Menu,     // one menu frame
    Picture,  // the full-screen picture drawn
    Game,     // one game frame through the view
    Paused,   // painted nothing: a display switch is in progress, or no view
  };

  CInterfaceWnd() = default;
  // Deletes the picture.
  ~CInterfaceWnd() override = default;

  // Shows the full-screen picture file from archive, playing the sound
  // soundName when given, and returns the name of the picture shown before.
  // While the screen is not 640x480 the current picture is hidden instead. A
  // picture that can't be loaded is fatal (in the picture's loader).
  CString ShowPicture(const CString& file, const char* archive, const char* soundName);
  // No picture; with clearDisplay the display is cleared too.
  void HidePicture(bool clearDisplay);
  const CString& PictureName() const { return pictureName_; }
  bool IsShowingPicture() const { return picture_ != nullptr; }
  // What the last paint did (diagnostics and tests).
  PaintStep LastPaintStep() const { return lastPaintStep_; }

 protected:
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;
  // Losing the program's focus during play opens the main menu. Activated
  // other than by a click (coming back to the program, or the screen
  // switched under it): lost surfaces are restored and the palette put back.
  void OnActivate(UINT state, CWnd* other, BOOL minimized) override;
  void OnPaint() override;
  // The window can't be closed by a close request.
  void OnClose() override {}
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  // Draws the menu screen while a menu is active; the background is never
  // erased otherwise.
  BOOL OnEraseBkgnd(CDC* dc) override;
  BOOL OnQueryNewPalette() override;
  void OnPaletteChanged(CWnd* focusWnd) override;
  // While the left Shift key is held every key also goes to the typed-word
  // handler. After an accomplished mission only Esc, Enter and Space act:
  // they start the next mission through its briefing. Otherwise the key goes
  // to the menu, the message console or the running game.
  void OnKeyDown(UINT ch, UINT repeat, UINT flags) override;
  void OnKeyUp(UINT /*ch*/, UINT /*repeat*/, UINT /*flags*/) override {}
  // A typed character goes to the message console, or to an active menu.
  void OnChar(UINT ch, UINT repeat, UINT flags) override;
  // Alt keys go to an active menu (the key-binding screen captures them).
  void OnSysKeyDown(UINT ch, UINT repeat, UINT flags) override;
  void OnSysKeyUp(UINT /*ch*/, UINT /*repeat*/, UINT /*flags*/) override {}
  // MM_MCINOTIFY with MCI_NOTIFY_SUCCESSFUL: the music's track has ended
  // and plays again (g_CdTrack). Every other message goes on as before.
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::unique_ptr<CPicture> picture_;
  CString pictureName_;
  PaintStep lastPaintStep_ = PaintStep::None;
};
