#pragma once
// The Smacker video library stand-in: the calls the game's video player makes
// (open, decode the current frame into a buffer, the rectangle it changed,
// next frame, go to a frame, wait, sound on and off, close) and the handle's
// fields it reads, decoded through the back end's video device
// (platform/video.h).
//
// A handle is at one frame, the current one (FrameNum, from 0): its palette
// is in Palette (NewPalette set when it differs from the frame shown before)
// before SmackDoFrame writes it into the buffer that SmackToBuffer gave.
// SmackDoFrame writes the whole frame (never more than the buffer: at most
// the given height of rows and the pitch's worth of pixels) and reports in
// LastRect the part that differs from what the frame before left there: all
// of the video for the first frame, after SmackGoto and after a palette
// change, an empty rectangle when nothing changed.
//
// Timing: the first frame (and the first after SmackGoto) is due at once,
// each next one a frame time after the one before was due; a player that
// falls a whole frame behind is not hurried to catch up.
//
// The video's sound: each frame's PCM plays on the back end's audio output
// (through the DirectSound stand-in) from the moment SmackDoFrame shows the
// frame; SmackSoundOnOff (0) silences it at once, and so do SmackGoto and
// SmackClose. Without an audio output, or before SmackSoundUseWindow has
// named a window, the video plays silent.
//
// Handles are owned by the library; one SmackClose each. Main thread only.
#include <cstdint>

#include "platform/framework/win_types.h"
#include "platform/types.h"

struct SmackState;

struct Smack {
  DWORD Width = 0;
  DWORD Height = 0;
  DWORD Frames = 0;        // frames that can be shown; fewer than the file says when it is damaged
  DWORD MSPerFrame = 0;    // rounded
  DWORD NewPalette = 0;    // the current frame brings another palette
  BYTE Palette[772] = {};  // the current frame's palette: 256 RGB triples, 8 bits a channel
  DWORD FrameNum = 0;      // the current frame, from 0
  DWORD LastRectx = 0, LastRecty = 0, LastRectw = 0, LastRecth = 0;  // changed by the last SmackDoFrame
  SmackState* state = nullptr;  // the library's own
};

// SmackToBuffer's pixel formats: 0 is 8-bit palette indices; the others
// write 16-bit pixels through the palette with these channel masks.
inline constexpr DWORD SMACKBUFFER565 = 0xC0000000;  // red 0xF800, green 0x7E0, blue 0x1F
inline constexpr DWORD SMACKBUFFER555 = 0x80000000;  // red 0x7C00, green 0x3E0, blue 0x1F
inline constexpr DWORD SMACKBUFFER556 = 0xA0000000;  // red 0xF800, green 0x7C0, blue 0x3F
inline constexpr DWORD SMACKBUFFER655 = 0xE0000000;  // red 0xFC00, green 0x3E0, blue 0x1F
// SmackToBufferRect's surface number for the one buffer.
inline constexpr DWORD SMACKSURFACESLOW = 1;

// Which sound output the library makes; null: its own.
void SmackSoundUseDirectSound(void* directSound);
// The window the library's own sound output belongs to.
void SmackSoundUseWindow(HWND window);
// Opens a video by its (Windows-style) path; flags and extraBuffers are
// accepted as the game passes them. Null when the file is missing or can't
// be played (the reason goes to the debugger output).
Smack* SmackOpen(const char* name, DWORD flags, DWORD extraBuffers);
// Where SmackDoFrame writes: the frame's top-left at (left, top) of a buffer
// of destHeight rows of pitch bytes. A null buffer writes nothing (the frame
// is still decoded and reported).
void SmackToBuffer(Smack* smack, DWORD left, DWORD top, DWORD pitch, DWORD destHeight, void* buffer, DWORD flags);
// Writes the current frame into the buffer and sets LastRect.
DWORD SmackDoFrame(Smack* smack);
// Non-zero (once per SmackDoFrame) when the last frame changed a rectangle;
// it is then in LastRect.
DWORD SmackToBufferRect(Smack* smack, DWORD surface);
// Makes the next frame current (the last one stays current).
void SmackNextFrame(Smack* smack);
// Makes frame (from 0; past the end, the last) current; the next
// SmackDoFrame writes it whole, and it is due at once.
void SmackGoto(Smack* smack, DWORD frame);
// Non-zero while the current frame is not yet due. Then it gives up the
// processor for a millisecond, so a loop waiting on it does not spin (and a
// fixed-step clock moves).
DWORD SmackWait(Smack* smack);
// 1 on, 0 off; returns the switch.
DWORD SmackSoundOnOff(Smack* smack, DWORD on);
void SmackClose(Smack* smack);
