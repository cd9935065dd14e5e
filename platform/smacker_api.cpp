#include "platform/smacker_api.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/debug_output.h"
#include "platform/direct_sound.h"
#include "platform/paths.h"

struct SmackState {
  std::unique_ptr<PlatformVideoFile> file;
  VideoFrameData current;      // the current frame, decoded ahead of SmackDoFrame
  std::vector<uint8_t> shown;  // the frame the last SmackDoFrame wrote
  bool wholeNext = true;       // the next SmackDoFrame reports the whole video
  bool rectPending = false;
  bool timing = false;  // a frame has been shown since the open or the last SmackGoto
  uint64_t dueMicros = 0;
  uint64_t lastMicros = 0;
  uint32_t lastMs = 0;
  // SmackToBuffer's destination.
  uint8_t* buffer = nullptr;
  DWORD left = 0, top = 0, pitch = 0, destHeight = 0, bufferFlags = 0;
  // The sound: each shown frame's PCM plays once on a voice of its own,
  // started as the frame is shown, so it keeps pace with the pictures.
  IDirectSound* sound = nullptr;
  bool soundFailed = false;  // no output: the video plays silent
  bool soundOn = true;
  std::vector<IDirectSoundBuffer*> voices;
};

namespace {

// The platform clock in microseconds, carried across its 32-bit wrap.
uint64_t NowMicros(SmackState* s) {
  const uint32_t now = timeGetTime();
  s->lastMicros += static_cast<uint64_t>(static_cast<uint32_t>(now - s->lastMs)) * 1000;
  s->lastMs = now;
  return s->lastMicros;
}

void SetPalette(Smack* smack, const std::array<uint8_t, 768>& palette, bool changed) {
  smack->NewPalette = changed ? 1 : 0;
  std::memcpy(smack->Palette, palette.data(), palette.size());
}

// Decodes the frame after the current one into the current slot; false (the
// slot unchanged) when the file ends or is damaged there.
bool DecodeNext(Smack* smack) {
  SmackState* s = smack->state;
  VideoFrameData next;
  if (!s->file->ReadFrame(&next)) return false;
  const bool changed = next.palette != s->current.palette;
  s->current = std::move(next);
  SetPalette(smack, s->current.palette, changed);
  return true;
}

// A video shorter than its header says ends at its last good frame.
void EndAtCurrent(Smack* smack) {
  smack->Frames = smack->FrameNum + 1;
  OutputDebugString("korvane: the video cannot be decoded past this frame; it ends here\n");
}

struct ChannelMasks {
  uint32_t red, green, blue;
};

bool MasksOf(DWORD flags, ChannelMasks* masks) {
  switch (flags) {
    case SMACKBUFFER565: *masks = {0xF800, 0x7E0, 0x1F}; return true;
    case SMACKBUFFER555: *masks = {0x7C00, 0x3E0, 0x1F}; return true;
    case SMACKBUFFER556: *masks = {0xF800, 0x7C0, 0x3F}; return true;
    case SMACKBUFFER655: *masks = {0xFC00, 0x3E0, 0x1F}; return true;
    default: return false;
  }
}

// An 8-bit channel value placed in its mask.
uint32_t Channel(uint8_t value, uint32_t mask) {
  const int shift = __builtin_ctz(mask);
  const int bits = __builtin_popcount(mask);
  return (static_cast<uint32_t>(value) >> (8 - bits)) << shift;
}

void WriteFrame(Smack* smack) {
  SmackState* s = smack->state;
  if (!s->buffer || s->top >= s->destHeight) return;
  ChannelMasks masks{};
  const bool wide = MasksOf(s->bufferFlags, &masks);
  const DWORD bytesPerPixel = wide ? 2 : 1;
  const DWORD columnsInBuffer = s->pitch / bytesPerPixel;
  if (s->left >= columnsInBuffer) return;
  const DWORD columns = std::min(smack->Width, columnsInBuffer - s->left);
  const DWORD rows = std::min(smack->Height, s->destHeight - s->top);
  uint16_t colours[256];
  if (wide) {
    for (int i = 0; i < 256; ++i) {
      const uint8_t* c = &s->current.palette[3 * i];
      colours[i] = static_cast<uint16_t>(Channel(c[0], masks.red) | Channel(c[1], masks.green) |
                                         Channel(c[2], masks.blue));
    }
  }
  for (DWORD y = 0; y < rows; ++y) {
    const uint8_t* from = &s->current.pixels[static_cast<size_t>(y) * smack->Width];
    uint8_t* to = s->buffer + static_cast<size_t>(s->top + y) * s->pitch + static_cast<size_t>(s->left) * bytesPerPixel;
    if (!wide) {
      std::memcpy(to, from, columns);
      continue;
    }
    for (DWORD x = 0; x < columns; ++x) std::memcpy(to + 2 * x, &colours[from[x]], 2);
  }
}

// The bounding box of the pixels that differ from the frame shown before.
void FindChangedRect(Smack* smack) {
  SmackState* s = smack->state;
  smack->LastRectx = smack->LastRecty = smack->LastRectw = smack->LastRecth = 0;
  if (s->wholeNext) {
    smack->LastRectw = smack->Width;
    smack->LastRecth = smack->Height;
    return;
  }
  DWORD x0 = smack->Width, y0 = smack->Height, x1 = 0, y1 = 0;
  for (DWORD y = 0; y < smack->Height; ++y) {
    const size_t row = static_cast<size_t>(y) * smack->Width;
    for (DWORD x = 0; x < smack->Width; ++x) {
      if (s->current.pixels[row + x] == s->shown[row + x]) continue;
      x0 = std::min(x0, x);
      x1 = std::max(x1, x + 1);
      y0 = std::min(y0, y);
      y1 = y + 1;
    }
  }
  if (x1 == 0) return;
  smack->LastRectx = x0;
  smack->LastRecty = y0;
  smack->LastRectw = x1 - x0;
  smack->LastRecth = y1 - y0;
}

HWND g_SoundWindow = nullptr;

void StopVoices(SmackState* s) {
  for (IDirectSoundBuffer* voice : s->voices) {
    voice->Stop();
    voice->Release();
  }
  s->voices.clear();
}

// The current frame's sound, started now.
void PlayFrameSound(Smack* smack) {
  SmackState* s = smack->state;
  const VideoInfo& info = s->file->Info();
  const int block = info.soundChannels * info.soundBits / 8;
  if (!s->soundOn || s->soundFailed || info.soundRate <= 0 || block <= 0) return;
  const DWORD bytes = static_cast<DWORD>(s->current.sound.size() / static_cast<size_t>(block) * block);
  if (bytes < DSBSIZE_MIN) return;
  if (!s->sound) {
    if (!g_SoundWindow || DirectSoundCreate(nullptr, &s->sound, nullptr) != DS_OK) {
      s->sound = nullptr;
      s->soundFailed = true;
      OutputDebugString("korvane: the video plays without sound\n");
      return;
    }
    if (s->sound->SetCooperativeLevel(g_SoundWindow, DSSCL_NORMAL) != DS_OK) {
      s->sound->Release();
      s->sound = nullptr;
      s->soundFailed = true;
      return;
    }
  }
  // Voices that have played out go.
  std::erase_if(s->voices, [](IDirectSoundBuffer* voice) {
    DWORD status = 0;
    if (voice->GetStatus(&status) == DS_OK && (status & DSBSTATUS_PLAYING)) return false;
    voice->Release();
    return true;
  });
  WAVEFORMATEX format;
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(info.soundChannels);
  format.nSamplesPerSec = static_cast<DWORD>(info.soundRate);
  format.nBlockAlign = static_cast<WORD>(block);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  format.wBitsPerSample = static_cast<WORD>(info.soundBits);
  DSBUFFERDESC description;
  description.dwSize = 20;
  description.dwFlags = DSBCAPS_STATIC;
  description.dwBufferBytes = bytes;
  description.lpwfxFormat = &format;
  IDirectSoundBuffer* voice = nullptr;
  if (s->sound->CreateSoundBuffer(&description, &voice, nullptr) != DS_OK || !voice) return;
  void* part1 = nullptr;
  void* part2 = nullptr;
  DWORD bytes1 = 0, bytes2 = 0;
  if (voice->Lock(0, bytes, &part1, &bytes1, &part2, &bytes2, DSBLOCK_ENTIREBUFFER) != DS_OK) {
    voice->Release();
    return;
  }
  std::memcpy(part1, s->current.sound.data(), std::min(bytes1, bytes));
  voice->Unlock(part1, bytes1, part2, bytes2);
  voice->Play(0, 0, 0);
  s->voices.push_back(voice);
}

}  // namespace

void SmackSoundUseDirectSound(void* /*directSound*/) {
  // The library always makes its own output (SmackSoundUseWindow names the
  // window it needs).
}

void SmackSoundUseWindow(HWND window) { g_SoundWindow = window; }

Smack* SmackOpen(const char* name, DWORD /*flags*/, DWORD /*extraBuffers*/) {
  std::string path, error;
  if (!name || !PathResolve(name, &path)) {
    OutputDebugString((std::string("korvane: no video file ") + (name ? name : "(null)") + "\n").c_str());
    return nullptr;
  }
  std::unique_ptr<PlatformVideoFile> file = PlatformBackendGet().video->Open(path, &error);
  if (!file) {
    OutputDebugString(("korvane: video not played: " + error + "\n").c_str());
    return nullptr;
  }
  auto* smack = new Smack;
  smack->state = new SmackState;
  smack->state->file = std::move(file);
  smack->state->lastMs = timeGetTime();
  const VideoInfo& info = smack->state->file->Info();
  smack->Width = static_cast<DWORD>(info.width);
  smack->Height = static_cast<DWORD>(info.height);
  smack->Frames = static_cast<DWORD>(info.frameCount);
  smack->MSPerFrame = (info.frameMicros + 500) / 1000;
  if (!DecodeNext(smack)) {
    OutputDebugString(("korvane: video not played: the first frame of " + path + " cannot be decoded\n").c_str());
    SmackClose(smack);
    return nullptr;
  }
  smack->NewPalette = 1;
  return smack;
}

void SmackToBuffer(Smack* smack, DWORD left, DWORD top, DWORD pitch, DWORD destHeight, void* buffer, DWORD flags) {
  SmackState* s = smack->state;
  s->buffer = static_cast<uint8_t*>(buffer);
  s->left = left;
  s->top = top;
  s->pitch = pitch;
  s->destHeight = destHeight;
  s->bufferFlags = flags;
}

DWORD SmackDoFrame(Smack* smack) {
  SmackState* s = smack->state;
  WriteFrame(smack);
  FindChangedRect(smack);
  s->shown = s->current.pixels;
  s->wholeNext = false;
  PlayFrameSound(smack);
  s->rectPending = smack->LastRectw > 0;
  // The next frame is due a frame time after this one was, unless the player
  // fell a whole frame behind: then the pace starts again from now.
  const uint64_t now = NowMicros(s);
  const uint64_t frame = s->file->Info().frameMicros;
  s->dueMicros = !s->timing || now >= s->dueMicros + frame ? now + frame : s->dueMicros + frame;
  s->timing = true;
  return 0;
}

DWORD SmackToBufferRect(Smack* smack, DWORD /*surface*/) {
  const bool pending = smack->state->rectPending;
  smack->state->rectPending = false;
  return pending ? 1 : 0;
}

void SmackNextFrame(Smack* smack) {
  SmackState* s = smack->state;
  if (smack->FrameNum + 1 >= smack->Frames) return;
  if (!DecodeNext(smack)) {
    EndAtCurrent(smack);
    return;
  }
  // A palette change alters every pixel on the screen, so it counts as a
  // change of the whole video.
  if (smack->NewPalette) s->wholeNext = true;
  ++smack->FrameNum;
}

void SmackGoto(Smack* smack, DWORD frame) {
  SmackState* s = smack->state;
  StopVoices(s);
  frame = std::min(frame, smack->Frames - 1);
  s->wholeNext = true;
  s->timing = false;
  if (!s->file->Rewind()) {
    EndAtCurrent(smack);
    return;
  }
  smack->FrameNum = 0;
  const std::array<uint8_t, 768> before = s->current.palette;
  if (!DecodeNext(smack)) {
    EndAtCurrent(smack);
    return;
  }
  while (smack->FrameNum < frame) {
    if (!DecodeNext(smack)) {
      EndAtCurrent(smack);
      break;
    }
    ++smack->FrameNum;
  }
  SetPalette(smack, s->current.palette, s->current.palette != before);
}

DWORD SmackWait(Smack* smack) {
  SmackState* s = smack->state;
  if (!s->timing || NowMicros(s) >= s->dueMicros) return 0;
  Sleep(1);
  return 1;
}

DWORD SmackSoundOnOff(Smack* smack, DWORD on) {
  if (smack) {
    smack->state->soundOn = on != 0;
    if (!on) StopVoices(smack->state);
  }
  return on != 0 ? 1 : 0;
}

void SmackClose(Smack* smack) {
  if (!smack) return;
  StopVoices(smack->state);
  if (smack->state->sound) smack->state->sound->Release();
  delete smack->state;
  delete smack;
}
