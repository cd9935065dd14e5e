// The dynamic object base and the object manager: the tick's rules, finding
// by network name, the creation prefix, the target locks and the saved-game
// round trip by class name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/generic_object.h"
#include "world/objects/object_list.h"
#include "world/objects/object_manager.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/target_locks.h"

// An object that counts its updates, may spawn or kill others in its update
// and writes one field of its own. Saved by its class name.
class CTestCounterObject : public CGenericObject {
  DECLARE_SERIAL_CLASS(CTestCounterObject)
 public:
  CTestCounterObject() = default;
  CTestCounterObject(DPID owner, uint32_t id, int life) : CGenericObject(owner, id), life_(life) {
    active_ = true;
    typeCode_ = kTypeDust;
  }
  ~CTestCounterObject() override { ++deleted; }
  BOOL Update(uint32_t elapsedMs) override {
    ++updates;
    lastElapsed = elapsedMs;
    if (onUpdate) onUpdate(this);
    return --life_ > 0 ? TRUE : FALSE;
  }
  void Serialize(CArchive& ar) override {
    CGenericObject::Serialize(ar);
    if (ar.IsStoring()) {
      ar << life_;
    } else {
      ar >> life_;
      active_ = true;
    }
  }
  void SetActive(bool on) { active_ = on; }
  void SetUp(float x, float y, float z) {
    up_[0] = x;
    up_[1] = y;
    up_[2] = z;
  }
  const float* Up() const { return up_; }
  int Life() const { return life_; }

  int updates = 0;
  uint32_t lastElapsed = 0;
  void (*onUpdate)(CTestCounterObject*) = nullptr;
  static int deleted;

 private:
  int32_t life_ = 1;
};
int CTestCounterObject::deleted = 0;
IMPLEMENT_SERIAL_CLASS(CTestCounterObject, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

// Objects made by an update (the explosion a missile leaves).
CTestCounterObject* g_Spawned = nullptr;
CTestCounterObject* g_Victim = nullptr;

class ObjectManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CTestCounterObject::deleted = 0;
    g_Spawned = g_Victim = nullptr;
  }
  CTestCounterObject* Add(DPID owner, uint32_t id, int life) {
    auto* object = new CTestCounterObject(owner, id, life);
    manager_.AddObject(object);
    return object;
  }
  CObjectManager manager_;
};

TEST_F(ObjectManagerTest, TickUpdatesLiveObjectsAndRemovesEndedOnes) {
  CTestCounterObject* lasting = Add(5, 1, 100);
  Add(5, 2, 1);  // its first update answers FALSE
  CTestCounterObject* idle = Add(5, 3, 100);
  idle->SetActive(false);
  CTestCounterObject* killed = Add(5, 4, 100);
  killed->Kill();

  manager_.Update(16);
  EXPECT_EQ(lasting->updates, 1);
  EXPECT_EQ(lasting->lastElapsed, 16u);
  // The ended one and the killed one are gone; the inactive one is marked
  // dead, never updated, and goes at the next tick.
  EXPECT_EQ(CTestCounterObject::deleted, 2);
  EXPECT_EQ(manager_.GetCount(), 2);
  EXPECT_TRUE(idle->IsDead());
  EXPECT_EQ(idle->updates, 0);

  manager_.Update(16);
  EXPECT_EQ(CTestCounterObject::deleted, 3);
  EXPECT_EQ(manager_.GetCount(), 1);
  EXPECT_EQ(manager_.FindObject(5, 3), nullptr);
}

// An update may add objects (first updated at the next tick) and kill
// others; it removes no object but itself, so the tick never reaches a
// freed entry (the address sanitizer build holds this).
TEST_F(ObjectManagerTest, AnUpdateAddsAndKillsButRemovesOnlyItself) {
  CTestCounterObject* spawner = Add(5, 1, 100);
  g_Victim = Add(5, 2, 100);
  spawner->onUpdate = [](CTestCounterObject* self) {
    if (g_Spawned) return;
    g_Spawned = new CTestCounterObject(5, 9, 100);
    g_pObjectManager->AddObject(g_Spawned);
    g_Victim->Kill();
    self->Kill();
  };
  g_pObjectManager = &manager_;
  manager_.Update(10);
  g_pObjectManager = nullptr;

  EXPECT_EQ(spawner->updates, 1);
  ASSERT_NE(g_Spawned, nullptr);
  EXPECT_EQ(g_Spawned->updates, 0) << "an object added during a tick waits for the next";
  // The victim was killed before its turn: removed without an update.
  EXPECT_EQ(CTestCounterObject::deleted, 1);
  EXPECT_EQ(manager_.FindObject(5, 2), nullptr);

  manager_.Update(10);
  EXPECT_EQ(g_Spawned->updates, 1);
  EXPECT_EQ(manager_.GetCount(), 1) << "the spawner, killed in its own update, went at this tick";
}

TEST_F(ObjectManagerTest, FindNeedsOwnerAndIdAndRemoveOnlyTakesListedObjects) {
  CTestCounterObject* first = Add(5, 7, 100);
  Add(6, 7, 100);
  EXPECT_EQ(manager_.FindObject(5, 7), first);
  EXPECT_NE(manager_.FindObject(6, 7), first);
  EXPECT_EQ(manager_.FindObject(7, 7), nullptr);

  CTestCounterObject outsider(5, 8, 1);
  manager_.RemoveObject(&outsider);  // not in the list: not deleted
  manager_.RemoveObject(nullptr);
  manager_.AddObject(nullptr);
  EXPECT_EQ(CTestCounterObject::deleted, 0);
  EXPECT_EQ(manager_.GetCount(), 2);
  manager_.RemoveObject(first);
  EXPECT_EQ(CTestCounterObject::deleted, 1);
  EXPECT_EQ(manager_.FindObject(5, 7), nullptr);
}

TEST_F(ObjectManagerTest, TargetLocksLastOneTickAndCompareBothHalves) {
  CTestCounterObject* seeker = Add(5, 1, 100);
  static int lockedDuringTick = 0;
  seeker->onUpdate = [](CTestCounterObject*) {
    AddTargetLock(0x0000000500000000ull);
    lockedDuringTick = IsTargetLocked(0x0000000500000000ull) && !IsTargetLocked(0x0000000500000001ull) &&
                       !IsTargetLocked(0x0000000600000000ull);
  };
  AddTargetLock(42);  // left from outside a tick
  manager_.Update(10);
  EXPECT_EQ(lockedDuringTick, 1);
  EXPECT_EQ(TargetLockCount(), 0);
}

TEST(GenericObjectTest, CreationPrefixIsSeventeenLittleEndianBytes) {
  CTestCounterObject object(0x11223344, 0xA1B2C3D4, 1);
  uint8_t prefix[kCreatePrefixBytes] = {};
  object.WriteCreatePrefix(prefix);
  const uint32_t id = kMessageIdBase + kTypeDust;
  EXPECT_EQ(prefix[0], id & 0xFF);
  EXPECT_EQ(prefix[1], (id >> 8) & 0xFF);
  EXPECT_EQ(prefix[2], (id >> 16) & 0xFF);
  EXPECT_EQ(prefix[3], id >> 24);
  EXPECT_EQ(prefix[4], 0x44);
  EXPECT_EQ(prefix[7], 0x11);
  EXPECT_EQ(prefix[12], 0xD4);
  EXPECT_EQ(prefix[15], 0xA1);
  EXPECT_EQ(prefix[16], kCreateAction);
}

TEST(GenericObjectTest, OwnerZeroMeansTheLocalPlayer) {
  // Without a document there is no local player: its DPID reads 0xFFFFFFFF.
  CGenericObject local(0, 1);
  CGenericObject remote(77, 1);
  EXPECT_EQ(local.GetOwner(), 0xFFFFFFFFu);
  EXPECT_TRUE(local.IsLocal());
  EXPECT_FALSE(remote.IsLocal());
  EXPECT_FALSE(local.IsActive());
  EXPECT_FALSE(local.IsDead());
}

std::vector<uint8_t> Store(CObjectManager& manager) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    manager.SerializeObjects(ar);
    ar.Close();
  }
  return file.Data();
}

TEST_F(ObjectManagerTest, SavedGameRoundTripWritesClassNamesAndMakesObjectsLocal) {
  CTestCounterObject* saved = Add(77, 0x1234, 9);
  saved->SetUp(0.5f, -1.0f, 2.0f);
  Add(78, 0x1235, 4);
  const std::vector<uint8_t> bytes = Store(manager_);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_NE(text.find("CObjectList"), std::string::npos);
  EXPECT_NE(text.find("CTestCounterObject"), std::string::npos);
  // The class name is written once, at its first object.
  EXPECT_EQ(text.find("CTestCounterObject"), text.rfind("CTestCounterObject"));

  CObjectManager loaded;
  Add(5, 1, 100);  // in the manager that is not loaded into
  loaded.AddObject(new CTestCounterObject(5, 99, 100));  // replaced by the load
  CMemFile file(bytes);
  CArchive ar(&file, CArchive::load);
  loaded.SerializeObjects(ar);
  EXPECT_EQ(CTestCounterObject::deleted, 1) << "the replaced list's object is freed";
  ASSERT_EQ(loaded.GetCount(), 2);
  auto* first = dynamic_cast<CTestCounterObject*>(loaded.GetObjects().GetHead());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetObjectId(), 0x1234u);
  EXPECT_EQ(first->GetTypeCode(), kTypeDust);
  EXPECT_EQ(first->Life(), 9);
  EXPECT_FLOAT_EQ(first->Up()[1], -1.0f);
  EXPECT_TRUE(first->IsLocal()) << "the owner is not saved";
  EXPECT_EQ(loaded.FindObject(first->GetOwner(), 0x1235u)->GetObjectId(), 0x1235u);
}

TEST_F(ObjectManagerTest, ALoadThatIsNoObjectListIsRefusedAndKeepsTheList) {
  Add(5, 1, 100);
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    CTestCounterObject stray(5, 2, 1);
    ar.WriteObject(&stray);
    ar.Close();
  }
  CMemFile input(file.Data());
  CArchive ar(&input, CArchive::load);
  EXPECT_THROW(manager_.SerializeObjects(ar), CArchiveException);
  for (CObject* object : ar.LoadedObjects()) delete object;
  EXPECT_EQ(manager_.GetCount(), 1);
}

}  // namespace
