// Script cameras and the countdown: the four path followers that the level
// script starts ("camerapath", "cameratargetpath", "playerpath",
// "playertargetpath"), their advance each frame and their release
// ("stopcamera"), and the script's countdown with its event. Script cameras
// exist in single play only.
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/network_game.h"
#include "media/sound_manager.h"
#include "platform/debug_output.h"
#include "world/paths/path_point.h"
#include "world/script/event_hooks.h"
#include "world/script/event_manager.h"

namespace {

// The target of a camera or of the player started with its own path runs
// this far ahead on it, so the view looks along the way.
constexpr int kLookAheadMs = 200;

// The ship's speeds and the fire key let go.
void StopLocalShip(CNetDoc* doc) {
  if (CDirectPlayer* player = doc->GetLocalPlayer()) player->StopMotion();
}

// The slot's follower, made when the slot is empty, started on the path.
void StartFollower(CNetDoc* doc, int slot, const CString& path, float seconds) {
  if (!doc->GetCameraSlot(slot)) doc->SetCameraSlot(slot, new CPathPoint);
  doc->GetCameraSlot(slot)->Start(path, seconds);
}

}  // namespace

void CNetDoc::CreateCustomCamera(const CString& path, float seconds) {
  if (IsNetworkGame()) return;
  StopLocalShip(this);
  if (!scriptCamera_) OutputDebugString(CString("korvane: the script camera flies along ") + path + "\n");
  scriptCamera_ = 1;
  StartFollower(this, kCameraPosition, path, seconds);
  if (!cameraSlots_[kCameraTarget]) {
    StartCameraTargetPath(path, seconds);
    if (CPathPoint* target = cameraSlots_[kCameraTarget]) target->Advance(kLookAheadMs, false);
  }
}

void CNetDoc::StartCameraTargetPath(const CString& path, float seconds) {
  if (IsNetworkGame()) return;
  StopLocalShip(this);
  StartFollower(this, kCameraTarget, path, seconds);
}

void CNetDoc::StartPlayerPath(const CString& path, float seconds) {
  if (IsNetworkGame()) return;
  StopLocalShip(this);
  StartFollower(this, kPlayerPosition, path, seconds);
  if (!cameraSlots_[kPlayerTarget]) {
    StartPlayerTargetPath(path, seconds);
    if (CPathPoint* target = cameraSlots_[kPlayerTarget]) target->Advance(kLookAheadMs, false);
  }
}

void CNetDoc::StartPlayerTargetPath(const CString& path, float seconds) {
  if (IsNetworkGame()) return;
  StartFollower(this, kPlayerTarget, path, seconds);
}

void CNetDoc::UpdateCameras(int dtMs) {
  if (IsNetworkGame()) return;
  // Each slot is read again before its advance: a node's event may release
  // every follower ("stopcamera") or start another.
  if (CPathPoint* p = cameraSlots_[kPlayerPosition]) p->Advance(dtMs, false);
  if (CPathPoint* p = cameraSlots_[kPlayerTarget]) p->Advance(dtMs, true);
  if (CPathPoint* p = cameraSlots_[kCameraTarget]) p->Advance(dtMs, true);
  if (CPathPoint* p = cameraSlots_[kCameraPosition]) {
    if (cameraSlots_[kCameraTarget]) {
      p->Advance(dtMs, false);
    } else {
      ReleaseCameras();
    }
  }
}

void CNetDoc::ReleaseCameras() {
  for (CPathPoint*& slot : cameraSlots_) {
    delete slot;
    slot = nullptr;
  }
  if (scriptCamera_) OutputDebugString("korvane: the script camera stops\n");
  scriptCamera_ = 0;
}

void CNetDoc::StartCountdown(int ms, const CString& event) {
  countdownMs_ = ms;
  countdownEvent_ = event;
  if (view_) view_->InvalidateHud();
}

void CNetDoc::UpdateCountdown(int dtMs) {
  if (countdownMs_ < 0 || dtMs < 1) return;
  const int32_t remaining = countdownMs_ - dtMs;
  // One tick for every whole second passed (division truncates towards 0,
  // so the step from 0 to below 0 has none).
  if (countdownMs_ / 1000 != remaining / 1000 && g_pSoundManager) {
    g_pSoundManager->PlaySoundVolumeNamed("counter", 0, 0);
  }
  countdownMs_ = remaining;
  if (remaining >= 0) return;
  // Cleared before the raise: the event may start a new countdown.
  const CString event = countdownEvent_;
  countdownEvent_ = "";
  if (g_pEventManager) g_pEventManager->RaiseEvent(event, "countdown");
  if (view_) view_->InvalidateHud();
}

void EventStartCountdown(int timeMs, const char* event) {
  if (g_pNetDoc) g_pNetDoc->StartCountdown(timeMs, event);
}

void EventStartPath(int slot, const char* pathName, int seconds) {
  CNetDoc* doc = g_pNetDoc;
  if (!doc) return;
  const CString path = pathName;
  const float time = static_cast<float>(seconds);
  switch (slot) {
    case CNetDoc::kCameraPosition: doc->CreateCustomCamera(path, time); break;
    case CNetDoc::kCameraTarget: doc->StartCameraTargetPath(path, time); break;
    case CNetDoc::kPlayerPosition: doc->StartPlayerPath(path, time); break;
    case CNetDoc::kPlayerTarget: doc->StartPlayerTargetPath(path, time); break;
    default: break;
  }
}

void EventStopCameras() {
  if (g_pNetDoc) g_pNetDoc->ReleaseCameras();
}
