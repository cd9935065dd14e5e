#pragma once
// Where the program's 2-D drawing goes. Every 2-D drawing routine (pictures,
// widgets, the font, rectangles, HUD, radar, the software build's effects)
// takes one CBackBufferAccess for the time of its drawing and draws only
// through what it hands out: the pixels, the pitch and the size. Nothing
// may assume a width of 640 or a pitch equal to the width; a drawer clips
// to Width() x Height() and steps rows by Pitch().
//
// By default the target is the interface manager's 640x480 8-bit bitmap
// (media/interface_display.h): made and filled with g_BlackColour the first
// time it is asked for; pitch 640. A program whose 2-D drawing goes
// elsewhere (korvanesw draws into the locked screen) installs its own
// source once at start-up. Without an interface manager, or when the source
// has nothing to give (a lost screen), Bits() is null and nothing may be
// drawn. Main thread only; accesses don't nest.

struct BackBufferTarget {
  unsigned char* bits = nullptr;  // the top-left pixel
  int pitch = 0;                  // bytes from one row to the next
  int width = 0;
  int height = 0;
};

class CBackBufferAccess {
 public:
  CBackBufferAccess();
  // The form the drawing code was written in: *bits and *pitch receive the
  // pixels and the pitch (null and 0 when there is nothing to draw on).
  CBackBufferAccess(unsigned char** bits, int* pitch);
  // Gives the target back (korvanesw: unlocks the screen).
  ~CBackBufferAccess();
  CBackBufferAccess(const CBackBufferAccess&) = delete;
  CBackBufferAccess& operator=(const CBackBufferAccess&) = delete;

  unsigned char* Bits() const { return target_.bits; }
  int Pitch() const { return target_.pitch; }
  int Width() const { return target_.width; }
  int Height() const { return target_.height; }

  // Fills columns x0..x1-1 of rows y0..y1-1 with colour: reversed corners
  // are swapped first, then the rectangle is clipped to the target.
  void FillRect(int x0, int y0, int x1, int y1, unsigned char colour);

 private:
  BackBufferTarget target_;
  bool acquired_ = false;
};

// A source of the 2-D target other than the interface bitmap: acquire fills
// the target (false: nothing to draw on), release gives it back; release is
// called only after a successful acquire.
struct BackBufferSource {
  bool (*acquire)(BackBufferTarget* target) = nullptr;
  void (*release)() = nullptr;
};
// Installs a source (null: back to the interface bitmap). The source must
// outlive its use.
void BackBufferSourceInstall(const BackBufferSource* source);
