#pragma once
// The interface window: the program's only visible window. Everything the
// player sees is painted here; its paint is where a requested game starts
// and, later, where menu and game frames are drawn.
#include <memory>

#include "media/picture.h"
#include "platform/framework/cstring.h"
#include "platform/framework/wnd.h"

class CInterfaceWnd : public CWnd {
 public:
  // Shows a full-screen picture (file of archive, mandatory: a missing one is
  // fatal) drawn at (0, 0) with the palette applied, and returns the name of
  // the one shown before. An empty name, or a screen that is not 640x480,
  // hides the picture instead.
  CString ShowPicture(const CString& file, const char* archive, const char* soundName);
  // Forgets the picture; with clearDisplay the screen is cleared.
  void HidePicture(bool clearDisplay);
  const CString& PictureName() const { return pictureName_; }
  // The picture shown, or null.
  CPicture* Picture() const { return picture_.get(); }

 protected:
  // A requested game starts here instead of painting; otherwise the window
  // is painted (and so validated).
  void OnPaint() override;
  // The window can't be closed by a close request.
  void OnClose() override {}
  // Activated other than by a click (coming back to the program, or the
  // screen switched under it): lost surfaces are restored and the palette
  // put back.
  void OnActivate(UINT state, CWnd* other, BOOL minimized) override;
  // While the left Shift key is held every key also goes to the typed-word
  // handler.
  void OnKeyDown(UINT ch, UINT repeat, UINT flags) override;

 private:
  std::unique_ptr<CPicture> picture_;
  CString pictureName_;
};
