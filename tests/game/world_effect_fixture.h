// The demo level started with the local ship in the hangar, a camera record,
// the effect options fixed, every effect sound recorded, and a network game
// with one far-away player on demand (its messages kept).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/animation.h"
#include "engine/instance.h"
#include "engine/matrix.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "media/sound_manager.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"
#include "tests/game/document_fixture.h"
#include "tests/game/fake_direct_play.h"
#include "world/objects/effect_services.h"
#include "world/objects/generic_object.h"
#include "world/objects/object_list.h"
#include "world/objects/object_manager.h"

struct PlayedEffectSound {
  int id;
  int flags;
};

class WorldEffectTest : public DocumentTest {
 protected:
  static std::vector<PlayedEffectSound>& Sounds() {
    static std::vector<PlayedEffectSound> sounds;
    return sounds;
  }
  static void RecordSound(int id, float, float, float, int flags) { Sounds().push_back({id, flags}); }

  void SetUp() override {
    DocumentTest::SetUp();
    g_GameTime = 50000;
    options_ = {true, false, 1};
    SetEffectOptionsOverride(&options_);
    Sounds().clear();
    g_EffectSoundObserver = &RecordSound;
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    events_->raised.clear();
    ship_ = doc_->GetLocalPlayer();
    ASSERT_NE(ship_, nullptr);
    doc_->SetInvulnerable(false);
    Place(ship_, 0, 40, -280);
    view_ = View{};
    MatrixSetIdentity(view_.cameraMatrix);
    view_.zoom = 1.0f;
    view_.focal = 320.0f;
    view_.width = 640;
    view_.height = 480;
    doc_->SetViewer(&view_);
  }
  void TearDown() override {
    if (doc_) doc_->SetViewer(nullptr);
    g_Net.Close();
    g_EffectSoundObserver = nullptr;
    SetEffectOptionsOverride(nullptr);
    DocumentTest::TearDown();
  }
  static void Place(CDirectPlayer* player, float x, float y, float z) {
    float* m = player->GetOrientation();
    MatrixSetIdentity(m);
    m[12] = x, m[13] = y, m[14] = z;
  }
  // An instance's spheres where its matrix puts them, as a frame's render
  // does, so that rays meet it.
  static void UpdateInstanceSpheres(Instance* instance) {
    InstanceUpdateMatrix(instance);
    for (InstanceNode* node = instance->firstNode; node; node = node->nextInInstance) {
      if (!node->parent) InstanceNodeUpdate(node, instance->animTime);
    }
  }
  // The local ship's instance where its record is.
  Instance* PlaceShipInstance() {
    Instance* ship = doc_->GetPlayerShip();
    if (!ship) return nullptr;
    InstanceSetMatrix(ship, ship_->GetOrientation(), 0);
    UpdateInstanceSpheres(ship);
    return ship;
  }
  CDirectPlayer* AddPlayer(DPID id, float x, float y, float z) {
    auto* player = new CDirectPlayer("t", "TT", id);
    doc_->AddPlayer(player);
    Place(player, x, y, z);
    return player;
  }
  void JoinNetwork() {
    DPADDRESS address{};
    ASSERT_TRUE(g_Net.InitConnection(address, std::make_unique<FakeDirectPlay>(&sends_)));
    ASSERT_TRUE(IsNetworkGame());
    AddPlayer(0xF00, 5000, 5000, 5000);
  }
  std::vector<std::vector<uint8_t>> Sent(uint16_t type) const {
    std::vector<std::vector<uint8_t>> found;
    for (const FakeSend& s : sends_) {
      if (s.bytes.size() >= 4 && (NetReadU32(s.bytes.data()) & ~kNetAckRequested) == kNetCodeBase + type) {
        found.push_back(s.bytes);
      }
    }
    return found;
  }
  // A creation message from another player: type, owner, clock, id 77,
  // action 1, the rest zero.
  static std::vector<uint8_t> Message(uint16_t type, size_t size, DPID owner) {
    std::vector<uint8_t> m(size, 0);
    NetWriteU32(m.data(), kNetCodeBase + type);
    NetWriteU32(m.data() + 4, owner);
    NetWriteU32(m.data() + 8, 1000);
    NetWriteU32(m.data() + 12, 77);
    m[16] = 1;
    return m;
  }
  int CountOf(uint16_t type) const {
    int count = 0;
    const CObjectList& list = g_pObjectManager->GetObjects();
    for (POSITION at = list.GetHeadPosition(); at;) {
      if (static_cast<CGenericObject*>(list.GetNext(at))->GetTypeCode() == type) ++count;
    }
    return count;
  }
  CGenericObject* Newest() const {
    return g_pObjectManager->GetCount() ? static_cast<CGenericObject*>(g_pObjectManager->GetObjects().GetTail())
                                        : nullptr;
  }
  // Stores the object under its class name and reads it back (the caller
  // deletes the copy).
  template <typename T>
  static T* RoundTrip(T* object) {
    CMemFile file;
    {
      CArchive ar(&file, CArchive::store);
      ar << static_cast<CObject*>(object);
      ar.Close();
    }
    CMemFile input(file.Data());
    CArchive ar(&input, CArchive::load);
    CObject* loaded = nullptr;
    ar >> loaded;
    T* typed = dynamic_cast<T*>(loaded);
    if (!typed) delete loaded;
    return typed;
  }
  int SoundCount(int id) const {
    int n = 0;
    for (const PlayedEffectSound& s : Sounds()) n += s.id == id;
    return n;
  }

  EffectOptions options_{};
  View view_{};
  CDirectPlayer* ship_ = nullptr;
  std::vector<FakeSend> sends_;
};
