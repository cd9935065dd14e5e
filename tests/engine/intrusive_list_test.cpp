#include "engine/intrusive_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/list_check.h"

namespace {

// A record on two lists: the plain one and an "other" one.
struct Item {
  Item* prev;
  Item* next;
  Item* prevOther;
  Item* nextOther;
};

struct Owner {
  Item* first;
  Item* last;
};

constexpr int kItems = 4;

// Items 0 .. count-1 appended in order, by hand, so that the helpers are not
// tested against themselves.
void Build(Item (&items)[kItems], Owner* owner, int count) {
  for (Item& item : items) item = Item{};
  *owner = Owner{};
  for (int i = 0; i < count; ++i) {
    items[i].prev = i > 0 ? &items[i - 1] : nullptr;
    items[i].next = i + 1 < count ? &items[i + 1] : nullptr;
  }
  if (count > 0) {
    owner->first = &items[0];
    owner->last = &items[count - 1];
  }
}

// The list's order as item numbers, after checking its links agree.
std::vector<int> Order(const Item (&items)[kItems], const Owner& owner) {
  std::vector<int> order;
  EXPECT_TRUE(ListConsistent(owner.first, owner.last, kItems));
  for (const Item* item = owner.first; item && order.size() <= kItems; item = item->next) {
    order.push_back(static_cast<int>(item - items));
  }
  return order;
}

Item* At(Item (&items)[kItems], int i) { return i < 0 ? nullptr : &items[i]; }

}  // namespace

TEST(IntrusiveList, Cases) {
  enum Op { kAppend, kUnlink, kInsertBefore };
  struct Case {
    const char* name;
    int count;  // items 0 .. count-1 on the list
    Op op;
    int node;
    int before;  // for kInsertBefore, -1 for none
    std::vector<int> expected;
  } cases[] = {
      {"append to empty", 0, kAppend, 0, -1, {0}},
      {"append to non-empty", 2, kAppend, 2, -1, {0, 1, 2}},
      {"unlink head", 3, kUnlink, 0, -1, {1, 2}},
      {"unlink middle", 3, kUnlink, 1, -1, {0, 2}},
      {"unlink tail", 3, kUnlink, 2, -1, {0, 1}},
      {"unlink only element", 1, kUnlink, 0, -1, {}},
      {"insert before head", 3, kInsertBefore, 3, 0, {3, 0, 1, 2}},
      {"insert before middle", 3, kInsertBefore, 3, 2, {0, 1, 3, 2}},
      {"insert before none appends", 3, kInsertBefore, 3, -1, {0, 1, 2, 3}},
      {"insert before none into empty", 0, kInsertBefore, 3, -1, {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Item items[kItems];
    Owner owner;
    Build(items, &owner, c.count);
    Item* node = &items[c.node];
    switch (c.op) {
      case kAppend:
        ListAppend(owner.first, owner.last, node, &Item::prev, &Item::next);
        break;
      case kUnlink:
        ListUnlink(owner.first, owner.last, node, &Item::prev, &Item::next);
        EXPECT_EQ(node->prev, nullptr);
        EXPECT_EQ(node->next, nullptr);
        break;
      case kInsertBefore:
        ListInsertBefore(owner.first, owner.last, node, At(items, c.before), &Item::prev, &Item::next);
        break;
    }
    EXPECT_EQ(Order(items, owner), c.expected);
  }
}

TEST(IntrusiveList, AppendClearsStaleNext) {
  Item items[kItems];
  Owner owner;
  Build(items, &owner, 1);
  items[1].next = &items[3];  // left over from an earlier list
  ListAppend(owner.first, owner.last, &items[1], &Item::prev, &Item::next);
  EXPECT_EQ(Order(items, owner), (std::vector<int>{0, 1}));
}

// A record that is on no list (never linked, or taken off already) leaves
// the owner's head and tail alone.
TEST(IntrusiveList, UnlinkOfUnlinkedRecordKeepsOwner) {
  Item items[kItems];
  Owner owner;
  Build(items, &owner, 2);
  ListUnlink(owner.first, owner.last, &items[3], &Item::prev, &Item::next);
  ListUnlink(owner.first, owner.last, &items[0], &Item::prev, &Item::next);
  ListUnlink(owner.first, owner.last, &items[0], &Item::prev, &Item::next);
  EXPECT_EQ(Order(items, owner), (std::vector<int>{1}));
}

TEST(IntrusiveList, HeadOnlyUnlink) {
  struct Case {
    int node;
    std::vector<int> expected;
  } cases[] = {{0, {1, 2}}, {1, {0, 2}}, {2, {0, 1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.node);
    Item items[kItems];
    Owner owner;
    Build(items, &owner, 3);
    ListUnlink(owner.first, &items[c.node], &Item::prev, &Item::next);
    // The owner's tail is not the helper's to keep: set it as a caller that
    // kept one would have, then check the links.
    owner.last = &items[c.expected.back()];
    EXPECT_EQ(Order(items, owner), c.expected);
    EXPECT_EQ(items[c.node].prev, nullptr);
    EXPECT_EQ(items[c.node].next, nullptr);
  }
}

// The member pointers choose the list: taking a record off one leaves its
// place on the other.
TEST(IntrusiveList, RecordOnTwoLists) {
  Item items[kItems] = {};
  Owner plain = {}, other = {};
  for (Item& item : items) ListAppend(plain.first, plain.last, &item, &Item::prev, &Item::next);
  for (int i = kItems - 1; i >= 0; --i) {
    ListAppend(other.first, other.last, &items[i], &Item::prevOther, &Item::nextOther);
  }
  ListUnlink(other.first, other.last, &items[1], &Item::prevOther, &Item::nextOther);
  EXPECT_EQ(Order(items, plain), (std::vector<int>{0, 1, 2, 3}));
  std::vector<int> otherOrder;
  for (const Item* item = other.first; item; item = item->nextOther)
    otherOrder.push_back(static_cast<int>(item - items));
  EXPECT_EQ(otherOrder, (std::vector<int>{3, 2, 0}));
  EXPECT_EQ(other.last, &items[0]);
}
