#include "engine/properties.h"

#include <cstring>

#include "engine/name_hash.h"
#include "engine/pool.h"
#include "tests/engine/data_archive_fixture.h"
#include "tools/builder/object_graph_writer.h"

namespace {

int ListLength(const PropertyEntry* list) {
  int length = 0;
  for (; list; list = list->next) ++length;
  return length;
}

}  // namespace

TEST(NameHash, KnownValues) {
  struct Case {
    const char* name;
    int hash;
  } cases[] = {
      {"abc", 0x047CFCB7}, {"ABC", 0x047CFCB7},                     // upper-cased before hashing
      {"", 0x07FFFFFF},    {nullptr, 0x07FFFFFF}, {"K405C@98", 1},  // its register comes out 0, which becomes 1
      {"k405c@98", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(NameHash(c.name), c.hash) << (c.name ? c.name : "(null)");
  EXPECT_NE(NameHash("door1"), NameHash("door2"));
  EXPECT_EQ(NameHash("Door1") & ~0x7FFFFFF, 0);
}

TEST(Properties, SetReplaceAndRemove) {
  PropertyEntry* list = nullptr;
  const int k = NameHash("radius");
  const int other = NameHash("type");
  EXPECT_EQ(PropFind(nullptr, k), nullptr);
  PropSet(&list, k, "x");
  PropSet(&list, other, "door");
  EXPECT_EQ(list->key, other);  // new keys go to the head
  PropSet(&list, k, "yy");
  EXPECT_EQ(ListLength(list), 2);
  EXPECT_STREQ(PropFind(list, k), "yy");
  // Setting an entry to its own value must not read freed memory.
  PropSet(&list, k, PropFind(list, k));
  EXPECT_STREQ(PropFind(list, k), "yy");
  PropSet(&list, k, nullptr);
  EXPECT_EQ(PropFind(list, k), nullptr);
  EXPECT_EQ(ListLength(list), 1);
  PropSet(&list, k, nullptr);  // missing: nothing changes
  EXPECT_EQ(ListLength(list), 1);
  EXPECT_STREQ(PropFind(list, other), "door");
  PropSet(&list, other, nullptr);
  EXPECT_EQ(list, nullptr);
  PropSet(&list, k, "a");
  PropSet(&list, other, "b");
  PropFreeList(&list);
  EXPECT_EQ(list, nullptr);
  PropFreeList(&list);
}

TEST_F(ArchiveTest, PropertyListsReadInFileOrder) {
  ByteWriter out;
  WritePropertyList(out, {{"parent", "hangar"}, {"type", "door"}, {"parent", "shadowed"}});
  WritePropertyList(out, {});
  out.I32(-5);  // a negative count is an empty list too
  OpenMember(out.Take());
  PropertyEntry* list = reinterpret_cast<PropertyEntry*>(8);
  ASSERT_EQ(PropReadList(&list), 1);
  ASSERT_EQ(ListLength(list), 3);
  EXPECT_EQ(list->key, NameHash("PARENT"));
  EXPECT_STREQ(list->value, "hangar");
  EXPECT_STREQ(list->next->value, "door");
  EXPECT_STREQ(PropFind(list, NameHash("parent")), "hangar");  // the first wins
  PropFreeList(&list);
  PropertyEntry* empty = reinterpret_cast<PropertyEntry*>(8);
  ASSERT_EQ(PropReadList(&empty), 1);
  EXPECT_EQ(empty, nullptr);
  empty = reinterpret_cast<PropertyEntry*>(8);
  ASSERT_EQ(PropReadList(&empty), 1);
  EXPECT_EQ(empty, nullptr);
}

TEST_F(ArchiveTest, ShortPropertyListFailsAndKeepsNothing) {
  // Cut inside the second value, inside the second key, and before it.
  ByteWriter full;
  WritePropertyList(full, {{"a", "first"}, {"b", "second"}});
  const std::vector<uint8_t> bytes = full.Take();
  const size_t cuts[] = {4 + 4 + 6 + 4 + 3, 4 + 4 + 6 + 2, 4 + 4 + 6, 2};
  for (size_t cut : cuts) {
    SCOPED_TRACE(cut);
    OpenMemberEndingTheData(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(cut)));
    PropertyEntry* list = reinterpret_cast<PropertyEntry*>(8);
    EXPECT_EQ(PropReadList(&list), 0);
    EXPECT_EQ(list, nullptr);
    ArchiveClose();
  }
}

TEST(Properties, LookupChains) {
  World world{};
  Model model{};
  PolygonGroup group{};
  Instance instance{};
  WorldPolygon polygon{};
  instance.world = &world;
  instance.model = &model;
  polygon.world = &world;
  group.world = &world;

  PropSet(&g_LibraryProperties, NameHash("lib"), "library");
  PropSet(&g_LibraryProperties, NameHash("shared"), "library");
  PropSet(&world.props, NameHash("shared"), "world");
  PropSet(&world.props, NameHash("level"), "world");
  PropSet(&model.props, NameHash("shared"), "model");
  PropSet(&model.props, NameHash("radius"), "model");
  PropSet(&group.props, NameHash("shared"), "group");
  PropSet(&group.props, NameHash("door"), "group");
  PropSet(&instance.props, NameHash("own"), "instance");
  PropSet(&polygon.props, NameHash("own"), "polygon");

  EXPECT_STREQ(InstanceGetProperty(&instance, "own"), "instance");
  EXPECT_STREQ(InstanceGetProperty(&instance, "SHARED"), "model");
  EXPECT_STREQ(InstanceGetProperty(&instance, "level"), "world");
  EXPECT_STREQ(InstanceGetProperty(&instance, "lib"), "library");
  EXPECT_EQ(InstanceGetProperty(&instance, "door"), nullptr);

  EXPECT_STREQ(PolygonGetProperty(&polygon, "shared"), "world");  // no group yet
  polygon.group = &group;
  EXPECT_STREQ(PolygonGetProperty(&polygon, "own"), "polygon");
  EXPECT_STREQ(PolygonGetProperty(&polygon, "shared"), "group");
  EXPECT_STREQ(PolygonGetProperty(&polygon, "level"), "world");
  EXPECT_STREQ(PolygonGetProperty(&polygon, "lib"), "library");
  EXPECT_EQ(PolygonGetProperty(&polygon, "radius"), nullptr);

  EXPECT_STREQ(GroupGetProperty(&group, "door"), "group");
  EXPECT_STREQ(GroupGetProperty(&group, "level"), "world");
  EXPECT_STREQ(GroupGetProperty(&group, "lib"), "library");
  EXPECT_STREQ(WorldGetProperty(&world, "shared"), "world");
  EXPECT_STREQ(WorldGetProperty(&world, "lib"), "library");
  EXPECT_EQ(WorldGetProperty(&world, "own"), nullptr);

  // Records without a model or world skip those lists.
  Instance loose{};
  EXPECT_STREQ(InstanceGetProperty(&loose, "shared"), "library");

  for (PropertyEntry** list :
       {&g_LibraryProperties, &world.props, &model.props, &group.props, &instance.props, &polygon.props}) {
    PropFreeList(list);
  }
}
