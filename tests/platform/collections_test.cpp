#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/framework/maps.h"
#include "platform/framework/ob_list.h"

namespace {

template <class Map, class Key, class Value>
std::vector<Key> KeysInOrder(const Map& map) {
  std::vector<Key> keys;
  Key key{};
  Value value{};
  for (POSITION pos = map.GetStartPosition(); pos;) {
    map.GetNextAssoc(pos, key, value);
    keys.push_back(key);
  }
  return keys;
}

}  // namespace

TEST(Maps, IntegerKeysIterateBucketByBucketNewestFirst) {
  // Buckets (key >> 4) % 17: 5 -> 0, 16 -> 1, 35 -> 2, 272 -> 0, 288 -> 1,
  // 100 -> 6, 0x12345678 -> 4.
  CMap<DWORD, DWORD, int, int> map;
  const DWORD keys[] = {5, 16, 35, 272, 288, 100, 0x12345678};
  for (DWORD k : keys) map[k] = static_cast<int>(k);
  EXPECT_EQ((KeysInOrder<decltype(map), DWORD, int>(map)), (std::vector<DWORD>{272, 5, 288, 16, 35, 0x12345678, 100}));

  // A changed value keeps its place; a removed and re-added key moves to the
  // front of its bucket.
  map.SetAt(5, -1);
  EXPECT_EQ((KeysInOrder<decltype(map), DWORD, int>(map)).at(1), 5u);
  ASSERT_TRUE(map.RemoveKey(272));
  map[272] = 1;
  ASSERT_TRUE(map.RemoveKey(5));
  map[5] = 2;
  EXPECT_EQ((KeysInOrder<decltype(map), DWORD, int>(map)), (std::vector<DWORD>{5, 272, 288, 16, 35, 0x12345678, 100}));
  EXPECT_FALSE(map.RemoveKey(6));
  int value = 0;
  EXPECT_TRUE(map.Lookup(5, value));
  EXPECT_EQ(value, 2);
  EXPECT_FALSE(map.Lookup(6, value));
}

TEST(Maps, SixtyFourBitKeysHashTheirLowHalf) {
  // Player target keys carry the player in the high half: all share bucket 0.
  CMap<uint64_t, uint64_t, int, int> targets;
  targets[1ull << 32] = 1;
  targets[(3ull << 32) | 0x50] = 3;  // bucket 5
  targets[2ull << 32] = 2;
  EXPECT_EQ((KeysInOrder<decltype(targets), uint64_t, int>(targets)),
            (std::vector<uint64_t>{2ull << 32, 1ull << 32, (3ull << 32) | 0x50}));
}

TEST(Maps, StringKeysHashTheLibraryWay) {
  EXPECT_EQ(HashKey("A"), 65u);
  EXPECT_EQ(HashKey("AB"), 65u * 33 + 66);
  EXPECT_EQ(HashKey("\xFF"), 0xFFFFFFFFu);  // characters are signed
  CMapStringToString texts;
  texts.SetAt("K1", "one");
  texts["k1"] = "lower";
  CString found;
  ASSERT_TRUE(texts.Lookup("K1", found));
  EXPECT_EQ(found, "one");
  EXPECT_EQ(texts.GetCount(), 2);
  // "K1" = 2524 -> bucket 8, "k1" = 3580 -> bucket 10.
  EXPECT_EQ((KeysInOrder<CMapStringToString, CString, CString>(texts)), (std::vector<CString>{"K1", "k1"}));
}

TEST(Maps, TheElementJustReturnedMayBeRemoved) {
  CMapPtrToPtr map;
  int cells[6];
  for (int& c : cells) map[&c] = &c;
  void* key;
  void* value;
  int seen = 0;
  for (POSITION pos = map.GetStartPosition(); pos;) {
    map.GetNextAssoc(pos, key, value);
    EXPECT_EQ(key, value);
    EXPECT_TRUE(map.RemoveKey(key));
    ++seen;
  }
  EXPECT_EQ(seen, 6);
  EXPECT_TRUE(map.IsEmpty());
  EXPECT_EQ(map.GetStartPosition(), nullptr);
  EXPECT_EQ(map.GetHashTableSize(), 17u);
}

TEST(Lists, KeepOrderThroughInsertsAndRemovals) {
  CPtrList list;
  int a, b, c, d;
  list.AddTail(&b);
  list.AddHead(&a);
  POSITION pc = list.AddTail(&c);
  list.InsertBefore(pc, &d);  // a b d c
  std::vector<void*> order;
  for (POSITION pos = list.GetHeadPosition(); pos;) order.push_back(list.GetNext(pos));
  EXPECT_EQ(order, (std::vector<void*>{&a, &b, &d, &c}));
  list.RemoveAt(list.Find(&b));
  EXPECT_EQ(list.GetAt(list.FindIndex(1)), &d);
  EXPECT_EQ(list.RemoveTail(), &c);
  EXPECT_EQ(list.RemoveHead(), &a);
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetHead(), &d);
  EXPECT_EQ(list.GetTail(), &d);
  list.RemoveAll();
  EXPECT_EQ(list.RemoveHead(), nullptr);  // empty: null, no assertion
  EXPECT_EQ(list.FindIndex(0), nullptr);
}
