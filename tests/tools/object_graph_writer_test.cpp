#include "tools/builder/object_graph_writer.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> I32s(std::initializer_list<int32_t> values) {
  ByteWriter out;
  for (int32_t value : values) out.I32(value);
  return out.Take();
}

struct Node {
  int32_t value;
  const Node* next;
};

void WriteNode(ObjectGraphWriter& graph, const Node* node) {
  graph.Ref(kObjKindLight, node, [node](ObjectGraphWriter& g) {
    g.Out().I32(node->value);
    WriteNode(g, node->next);
  });
}

}  // namespace

// The numbering checked against the format by hand: a new record is
// -(records so far + 1) followed by its body, nested records come inside the
// body that first names them, and later references are 1-based numbers.
TEST(ObjectGraphWriter, NumbersRecordsDepthFirstAtTheirFirstReference) {
  Node b{20, nullptr};
  Node a{10, &b};
  b.next = &a;
  Node c{30, &c};
  ByteWriter out;
  ObjectGraphWriter graph(out);
  WriteNode(graph, &a);
  WriteNode(graph, nullptr);
  WriteNode(graph, &b);
  WriteNode(graph, &c);
  EXPECT_TRUE(graph.Ok());
  EXPECT_EQ(graph.Count(), 3);
  EXPECT_EQ(graph.NumberOf(&b), 2);
  EXPECT_EQ(graph.NumberOf(&out), 0);
  EXPECT_EQ(out.Data(), I32s({-1, 10, -2, 20, 1, 0, 2, -3, 30, 3}));
}

TEST(ObjectGraphWriter, PropertyListsAreCountThenHashedNamesAndStrings) {
  ByteWriter out;
  WritePropertyList(out, {{"abc", "v"}, {"", ""}});
  ByteWriter expected;
  expected.I32(2);
  expected.I32(0x047CFCB7);
  expected.CString("v");
  expected.I32(0x07FFFFFF);
  expected.CString("");
  EXPECT_EQ(out.Data(), expected.Data());
}
