#pragma once
// korvane3d's overlay bitmaps: pictures its Direct3D back end keeps in
// numbered slots and blits onto the back surface after the 3-D scene (the
// cockpit panels, the pilot's hands, the crosshairs), see-through where their
// pixels are 255. Shared code reaches them through the set the program
// installed; korvanesw installs none and draws such pictures into its 2-D
// target instead (CPictureAnim).
//
// Until the Direct3D back end draws overlays, korvane3d installs
// PictureOverlayBitmaps: it loads and keeps each slot's picture, so that
// loading behaves as it will, and draws nothing.
#include <memory>

class CPicture;

class OverlayBitmaps {
 public:
  virtual ~OverlayBitmaps() = default;
  // Loads an 8-bit BMP member of archive into slot index (an occupied slot
  // is let go first); false when the member is missing or bad, or the index
  // is outside the table.
  virtual bool Load(int index, const char* member, const char* archive) = 0;
  // Copies the rectangle [left, right) x [top, bottom) of slot index (cut to
  // the picture's size) to (x, y) of the back surface.
  virtual void Blit(int x, int y, int left, int top, int right, int bottom, int index) = 0;
  // The same onto the front (primary) surface as well, so that both pages of
  // a flipping display show a picture that is drawn only when it changes.
  virtual void BlitBothPages(int x, int y, int left, int top, int right, int bottom, int index) {
    Blit(x, y, left, top, right, bottom, index);
  }
  // Makes slot index from the level's texture of that name; false when
  // there is none (or no set can do it).
  virtual bool LoadFromTexture(int /*index*/, const char* /*name*/) { return false; }
  virtual void Release(int index) = 0;
};

// The program's set (null: no overlays, as in korvanesw and the tests).
void OverlayBitmapsInstall(OverlayBitmaps* overlays);
OverlayBitmaps* OverlayBitmapsInstalled();

class PictureOverlayBitmaps final : public OverlayBitmaps {
 public:
  static constexpr int kSlots = 64;
  PictureOverlayBitmaps();
  ~PictureOverlayBitmaps() override;
  bool Load(int index, const char* member, const char* archive) override;
  void Blit(int, int, int, int, int, int, int) override {}
  void Release(int index) override;
  // The picture a slot holds, or null.
  const CPicture* Slot(int index) const;

 private:
  std::unique_ptr<CPicture[]> slots_;
};
