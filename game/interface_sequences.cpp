// The two full-screen sequences with loops of their own on the main thread:
// the newspaper pages that spin in before a new campaign, and the credits
// rising over their background. They keep the window alive by looking at
// the message queue (which also brings the input), read the keys from the
// key tables, and end early when the program has been asked to quit.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/app_services.h"
#include "media/back_buffer_access.h"
#include "media/picture.h"
#include "platform/clock.h"
#include "platform/framework/window_manager.h"
#include "platform/keys.h"

namespace {

constexpr const char* kArchive = "INTERFC.CAN";
constexpr uint32_t kCreditsStepMs = 15;
constexpr int kCreditsGap = 500;

// A quit asked for while a sequence runs ends it: the message loop takes the
// quit as soon as the sequence returns.
bool QuitPending() {
  MSG msg;
  return PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

}  // namespace

int NextCreditsPosition(int position, int height) { return position + 1 >= height ? -kCreditsGap : position + 1; }

int CreditsSourceRow(int position, int screenRow, int height) {
  const int row = position + screenRow;
  return row >= 0 && row < height ? row : -1;
}

void CInterface::ShowPaperSequence() {
  CPicture page;
  ShowCursor(FALSE);
  int screenWidth = 0, screenHeight = 0;
  {
    CBackBufferAccess access;
    if (!access.Bits()) {
      ShowCursor(TRUE);
      return;
    }
    screenWidth = std::min(access.Width(), 1024);
    screenHeight = access.Height();
  }
  std::vector<uint8_t> row(static_cast<size_t>(screenWidth));
  DWORD start = timeGetTime();
  int number = 0;
  int w = 0, h = 0;
  double angle = 1.0;  // not yet drawn at rest
  for (int pass = 0;; ++pass) {
    if (pass % 10 == 0) PollMessageQueue();
    if (QuitPending()) break;
    DWORD t = timeGetTime() - start;
    if (t > 300 && IsKeyDown(DIK_ESCAPE)) break;
    if ((t > 300 && IsKeyDown(DIK_SPACE)) || t > 5500 || number == 0) {
      ++number;
      char name[32];
      std::snprintf(name, sizeof name, "paper%02d.bmp", number);
      if (!page.Load(name, kArchive, false)) break;
      w = std::min(page.GetWidth(), 1024);
      h = std::min(page.GetHeight(), 768);
      start = timeGetTime();
      t = 0;
      angle = 1.0;
    }
    double scale = 1.0;
    if (t < 1500) {
      angle = static_cast<double>(t) * 3.1415925 * 0.004;
      const double f = static_cast<double>(t) * 0.00066666666;
      scale = 1.0 / (0.05 + 0.95 * f * f);
    } else if (angle == 0.0) {
      Sleep(1);  // the page rests; the clock moves on
      continue;
    } else {
      angle = 0.0;
    }
    const int64_t du = static_cast<int64_t>(std::sin(angle) * scale * 65536.0);
    const int64_t dv = static_cast<int64_t>(std::cos(angle) * scale * 65536.0);
    {
      CBackBufferAccess access;
      if (!access.Bits()) break;
      const int cx = screenWidth / 2, cy = screenHeight / 2;
      for (int y = 0; y < screenHeight && y < access.Height(); ++y) {
        // The source point of the row's first pixel, in 16.16.
        int64_t u = (static_cast<int64_t>(w / 2) << 16) - cx * dv + (y - cy) * du;
        int64_t v = (static_cast<int64_t>(h / 2) << 16) + cx * du + (y - cy) * dv;
        for (int x = 0; x < screenWidth; ++x, u += dv, v -= du) {
          const int64_t sx = u >> 16, sy = v >> 16;
          row[static_cast<size_t>(x)] = (sx >= 0 && sx < w && sy >= 0 && sy < h)
                                            ? page.PixelAt(static_cast<int>(sx), static_cast<int>(sy))
                                            : 0;
        }
        std::copy(row.begin(), row.end(), access.Bits() + static_cast<size_t>(y) * access.Pitch());
      }
    }
    BlitRect(0, 0, 640, 480);
    Sleep(10);  // a frame's time
  }
  while (!QuitPending() && (IsKeyDown(DIK_SPACE) || IsKeyDown(DIK_ESCAPE))) {
    PollMessageQueue();
    Sleep(1);
  }
  ClearKeys();
  ShowCursor(TRUE);
}

void CInterface::ShowCredits() {
  CPicture credit, back;
  SetDirectDrawing(true);
  ShowCursor(FALSE);
  {
    CBackBufferAccess access;
    if (!access.Bits()) {
      ShowCursor(TRUE);
      SetDirectDrawing(false);
      return;
    }
  }
  credit.Load("credit.bmp", kArchive, true);
  back.Load("back.bmp", kArchive, true);
  if (back.GetWidth() != 640 || back.GetHeight() != 480) CGameApp::FatalError("dd", 4571);
  if (credit.GetWidth() != 640) CGameApp::FatalError("dd", 4575);
  if (credit.GetHeight() < 960) CGameApp::FatalError("dd", 4580);
  const int height = credit.GetHeight();
  creditsPosition_ = -kCreditsGap;
  creditsSteps_ = 0;
  DWORD last = timeGetTime();
  while (!IsKeyDown(DIK_ESCAPE) && !IsKeyDown(DIK_SPACE) && !QuitPending()) {
    creditsPosition_ = NextCreditsPosition(creditsPosition_, height);
    ++creditsSteps_;
    if (creditsPosition_ % 4 == 0) PollMessageQueue();
    while (timeGetTime() - last < kCreditsStepMs) {
      PollMessageQueue();
      Sleep(1);
    }
    last = timeGetTime();
    {
      CBackBufferAccess access;
      if (!access.Bits()) break;
      const int rows = std::min(480, access.Height());
      const int columns = std::min(640, access.Width());
      for (int r = 0; r < rows; ++r) {
        uint8_t* out = access.Bits() + static_cast<size_t>(r) * access.Pitch();
        const int source = CreditsSourceRow(creditsPosition_, r, height);
        for (int x = 0; x < columns; ++x) {
          const uint8_t pixel = source >= 0 ? credit.PixelAt(x, source) : 255;
          out[x] = pixel == 255 ? back.PixelAt(x, r) : pixel;
        }
      }
    }
    BlitRect(0, 0, 640, 480);
  }
  ClearKeys();
  ShowCursor(TRUE);
  SetDirectDrawing(false);
}
