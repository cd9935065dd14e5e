// The level script's enemy orders on a made-up level of drones: each order
// word, names with and without the star, arguments read once, refusals,
// and orders whose death events remove other enemies.
#include <string>

#include "engine/name_hash.h"
#include "engine/properties.h"
#include "tests/game/enemy_combat_fixture.h"
#include "world/objects/generic_object.h"
#include "world/objects/object_list.h"
#include "world/objects/object_manager.h"
#include "world/objects/object_type_codes.h"
#include "world/enemies/enemy_orders.h"
#include "world/paths/path.h"
#include "world/paths/path_manager.h"
#include "world/script/event_manager.h"

namespace {

TEST(EnemyOrderWordsTest, TheTableAndTheWordReader) {
  const struct {
    const char* word;
    int code;
  } codes[] = {{"freeze", 1}, {"STOP", 3}, {"Wait", 5}, {"gopath", 10}, {"destroy", 14},
               {"attackpoint", 18}, {"create_beacon", 22}, {"beacon", -1}, {"", -1}};
  for (const auto& c : codes) EXPECT_EQ(FindEnemyOrder(c.word), c.code) << c.word;
  EXPECT_EQ(FindEnemyOrder(nullptr), -1);

  const char* text = "  wait  guard* 3000";
  const char* cursor = text;
  char word[kEnemyOrderWordBytes];
  ASSERT_TRUE(NextWord(word, sizeof word, &cursor));
  EXPECT_STREQ(word, "wait");
  EXPECT_EQ(cursor, text + 6);
  ASSERT_TRUE(NextWord(word, sizeof word, &cursor));
  EXPECT_STREQ(word, "guard*");
  ASSERT_TRUE(NextWord(word, sizeof word, &cursor));
  EXPECT_STREQ(word, "3000");
  const char* end = cursor;
  EXPECT_FALSE(NextWord(word, sizeof word, &cursor));
  EXPECT_STREQ(word, "");
  EXPECT_EQ(cursor, end);
  // A word longer than the buffer holds is refused whole.
  const std::string longText = "stop " + std::string(64, 'a');
  cursor = longText.c_str();
  ASSERT_TRUE(NextWord(word, sizeof word, &cursor));
  EXPECT_FALSE(NextWord(word, sizeof word, &cursor));
  EXPECT_STREQ(word, "");
}

class EnemyOrdersTest : public EnemyCombatTest {
 protected:
  void Level() {
    Start();
    for (const char* name : {"tank_2", "tank_1", "guard_a", "guard_b", "drone_1"}) {
      const float x = 40.0f * static_cast<float>(enemies_.size());
      char text[64];
      std::snprintf(text, sizeof text, "drone %f -100 0", x);
      enemies_.push_back(Spawn(text, name));
      ASSERT_NE(enemies_.back(), nullptr);
    }
  }
  BOOL Order(const char* text) { return g_pEnemyManager->ExecuteOrder(text, "test"); }
  CNewEnemy* Named(const char* name) { return g_pEnemyManager->FindByNamePrefix(name); }
  std::vector<CNewEnemy*> enemies_;
};

TEST_F(EnemyOrdersTest, StopStartWaitHideShowAndTheStar) {
  Level();
  EXPECT_TRUE(Order("stop tank"));
  EXPECT_TRUE(Named("tank_2")->IsStopped());
  EXPECT_FALSE(Named("tank_1")->IsStopped());
  EXPECT_TRUE(Order("stop tank*"));
  EXPECT_TRUE(Named("tank_1")->IsStopped());
  EXPECT_TRUE(Order("START Tank_1"));
  EXPECT_FALSE(Named("tank_1")->IsStopped());
  EXPECT_TRUE(Named("tank_2")->IsStopped());
  // wait: stopped now, one timed "start guard*" per enemy.
  const int timed = g_pEventManager->GetTimedEventCount();
  EXPECT_TRUE(Order("wait guard* 3000"));
  EXPECT_TRUE(Named("guard_a")->IsStopped());
  EXPECT_TRUE(Named("guard_b")->IsStopped());
  ASSERT_EQ(g_pEventManager->GetTimedEventCount(), timed + 2);
  EXPECT_EQ(g_pEventManager->GetTimedEvents().back().command.Str(), "start guard*");
  // Missing or broken numbers are refused and change nothing.
  for (const char* bad : {"wait drone_1", "wait drone_1 soon", "wait drone_1 12x"}) {
    EXPECT_FALSE(Order(bad)) << bad;
    EXPECT_FALSE(Named("drone_1")->IsStopped()) << bad;
  }
  EXPECT_TRUE(Order("hide drone_1"));
  EXPECT_EQ(Named("drone_1")->GetInstance()->collidable, 0);
  EXPECT_TRUE(Named("drone_1")->IsStopped());
  auto spheres = [] {
    int n = 0;
    for (POSITION at = g_pObjectManager->GetObjects().GetHeadPosition(); at;) {
      n += g_pObjectManager->GetObjects().GetNext(at)->GetTypeCode() == kTypeSphere ? 1 : 0;
    }
    return n;
  };
  const int before = spheres();
  EXPECT_TRUE(Order("uncloak drone_1"));
  EXPECT_EQ(spheres(), before + 1);
  EXPECT_EQ(Named("drone_1")->GetInstance()->collidable, 1);
  EXPECT_FALSE(Named("drone_1")->IsStopped());
  EXPECT_TRUE(Order("hide drone_1"));
  EXPECT_TRUE(Order("show drone_1"));
  EXPECT_EQ(Named("drone_1")->GetInstance()->collidable, 1);
  // Words without effect are accepted; unknown words and names are not.
  for (const char* none : {"freeze drone_1", "thaw drone_1", "scare drone_1", "escort drone_1", "notify drone_1",
                           "damage drone_1", "notifynear drone_1"}) {
    EXPECT_TRUE(Order(none)) << none;
  }
  EXPECT_FALSE(Order("jump drone_1"));
  EXPECT_FALSE(Order("stop nobody"));
  EXPECT_FALSE(Order("stop"));
  EXPECT_FALSE(Order(""));
  EXPECT_FALSE(Order(nullptr));
}

TEST_F(EnemyOrdersTest, PathsTargetsAndTheBeacon) {
  Level();
  auto* path = new CNewPath;
  path->SetName("patrol");
  CPathNode* a = path->FindOrAddNode(0, -100, 100, nullptr);
  CPathNode* b = path->FindOrAddNode(60, -100, 100, nullptr);
  a->SetNext(b), b->SetPrev(a);
  path->FindFirstNode();
  g_pPathMgr->AddPath(path);
  ASSERT_TRUE(Order("stop drone_1"));
  EXPECT_FALSE(Order("gopath drone_1 patrol"));
  EXPECT_FALSE(Named("drone_1")->IsFollowingPath());
  ASSERT_TRUE(Order("start drone_1"));
  EXPECT_FALSE(Order("gopath drone_1 nowhere"));
  EXPECT_FALSE(Order("gopath drone_1"));
  EXPECT_TRUE(Order("gopath drone_1 patrol"));
  EXPECT_TRUE(Named("drone_1")->IsFollowingPath());
  EXPECT_EQ(Named("drone_1")->GetPathMode(), 0);
  EXPECT_TRUE(Order("slidepath tank_1 patrol"));
  EXPECT_EQ(Named("tank_1")->GetPathMode(), 1);
  EXPECT_TRUE(Named("tank_1")->IsSliding());
  EXPECT_TRUE(Order("traversepath guard_a patrol"));
  EXPECT_EQ(Named("guard_a")->GetPathMode(), 1);
  EXPECT_FALSE(Named("guard_a")->IsSliding());
  EXPECT_TRUE(Order("leavepath tank_1"));
  EXPECT_FALSE(Named("tank_1")->IsFollowingPath());
  EXPECT_FALSE(Named("tank_1")->IsSliding());
  // attackobject and attackpoint.
  EXPECT_FALSE(Order("attackobject guard_b nobody"));
  EXPECT_TRUE(Order("attackobject guard_b tank_2"));
  EXPECT_EQ(Named("guard_b")->GetAttackTargetId(), Named("tank_2")->GetId());
  EXPECT_TRUE(Named("guard_b")->HasOrderedTarget());
  EXPECT_TRUE(Order("attackpoint drone_1 10 -20.5 30"));
  const Vec3 t = Named("drone_1")->GetTargetPoint();
  EXPECT_FLOAT_EQ(t.x, 10.0f);
  EXPECT_FLOAT_EQ(t.y, -20.5f);
  EXPECT_FLOAT_EQ(t.z, 30.0f);
  for (const char* bad : {"attackpoint tank_1 10 20", "attackpoint tank_1 x 1 2", "attackpoint tank_1"}) {
    EXPECT_FALSE(Order(bad)) << bad;
    EXPECT_FALSE(Named("tank_1")->HasOrderedTarget()) << bad;
  }
  // The beacon moves from one enemy to the next.
  EXPECT_TRUE(Order("create_beacon tank_1"));
  EXPECT_TRUE(Named("tank_1")->IsTracked());
  EXPECT_TRUE(Order("create_beacon tank_2"));
  EXPECT_FALSE(Named("tank_1")->IsTracked());
  EXPECT_TRUE(Named("tank_2")->IsTracked());
  EXPECT_EQ(g_pEnemyManager->GetBeacon(), Named("tank_2"));
}

TEST_F(EnemyOrdersTest, DestroyAndExplodeRemoveWithoutAKillAndSurviveDeathEventsThatRemoveOthers) {
  Level();
  // guard_a's death event destroys guard_b, which the starred order also
  // named: it is skipped, not followed.
  PropSet(&Named("guard_a")->GetInstance()->props, NameHash("deathevent"), "destroy guard_b");
  events_->runs = true;
  const int before = g_pEnemyManager->GetEnemyCount();
  EXPECT_TRUE(Order("explode guard*"));
  EXPECT_EQ(Named("guard_a"), nullptr);
  EXPECT_EQ(Named("guard_b"), nullptr);
  EXPECT_EQ(g_pEnemyManager->GetEnemyCount(), before - 2);
  EXPECT_TRUE(Order("destroy tank_2"));
  EXPECT_EQ(Named("tank_2"), nullptr);
  EXPECT_NE(Named("tank_1"), nullptr);
  int total = 0, killed = 0;
  g_pEnemyManager->GetCounts(&total, &killed);
  EXPECT_EQ(killed, 0);
}

}  // namespace
