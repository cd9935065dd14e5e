// The frame driver: once per idle call the document keeps the traffic rates
// and has its views redraw at once; each redraw's simulation step runs
// UpdateFrame, which fixes the order the world simulation advances in.
#include "engine/light.h"
#include "engine/polygon_group.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/framework/window_manager.h"
#include "world/script/event_manager.h"

FrameStepObserver g_FrameStepObserver = nullptr;

namespace {

constexpr int kRateIntervalMs = 1000;

void Step(const char* name) {
  if (g_FrameStepObserver) g_FrameStepObserver(name);
}

}  // namespace

int CNetDoc::FrameTick() {
  const int now = GetGameTime();
  const int elapsed = GameTimeSince(statisticsTime_, now);
  if (elapsed > kRateIntervalMs) {
    receivedRate_ = static_cast<float>(bytesReceived_) * 1000.0f / static_cast<float>(elapsed);
    sentRate_ = static_cast<float>(bytesSent_) * 1000.0f / static_cast<float>(elapsed);
    bytesReceived_ = bytesSent_ = 0;
    statisticsTime_ = now;
  }
  for (POSITION at = GetFirstViewPosition(); at;) {
    CView* view = GetNextView(at);
    if (!view || !IsWindow(view->m_hWnd)) continue;
    if (CNetView* gameView = dynamic_cast<CNetView*>(view)) gameView->RedrawNow();
  }
  return 0;
}

void CNetDoc::UpdateFrame(int dtMs) {
  Step("FlushDeferredDeletes");
  FlushDeferredDeletes();
  if (g_pEventManager) {
    Step("UpdateTimedEvents");
    g_pEventManager->UpdateTimedEvents(dtMs);
  }
  Step("Lockouts");
  if (gunLockout_ > 0) gunLockout_ -= dtMs;
  if (missileLockout_ > 0) missileLockout_ -= dtMs;
  Step("UpdateCameras");
  UpdateCameras(dtMs);
  Step("UpdateFlashingGroups");
  UpdateFlashingGroups();
  Step("UpdateTextureAnimations");
  UpdateTextureAnimations();
  Step("UpdateAnimatedObjects");
  UpdateAnimatedObjects();
  Step("UpdateButtons");
  UpdateButtons();
  Step("UpdatePlayers");
  UpdatePlayers();
  Step("ApplyHazardZones");
  ApplyHazardZones();
  Step("UpdateObjects");
  UpdateObjects(dtMs);
  if (IsFireHeld()) {
    Step("FireGun");
    FireGun();
  }
  Step("CoolWithFreon");
  CoolWithFreon();
  Step("UpdateArcs");
  UpdateArcs();
  Step("UpdateAttachedLights");
  UpdateAttachedLights();
  Step("UpdateCountdown");
  UpdateCountdown(dtMs);
  Step("UpdateSpinningClocks");
  UpdateSpinningClocks();
  Step("PollNetwork");
  PollNetwork();
}

void CNetDoc::HideOwnShip() {
  if (!chaseView_ && shipInstance_ && !IsCustomCameraActive()) shipInstance_->collidable = 0;
}

void CNetDoc::ShowOwnShip() {
  if (shipInstance_ && localPlayer_ && !localPlayer_->IsDead()) shipInstance_->collidable = 1;
}

void CNetDoc::UpdateAttachedLights() {
  for (POSITION at = attachedLights_.GetHeadPosition(); at;) {
    AttachedLight* record = static_cast<AttachedLight*>(attachedLights_.GetNext(at));
    LightDelete(record->light);
    record->light = nullptr;
    if (!GroupIsVisible(record->group)) continue;
    float x, y, z;
    GroupGetCentre(record->group, &x, &y, &z);
    record->light = LightCreate(world_, x, y, z, 0, 0, 0, 3.0f, record->size, record->size * 4.0f, 0, 1);
  }
}
