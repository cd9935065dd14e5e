#pragma once
// The graphics device interface the game draws through besides DirectDraw:
// device contexts, device-independent bitmap sections (DIBs), the copies
// between them (BitBlt, StretchBlt, PatBlt) and the system palette.
//
// A device context (HDC) is one of:
//   - a memory context (CreateCompatibleDC) with a DIB section selected into
//     it;
//   - a DirectDraw surface's context (IDirectDrawSurface::GetDC,
//     platform/direct_draw.h), drawing into the surface's pixels;
//   - the screen's (GetDC of a window or of null) or a window's paint context
//     (BeginPaint, platform/framework/window_manager.h): both draw onto the
//     primary surface, which is the screen; with no primary surface they
//     draw nothing and copies from them read black.
// Copies convert between pixel formats the way GDI does: 8-bit pixels go to
// another 8-bit target as they are (the game keeps its colour tables equal to
// the screen's palette), and through their colour table (a DIB's, or the
// surface's palette) to RGB targets; RGB pixels go to RGB targets by their
// masks, and to an 8-bit target as the nearest entry of its colour table.
// Every copy is clipped to the source and the target, so no rectangle can
// read or write outside either.
//
// Handles are checked: a handle that names nothing (never made, or deleted)
// makes the call fail instead of touching memory. Main thread only, like the
// window system. A test can make any call fail (DirectDrawFailNext in
// platform/direct_draw.h).
#include <cstdint>

#include "platform/framework/win_types.h"

struct HGDIOBJ__;
using HGDIOBJ = HGDIOBJ__*;
using HBITMAP = HGDIOBJ;

// One colour of a logical or DirectDraw palette.
struct PALETTEENTRY {
  BYTE peRed = 0;
  BYTE peGreen = 0;
  BYTE peBlue = 0;
  BYTE peFlags = 0;
};
inline constexpr BYTE PC_RESERVED = 0x01;
inline constexpr BYTE PC_EXPLICIT = 0x02;
inline constexpr BYTE PC_NOCOLLAPSE = 0x04;

// One colour of a DIB's colour table.
struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;  // positive: rows stored bottom-up; negative: top-down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;  // 0: 2^biBitCount colours for 8 bits or fewer
  DWORD biClrImportant = 0;
};
inline constexpr DWORD BI_RGB = 0;

// A header with room for a full colour table. Files are read into it field
// by field; only biClrUsed (or 256) entries of bmiColors are used.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[256];
};

inline constexpr UINT DIB_RGB_COLORS = 0;

// Raster operations of the copies.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// A DIB section: a bitmap whose pixels the program reads and writes directly
// through *bits. Supported: 8 bits with a colour table (biClrUsed entries, or
// 256), 16 bits (5-5-5), 24 bits (blue, green, red) and 32 bits, BI_RGB only,
// width and height 1..16384 either way up; rows are padded to 4 bytes. The
// pixels start at 0. Null (and *bits null) for anything else.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, void* section, DWORD offset);
// A memory context compatible with hdc (any context or null): it draws into
// the bitmap selected into it, and into nothing until one is.
HDC CreateCompatibleDC(HDC hdc);
// Selects a bitmap into a memory context and returns the one selected before
// (the first time, the context's default bitmap, which selects nothing when
// selected back); null on failure. A bitmap can be selected into one context
// at a time.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
// Deletes a memory context (its bitmap is no longer selected).
BOOL DeleteDC(HDC hdc);
// Deletes a bitmap; fails while it is selected into a context.
BOOL DeleteObject(HGDIOBJ object);

// The screen's context: window null or any window (the screen is the
// primary surface). Released with ReleaseDC.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC hdc);

// Copies the width x height rectangle at (xSrc, ySrc) of src to (x, y) of
// dst with SRCCOPY; BLACKNESS and WHITENESS fill the target and need no
// source. Clipped to both contexts; TRUE unless a handle is bad, the
// operation unknown or a test made it fail.
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
// As BitBlt, scaling the source rectangle to the target rectangle (nearest
// pixel: each target pixel takes the source pixel its centre falls on).
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
                int heightSrc, DWORD rop);
// Fills the rectangle with BLACKNESS or WHITENESS.
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);

// A colour as GDI takes it: red in the low byte, then green, then blue.
using COLORREF = DWORD;
constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
  return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) | (static_cast<COLORREF>(blue) << 16);
}
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
// Sets the pixel at (x, y) to the colour, converted as a copy converts it
// (the nearest entry of an 8-bit target's colours); returns the colour set,
// or CLR_INVALID for a bad handle or a point outside the target.
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF colour);
// The colour of the pixel at (x, y), or CLR_INVALID.
COLORREF GetPixel(HDC hdc, int x, int y);

// Copies count entries of the system palette from start. Entries 0-9 and
// 246-255 are the fixed system colours; entries 10-245 are the colours the
// screen shows there: the primary surface's palette in an 8-bit display
// mode, else black. Returns the number copied (0 for a bad range).
UINT GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, PALETTEENTRY* entries);
// The fixed system colours (entries 0-9 and 246-255) of the palette.
PALETTEENTRY SystemPaletteColour(int index);
