// The weapons' effects in korvanesw's game view over the started demo
// mission: plasma and rubber balls, a shield round the ship seen from the
// chase camera, the uncloak sphere, the script's fire sphere and the
// satellite's wall each change the presented picture where they stand.
// With KORVANE_VIEW_FRAMES set the frames are kept as PNG files there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "apps/korvanesw/software_variant.h"
#include "game/direct_player.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/framework/window_manager.h"
#include "tests/game/document_fixture.h"
#include "world/objects/generic_object.h"
#include "world/objects/object_list.h"
#include "world/objects/object_manager.h"

namespace {

class WeaponEffectsViewTest : public DocumentTest {
 protected:
  void TearDown() override {
    delete view_;
    view_ = nullptr;
    DocumentTest::TearDown();
  }
  void Start() {
    BuildVariantInstall(&software_);
    MakeInterface(1);
    ASSERT_TRUE(interface_->EnterFullScreen(-1));
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    view_ = new CNetView;
  }
  RgbFrame Frame() {
    ClockSetTime(timeGetTime() + 20);
    view_->OnDraw(nullptr);
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
    RgbFrame frame;
    EXPECT_TRUE(PlatformBackendGet().display->ReadPresented(&frame));
    return frame;
  }
  void ClearObjects() {
    while (g_pObjectManager->GetCount() > 0) {
      g_pObjectManager->RemoveObject(static_cast<CGenericObject*>(g_pObjectManager->GetObjects().GetHead()));
    }
  }
  // A point ahead of the ship and to its side (ship axes: side, down,
  // forward).
  void Ahead(float forward, float side, float down, float out[3]) const {
    CDirectPlayer* ship = doc_->GetLocalPlayer();
    const float* m = ship->GetOrientation();
    for (int i = 0; i < 3; ++i) out[i] = m[12 + i] + forward * m[8 + i] + side * m[i] + down * m[4 + i];
  }

  SoftwareVariant software_;
  CNetView* view_ = nullptr;
};

int DifferingPixels(const RgbFrame& a, const RgbFrame& b) {
  int count = 0;
  for (int y = 0; y < a.height && y < b.height; ++y) {
    for (int x = 0; x < a.width && x < b.width; ++x) {
      const Rgb8 p = a.At(x, y), q = b.At(x, y);
      if (p.r != q.r || p.g != q.g || p.b != q.b) ++count;
    }
  }
  return count;
}

void Keep(const RgbFrame& frame, const std::string& name) {
  if (const char* dir = std::getenv("KORVANE_VIEW_FRAMES")) RgbFrameWritePng(frame, (std::string(dir) + name).c_str());
}

TEST_F(WeaponEffectsViewTest, EachEffectChangesThePictureWhereItStands) {
  Start();
  for (int i = 0; i < 5; ++i) Frame();
  const RgbFrame still = Frame();
  Keep(still, "/still.png");
  struct Case {
    const char* name;
    bool chase;
    int frames;
    int least;  // differing pixels at least
    std::function<void()> make;
  };
  const std::vector<Case> cases = {
      {"plasma_balls", false, 2, 40,
       [&] {
         float p[3], v[3];
         for (int k = -2; k <= 2; ++k) {
           Ahead(30.0f, 4.0f * static_cast<float>(k), 0.0f, p);
           Ahead(40.0f, 4.0f * static_cast<float>(k), 0.0f, v);
           for (int i = 0; i < 3; ++i) v[i] = v[i] - p[i];
           doc_->SpawnFireBall(0, doc_->GetPlayerShip(), p[0], p[1], p[2], v[0], v[1], v[2], k & 1, 1.0f);
         }
       }},
      {"rubber_balls", false, 6, 40,
       [&] {
         float p[3], q[3];
         Ahead(30.0f, -10.0f, 0.0f, p);
         Ahead(30.0f, 10.0f, 0.0f, q);
         doc_->SpawnRubberBall(0, doc_->GetPlayerShip(), p[0], p[1], p[2], (q[0] - p[0]) * 0.5f,
                               (q[1] - p[1]) * 0.5f, (q[2] - p[2]) * 0.5f, 1.0f);
       }},
      {"vortex_shield", true, 3, 2000, [&] { doc_->SpawnPlayerVortexShield(0); }},
      {"sphere", false, 20, 2000,
       [&] {
         float p[3];
         Ahead(80.0f, 0.0f, 0.0f, p);
         doc_->SpawnSphere(0, p[0], p[1], p[2], 25.0f);
       }},
      {"fire_sphere", false, 15, 2000,
       [&] {
         float p[3];
         Ahead(90.0f, 0.0f, 0.0f, p);
         doc_->SpawnFireSphere(0, p[0], p[1], p[2], 30.0f, 600);
       }},
      {"energy_pulse", false, 60, 2000,
       [&] {
         float p[3];
         Ahead(120.0f, 0.0f, 0.0f, p);
         doc_->SpawnEnergyPulse(0, p[0], p[1], p[2], 16.0f, 0.0f);
       }},
  };
  for (const Case& c : cases) {
    ClearObjects();
    if (c.chase != doc_->IsExternalView()) doc_->ToggleChaseCamera();
    const RgbFrame before = Frame();
    c.make();
    RgbFrame after;
    for (int i = 0; i < c.frames; ++i) after = Frame();
    Keep(after, std::string("/") + c.name + ".png");
    EXPECT_GT(DifferingPixels(before, after), c.least) << c.name;
  }
}

}  // namespace
