// Flashing lights and texture animation of the level: the document's side
// (world/document/surface_animation.h keeps the records and steps them).
#include "engine/model.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "platform/debug_output.h"
#include "platform/framework/cstring.h"
#include "world/document/surface_animation.h"
#include "world/script/event_manager.h"

namespace {

// The source line the fatal exit reports for a timed frame naming no texture.
constexpr int kLineNoAnimationFrame = 3059;

SurfaceAnimation* Records(SurfaceAnimation*& records) {
  if (!records) records = new SurfaceAnimation(CrtRand);
  return records;
}

}  // namespace

void CNetDoc::LoadFlashingGroups() { Records(surfaceAnimation_)->LoadFlashingGroups(world_); }

void CNetDoc::LoadGroupTextureAnimations() {
  std::string missing;
  if (Records(surfaceAnimation_)->LoadGroupTextureAnimations(world_, &missing)) return;
  OutputDebugString(CString("korvane: no texture \"") + missing.c_str() + "\" for an animation frame\n");
  CGameApp::FatalError(kNetDocSource, kLineNoAnimationFrame);
}

void CNetDoc::BuildTextureSequences() { Records(surfaceAnimation_)->BuildTextureSequences(ModelListHead()); }

void CNetDoc::UpdateFlashingGroups() {
  if (surfaceAnimation_) surfaceAnimation_->UpdateFlashingGroups(static_cast<uint32_t>(GetGameTime()));
}

void CNetDoc::UpdateTextureAnimations() {
  if (!surfaceAnimation_) return;
  surfaceAnimation_->UpdateTextureAnimations(static_cast<uint32_t>(GetGameTime()), textureAnimationTime_,
                                             [](const char* event) {
                                               if (g_pEventManager) g_pEventManager->RaiseEvent(event, nullptr);
                                             });
}

void CNetDoc::ReleaseSurfaceAnimation() {
  // The model slots get their load-time textures back before the models go.
  delete surfaceAnimation_;
  surfaceAnimation_ = nullptr;
}
