#include "media/picture.h"

#include <algorithm>
#include <cstring>

#include "engine/records.h"
#include "media/back_buffer_access.h"
#include "media/blend_table.h"
#include "media/bmp_member.h"
#include "media/interface_display.h"
#include "media/media_services.h"
#include "platform/clock.h"
#include "platform/direct_draw.h"
#include "platform/gdi.h"

namespace {

constexpr const char* kSource = "picture";

// Missing, file header, not "BM", header, pixels, not 8-bit.
constexpr BmpFatalLines kLines = {164, 172, 179, 193, 211, 218};

// korvanesw's system colours 0..9 while a picture's palette is the screen's.
constexpr PALETTEENTRY kSoftwareLowColours[10] = {{0, 0, 0, 0},     {128, 128, 128, 0}, {128, 0, 0, 0},
                                                  {128, 128, 0, 0}, {0, 128, 0, 0},     {0, 128, 128, 0},
                                                  {0, 0, 128, 0},   {128, 0, 128, 0},   {128, 128, 64, 0},
                                                  {0, 64, 64, 0}};

void RestoreAndSetPalette(IDirectDrawSurface* surface, IDirectDrawPalette* palette) {
  if (!surface) return;
  if (surface->IsLost() == DDERR_SURFACELOST) surface->Restore();
  surface->SetPalette(palette);
}

// Only the colours the picture has are used; the rest stay black.
void TakeColours(const BmpMember& member) {
  RGBQUAD colours[256] = {};
  PALETTEENTRY entries[256] = {};
  for (int i = 0; i < member.image.colourCount; ++i) {
    const uint8_t* c = member.Colour(i);
    colours[i] = RGBQUAD{c[0], c[1], c[2], 0};
    entries[i] = PALETTEENTRY{c[2], c[1], c[0], 0};
  }
  CInterfaceDisplay* display = InterfaceDisplay();
  if (display && display->IsPaletteMissing()) {
    if (MediaGetServices().picturesSetScreenPalette) {
      std::copy(kSoftwareLowColours, kSoftwareLowColours + 10, entries);
      display->SetPaletteEntries(entries);
      display->CreatePalette();
      RestoreAndSetPalette(display->GetPrimarySurface(), display->GetPaletteObject());
      RestoreAndSetPalette(display->GetBackSurface(), display->GetPaletteObject());
    } else {
      display->SetPaletteEntries(entries);
    }
  }
  if (!BlendTableBuilt()) BuildBlendTable(colours);
}

}  // namespace

CPicture::CPicture(const char* file, const char* archive) { Load(file, archive, true); }

bool CPicture::Load(const char* file, const char* archive, bool mandatory) {
  // Copies first: a reload passes the picture's own names.
  const CString fileName = file;
  const CString archiveName = archive && *archive ? archive : MediaMissionArchive();
  file_ = fileName;
  archive_ = archiveName;
  Free();
  MediaPollMessageQueue();
  BmpMember member;
  const BmpMemberStatus status = BmpMemberLoad(archiveName, fileName, &member);
  if (status != BmpMemberStatus::Loaded) {
    if (mandatory) MediaFatalError(kSource, BmpFatalLine(kLines, status, member.fault));
    return false;
  }
  image_.width = member.image.width;
  image_.height = member.image.height;
  image_.rowBytes = member.image.rowBytes;
  image_.pixels.assign(member.Pixels(), member.Pixels() + member.image.pixelBytes);
  TakeColours(member);
  return true;
}

void CPicture::Free() {
  image_ = Image{};
  blendSource_ = Image{};
  reload_ = false;
}

void CPicture::FreeBlendSource() {
  blendSource_ = Image{};
  fadeLevel_ = 0.0f;
}

void CPicture::Unload() {
  Free();
  reload_ = true;
}

uint8_t CPicture::PixelAt(int x, int y) const { return image_.Row(y)[x]; }

bool CPicture::EnsureLoaded() {
  if (!IsLoaded() && reload_) Load(file_, archive_, true);
  return IsLoaded();
}

void CPicture::Draw(int x, int y, bool transparent) { DrawImage(x, y, transparent ? Mode::Keyed : Mode::Opaque); }

void CPicture::DrawAt(int x, int y) { DrawBlended(x, y); }

void CPicture::DrawBlended(int x, int y) {
  const CInterfaceDisplay* display = InterfaceDisplay();
  if (!display || !display->GetPrimarySurface()) return;
  DrawImage(x, y, Mode::Blended);
}

void CPicture::DrawImage(int x, int y, Mode mode) {
  if (!EnsureLoaded()) return;
  CBackBufferAccess access;
  if (!access.Bits()) return;
  const bool blending = mode == Mode::Blended && HasBlendSource();
  // Clipped to the target on all four sides (and, while blending, to the
  // part the old image covers too); 64-bit so that no position overflows.
  int64_t width = image_.width, height = image_.height;
  if (blending) {
    width = std::min<int64_t>(width, blendSource_.width);
    height = std::min<int64_t>(height, blendSource_.height);
  }
  const int left = static_cast<int>(std::max<int64_t>(x, 0));
  const int top = static_cast<int>(std::max<int64_t>(y, 0));
  const int right = static_cast<int>(std::min<int64_t>(int64_t{x} + width, access.Width()));
  const int bottom = static_cast<int>(std::min<int64_t>(int64_t{y} + height, access.Height()));
  if (left >= right || top >= bottom) return;
  const uint8_t alpha = static_cast<uint8_t>(std::clamp(static_cast<int>(fadeLevel_ * 255.0f), 0, 255));
  for (int row = top; row < bottom; ++row) {
    const uint8_t* source = image_.Row(row - y) + (left - x);
    uint8_t* target = access.Bits() + static_cast<ptrdiff_t>(row) * access.Pitch() + left;
    const int count = right - left;
    if (blending) {
      const uint8_t* old = blendSource_.Row(row - y) + (left - x);
      for (int i = 0; i < count; ++i) target[i] = BlendStep(old[i], source[i], alpha);
    } else if (mode == Mode::Keyed) {
      for (int i = 0; i < count; ++i) {
        if (source[i] != kPictureColourKey) target[i] = source[i];
      }
    } else {
      std::memcpy(target, source, static_cast<size_t>(count));
    }
  }
  if (CInterfaceDisplay* display = InterfaceDisplay()) display->BlitRect(left, top, right - left, bottom - top);
}

void CPicture::CrossFadeFrom(float rate, const char* file, const char* archive) {
  blendSource_ = Image{};
  if (!IsLoaded()) {
    Load(file, archive, true);
    return;
  }
  Image kept = std::move(image_);
  fadeLevel_ = 0.0f;
  lastStep_ = 0;
  fadeRate_ = rate;
  Load(file, archive, true);
  blendSource_ = std::move(kept);
}

void CPicture::DrawFading(int x, int y) {
  if (HasBlendSource()) {
    const DWORD now = timeGetTime();
    if (lastStep_ == 0) lastStep_ = now - 1;
    // The unsigned difference stays right across the clock's wrap.
    fadeLevel_ += static_cast<float>(now - lastStep_) * fadeRate_ * 0.001f;
    lastStep_ = now;
    if (fadeLevel_ > 1.0f) FreeBlendSource();
    DrawBlended(x, y);
  } else if (fadeLevel_ < 1.0f) {
    fadeLevel_ = 1.001f;
    DrawBlended(x, y);
  }
}
