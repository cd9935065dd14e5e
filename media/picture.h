#pragma once
// An 8-bit picture held in memory: the menu screens, button states, briefing
// pages, HUD panels and the title are all pictures read from a data archive.
// A picture draws itself into the 2-D target (CBackBufferAccess) opaque or
// with colour 109 see-through, clipped to the target on all four sides, and
// copies what it drew to the screen (CInterfaceDisplay::BlitRect). It can
// cross-fade from the image it showed before to a new one through the blend
// table (media/blend_table.h), which the first picture loaded in a run builds
// from its colours.
//
// Loading reads the member whole and checks every header field against it
// (engine/bmp_image.h). A mandatory picture that is missing or bad ends the
// program (source "picture": 164 member missing, 172 no file header, 179 not
// "BM", 193 a header that does not fit, 211 pixel data short, 218 not an
// uncompressed 8-bit picture); an optional one stays empty and Load is false.
// Main thread only.
#include <cstdint>
#include <vector>

#include "platform/framework/cstring.h"
#include "platform/types.h"

class CPicture {
 public:
  CPicture() = default;
  // Loads file from archive, mandatory.
  CPicture(const char* file, const char* archive);
  ~CPicture() = default;
  CPicture(const CPicture&) = delete;
  CPicture& operator=(const CPicture&) = delete;

  // Reads file from archive (the current mission's when archive is null or
  // empty), replacing what the picture held. While the interface has no
  // palette object its palette table takes the picture's colours (entries
  // beyond the picture's colour count black); the first picture of the run
  // builds the blend table from them.
  bool Load(const char* file, const char* archive, bool mandatory);
  // Lets go of the image and any blend source; a later draw does not reload.
  void Free();
  // Lets go of the blend source; the fade level becomes 0.
  void FreeBlendSource();
  // Lets go of the image; the next draw loads it again (mandatory). The
  // menus unload the pictures of screens they leave.
  void Unload();

  bool IsLoaded() const { return !image_.pixels.empty(); }
  // 0 when nothing is loaded.
  int GetWidth() const { return image_.width; }
  int GetHeight() const { return image_.height; }
  // The palette index at (x, y) from the top left (x, y inside the picture).
  uint8_t PixelAt(int x, int y) const;

  // Copies the picture with its top left at (x, y): every pixel, or with
  // transparent every pixel but those of colour 109.
  void Draw(int x, int y, bool transparent);
  // DrawBlended at (x, y).
  void DrawAt(int x, int y);
  // Copies the picture, or while a cross-fade runs, mixes the old image (the
  // blend source) into it at the fade level, over the part both cover.
  // Nothing while the interface or its primary surface does not exist.
  void DrawBlended(int x, int y);
  // Starts a cross-fade at rate fade units a second from the image now held
  // to file (mandatory); with nothing held, just loads file.
  void CrossFadeFrom(float rate, const char* file, const char* archive);
  // Advances a running fade by the time since its last step and draws; a
  // still picture is drawn once after its fade ends and then no more until
  // its fade level is reset.
  void DrawFading(int x, int y);

  bool HasBlendSource() const { return !blendSource_.pixels.empty(); }

 private:
  struct Image {
    int width = 0;
    int height = 0;
    int rowBytes = 0;
    std::vector<uint8_t> pixels;  // rows bottom up, rowBytes apart
    const uint8_t* Row(int fromTop) const {
      return pixels.data() + static_cast<size_t>(height - 1 - fromTop) * rowBytes;
    }
  };
  // Draws with transparent (Draw) or blended (DrawBlended).
  enum class Mode { Opaque, Keyed, Blended };
  void DrawImage(int x, int y, Mode mode);
  // Loads again after Unload; false when nothing is held afterwards.
  bool EnsureLoaded();

  Image image_;
  float fadeLevel_ = 0.0f;
  float fadeRate_ = 0.0f;
  DWORD lastStep_ = 0;  // 0: the fade has not started
  Image blendSource_;
  bool reload_ = false;
  CString file_;
  CString archive_;
};
