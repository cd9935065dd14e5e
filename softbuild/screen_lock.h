#pragma once
// korvanesw's locked-screen access: while one lives, the primary surface is
// locked (waiting for the lock) and its pixels, pitch and size are handed
// out, and the document's surface-locked byte is set; it is unlocked when
// the access ends. Nothing is handed out when the surface is missing or
// lost (Bits() is null). The screen effects draw only through this, clip
// to Width() x Height() and step rows by Pitch().
#include <cstddef>
#include <cstdint>

class IDirectDrawSurface;

class ScreenLock {
 public:
  // Locks the interface's primary surface.
  ScreenLock();
  // Locks this surface (null: nothing to draw on).
  explicit ScreenLock(IDirectDrawSurface* surface);
  ~ScreenLock();
  ScreenLock(const ScreenLock&) = delete;
  ScreenLock& operator=(const ScreenLock&) = delete;

  uint8_t* Bits() const { return bits_; }
  int Pitch() const { return pitch_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  uint8_t* Row(int y) const { return bits_ + static_cast<std::ptrdiff_t>(y) * pitch_; }

  // Fills columns x0..x1-1 of rows y0..y1-1: reversed corners are swapped,
  // then the rectangle is clipped to the screen.
  void FillRect(int x0, int y0, int x1, int y1, uint8_t colour);
  // Sets one pixel when it lies on the screen.
  void Plot(int x, int y, uint8_t colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) Row(y)[x] = colour;
  }
  // Unlocks and locks again, so that what was drawn so far is shown; false
  // (and nothing to draw on) when the lock is not given back.
  bool Refresh();
  // Gives the lock back early (the destructor then does nothing more).
  void Unlock();
  // Takes the lock again after Unlock; false when it can't.
  bool Relock();

 private:
  bool Lock();

  IDirectDrawSurface* surface_ = nullptr;
  uint8_t* bits_ = nullptr;
  int pitch_ = 0;
  int width_ = 0;
  int height_ = 0;
};
