#pragma once
// The video player: one Smacker video at a time (platform/smacker_api.h),
// each frame decoded into the interface's 320x240 decode surface and
// stretched to 640x480 on the screen surface. In an 8-bit display the
// video's colours 10-245 go to the palette object (0-9 and 246-255 stay the
// system's); in a 16-bit display the library writes RGB pixels itself.
//
// The front end opens a video with SmackerInit, calls SmackerFrame from the
// idle loop until it returns false or a key stops it, then SmackerClose.
// A video larger than the decode surface is refused, and a frame whose
// surface can't be locked is skipped (the video goes on), so nothing is ever
// written outside the surface. Main thread only.
#include "platform/direct_draw.h"
#include "platform/framework/win_types.h"
#include "platform/smacker_api.h"

// Opens the video at path (Windows-style) for this decode surface; a video
// already open is closed first. False, with no video open, when there is no
// surface, the file can't be played, or the video is larger than the surface.
bool SmackerInit(IDirectDrawSurface* decodeSurface, const char* path);
// Shows the next frame when it is due (nothing before). False when the video
// has ended: its last frame was shown, the window lost the keyboard focus,
// or the decode surface was lost and could not be restored.
bool SmackerFrame(HWND window, IDirectDrawSurface* decodeSurface, IDirectDrawSurface* screenSurface,
                  IDirectDrawPalette* palette);
// The paint handler while a video plays: blackens the video's area, then
// goes back to the last frame that changed the whole picture.
void SmackerOnPaint(HWND window);
// Copies the video's colours 10-245 into the palette table and, with a
// palette object, sets all 256 entries of the table on it.
void SmackerPalette(IDirectDrawPalette* palette);
void SmackerClose();
bool IsSmackerOpen();
// The open video, or null.
Smack* GetSmackHandle();

// The buffer flags SmackToBuffer gets for the surface's pixel format: 0 for
// 8 bits, a SMACKBUFFER value for the four 16-bit layouts; anything else
// shows the "Smacker Error" box and gives 0.
DWORD SmackerPixelFormat(IDirectDrawSurface* surface);
// The palette table the player passes on (system colours with their flags
// at 0-9 and 246-255, the video's at 10-245).
const PALETTEENTRY* SmackerPaletteTable();
