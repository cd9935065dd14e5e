// The radar: a small image centred on the player's ship with its heading up,
// the targets as crosses coloured by height and the beacon's ring, rebuilt
// at most every 81 ms of game time and copied into the 2-D target each
// frame.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "engine/palette.h"
#include "engine/polygon_group.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/hud_layout.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "game/radar_geometry.h"
#include "media/back_buffer_access.h"

namespace {

constexpr int kRebuildMs = 81;
constexpr float kRingSpeed = 16.0f;  // radar pixels per second
constexpr float kRingStart = 2.0f;
constexpr float kPi = 3.1415925f;

// The nine height colours, from far above the ship (0) to far below (8).
constexpr int kHeightColours[kRadarHeightBands][3] = {{63, 63, 0},   {127, 127, 0}, {191, 191, 0},
                                                      {255, 255, 0}, {255, 255, 255}, {0, 0, 255},
                                                      {0, 0, 191},   {0, 0, 127},   {0, 0, 63}};

// A radar coordinate to whole pixels toward zero; false for one too far off
// the radar to convert (or not a number), which is never plotted.
bool RadarPixel(float value, int* pixel) {
  if (!(value > -1e6f && value < 1e6f)) return false;
  *pixel = static_cast<int>(value);
  return true;
}

}  // namespace

void CNetDoc::DrawRadar() {
  if (!radarShown_ || IsNetworkGame()) return;
  int screenHeight = 0;
  {
    CBackBufferAccess access;
    if (!access.Bits()) return;
    screenHeight = access.Height();
  }
  const int size = RadarSizeFor(screenHeight, IsHudCockpitOn());
  radarValues_[0] = radarValues_[1] = size;
  RenderRadarImage();
  if (!radarImage_ || radarCapacity_ < size * size) return;

  const HudLayout layout = CurrentHudLayout();
  if (layout != HudLayout::Cockpit && layout != HudLayout::Plain && !IsHudCockpitOn()) return;
  const RadarCorner at = RadarCornerFor(static_cast<int>(layout), size);
  {
    CBackBufferAccess access;
    if (!access.Bits()) return;
    // Row by row, the parts outside the target left out.
    const int left = std::max(at.x, 0), right = std::min(at.x + size, access.Width());
    for (int row = 0; row < size && left < right; ++row) {
      const int y = at.y + row;
      if (y < 0 || y >= access.Height()) continue;
      std::memcpy(access.Bits() + static_cast<ptrdiff_t>(y) * access.Pitch() + left,
                  radarImage_.get() + static_cast<ptrdiff_t>(row) * size + (left - at.x),
                  static_cast<size_t>(right - left));
    }
  }
  if (view_) {
    view_->AddDirtyRect(static_cast<float>(at.x), static_cast<float>(at.y), static_cast<float>(at.x + size),
                        static_cast<float>(at.y + size));
  }
}

bool CNetDoc::RadarPlot(int x, int y, int halfWidth, int halfHeight, unsigned char colour) {
  if (x <= -halfWidth || x >= halfWidth - 1 || y <= -halfHeight || y >= halfHeight - 1) return false;
  const int column = halfWidth + x, row = halfHeight - y;
  // The bounds above keep every plot inside an image of 2h x 2v; an image
  // one pixel smaller (odd sizes) still holds it, but the buffer is checked
  // all the same.
  const int width = radarValues_[0];
  if (!radarImage_ || column < 0 || row < 0 || column >= width || row >= radarValues_[1]) return false;
  radarImage_[static_cast<size_t>(row) * width + column] = colour;
  return true;
}

void CNetDoc::RenderRadarImage() {
  const int width = std::max(radarValues_[0], 1), height = std::max(radarValues_[1], 1);
  const int bytes = width * height;
  bool fresh = false;
  if (!radarImage_ || radarCapacity_ < bytes) {
    radarImage_.reset();
    radarCapacity_ = 0;
    radarImage_.reset(new (std::nothrow) uint8_t[bytes]);
    if (!radarImage_) return;
    radarCapacity_ = bytes;
    fresh = true;
  }

  // A new buffer holds nothing yet: it is built at once, not after 81 ms.
  const int now = GetGameTime();
  const int elapsed = GameTimeSince(static_cast<int32_t>(radarTimes_[0]), now);
  if (!fresh && elapsed < kRebuildMs) return;
  const float dts = static_cast<float>(std::max(elapsed, 0)) * 0.001f;
  radarTimes_[0] = static_cast<uint32_t>(now);

  // Blinking enemies are left out in the second half of every second.
  if (GameTimeSince(static_cast<int32_t>(radarTimes_[1]), now) > 0) {
    radarTimes_[1] = static_cast<uint32_t>(GameTimeAdd(now, 1000));
  }
  const bool blinkPhase = GameTimeSince(now, static_cast<int32_t>(radarTimes_[1])) < 500;

  unsigned char colours[kRadarHeightBands];
  for (int i = 0; i < kRadarHeightBands; ++i) {
    colours[i] = static_cast<unsigned char>(
        FindPaletteColour(kHeightColours[i][0], kHeightColours[i][1], kHeightColours[i][2]));
  }
  const auto background = static_cast<unsigned char>(FindPaletteColour(0, 40, 0));
  const auto lines = static_cast<unsigned char>(FindPaletteColour(0, 130, 0));

  uint8_t* image = radarImage_.get();
  std::memset(image, background, static_cast<size_t>(bytes));
  const auto set = [&](int column, int row, unsigned char colour) {
    if (column >= 0 && column < width && row >= 0 && row < height) {
      image[static_cast<size_t>(row) * width + column] = colour;
    }
  };
  // The view lines, dotted: the two diagonals from the top corners to the
  // centre and the line from the centre down.
  for (int i = 0; i <= width / 4; ++i) {
    set(2 * i, 2 * i, lines);
    set(width - 1 - 2 * i, 2 * i, lines);
    set(width - width / 2 - 1, height - 1 - 2 * i, lines);
  }

  const int h = width / 2, v = height / 2;
  const float scale = RadarScale(h, v);
  float shipX = 0, shipY = 0, shipZ = 0, heading = 0;
  if (localPlayer_) {
    const float* m = localPlayer_->GetOrientation();
    shipX = m[12];
    shipY = m[13];
    shipZ = m[14];
    heading = RadarHeading(m[8], m[10]);
  }

  CPtrList targets;
  CollectTargetPositions(targets, nullptr, blinkPhase);
  while (!targets.IsEmpty()) {
    auto* target = static_cast<TargetPosition*>(targets.RemoveHead());
    const int c = RadarHeightBand(target->y, shipY);
    const RadarPoint p = RadarProject(target->x - shipX, target->z - shipZ, heading, scale);
    delete target;
    if (c < 0 || c >= kRadarHeightBands) continue;
    int px = 0, py = 0;
    if (!RadarPixel(p.x, &px) || !RadarPixel(p.y, &py)) continue;
    if (!(1 - h < px && px < h - 1 && 1 - v < py && py < v - 1)) continue;
    const int column = h + px, row = v - py;
    set(column, row, colours[c]);
    set(column - 1, row, colours[c]);
    set(column + 1, row, colours[c]);
    set(column, row - 1, colours[c]);
    set(column, row + 1, colours[c]);
  }

  if (beaconGroup_) {
    if (GroupIsVisible(beaconGroup_)) {
      beaconActive_ = 1;
      GroupGetCentre(beaconGroup_, &beaconPosition_[0], &beaconPosition_[1], &beaconPosition_[2]);
    } else {
      beaconActive_ = 0;
      beaconGroup_ = nullptr;
    }
  }
  const int c = beaconActive_ ? RadarHeightBand(beaconPosition_[1], shipY) : -1;
  if (c < 0 || c >= kRadarHeightBands) {
    radarScale_ = kRingStart;
    return;
  }
  float& ring = radarScale_;
  ring += kRingSpeed * dts;
  if (!(ring >= kRingStart)) ring = kRingStart;  // also a radius that is not a number
  const RadarPoint b = RadarProject(beaconPosition_[0] - shipX, beaconPosition_[2] - shipZ, heading, scale);
  const bool outside = !(b.x > static_cast<float>(-h) && b.x < static_cast<float>(h)) ||
                       !(b.y > static_cast<float>(-v) && b.y < static_cast<float>(v));
  // About one pixel along the ring per step.
  const float step = std::asin(std::min(1.1f / ring, 1.0f));
  // The sweep starts on the side toward the radar's centre; a beacon on the
  // centre has no such side and starts upward.
  const float distance = std::hypot(b.x, b.y);
  float startX = 0.0f, startY = ring;
  if (distance > 0.00001f) {
    startX = -b.x / distance * ring;
    startY = -b.y / distance * ring;
  }
  // Distances from the beacon to the radar's nearest and farthest corner.
  float nearest = 0.0f, farthest = 0.0f;
  for (const int cx : {-h, h}) {
    for (const int cy : {-v, v}) {
      const float d = std::hypot(b.x - static_cast<float>(cx), b.y - static_cast<float>(cy));
      nearest = (cx == -h && cy == -v) ? d : std::min(nearest, d);
      farthest = std::max(farthest, d);
    }
  }
  // The whole ring is swept: part of it may lie on the radar while the part
  // toward the centre does not (a beacon off a corner), so stopping at the
  // first step that plots nothing could leave it undrawn for good. A ring
  // wider than the farthest corner can't touch the radar and is not swept,
  // which also bounds the work after a long time without a rebuild (and a
  // beacon absurdly far off is not swept either).
  bool plotted = false;
  if (ring <= farthest + 2.0f && ring < 1e5f) {
    for (int k = 1; static_cast<float>(k) * step < kPi; ++k) {
      const float angle = static_cast<float>(k) * step;
      const float cs = std::cos(angle), sn = std::sin(angle);
      const float ax = startX * cs - startY * sn, ay = startX * sn + startY * cs;
      const float bx = startX * cs + startY * sn, by = -startX * sn + startY * cs;
      int x = 0, y = 0;
      if (RadarPixel(b.x + ax, &x) && RadarPixel(b.y + ay, &y)) plotted |= RadarPlot(x, y, h, v, colours[c]);
      if (RadarPixel(b.x + bx, &x) && RadarPixel(b.y + by, &y)) plotted |= RadarPlot(x, y, h, v, colours[c]);
    }
  }
  if (plotted) return;
  if (!outside) {
    ring = kRingStart;
    return;
  }
  // Off the radar the ring starts where it first reaches the radar's nearest
  // corner, once it has swept past the farthest one or has not come near
  // yet. In between it grows on even when a rebuild plots nothing: the
  // plotted area stops a pixel or two short of the corners, and starting
  // again at the corner each time would hold the ring there for good.
  if (ring > farthest || ring < nearest) ring = std::max(nearest, kRingStart);
}
