#include "platform/framework/serial_archive.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/framework/ob_list.h"
#include "tests/support/temp_folder.h"

namespace {

// Two small classes that refer to each other, as the saved-game classes do.
class CTestTag : public CObject {
  DECLARE_SERIAL_CLASS(CTestTag)
 public:
  CString name;
  int32_t weight = 0;
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << name << weight;
    } else {
      ar >> name >> weight;
    }
  }
};

class CTestNode : public CObject {
  DECLARE_SERIAL_CLASS(CTestNode)
 public:
  uint16_t id = 0;
  CTestTag* tag = nullptr;
  CTestNode* next = nullptr;
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << id;
      ar << tag;
      ar << next;
    } else {
      ar >> id >> tag >> next;
    }
  }
};

// A list type whose elements must be nodes.
class CTestNodeList : public CTypedPtrList<CObList, CTestNode*> {
  DECLARE_SERIAL_CLASS(CTestNodeList)
};

IMPLEMENT_SERIAL_CLASS(CTestTag, CObject, 1)
IMPLEMENT_SERIAL_CLASS(CTestNode, CObject, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CTestNodeList, CObList, VERSIONABLE_SCHEMA | 1)

using Bytes = std::vector<uint8_t>;

Bytes Text(const char* text) { return Bytes(text, text + std::char_traits<char>::length(text)); }

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

template <typename Fn>
Bytes Store(Fn&& write) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    write(ar);
    ar.Close();
  }
  return file.Data();
}

// Reads with fn and returns the archive's failure cause (none when it read
// through); every object the archive made is deleted afterwards.
template <typename Fn>
int LoadCause(const Bytes& bytes, Fn&& read) {
  CMemFile file(bytes);
  CArchive ar(&file, CArchive::load);
  int cause = CArchiveException::none;
  try {
    read(ar);
  } catch (const CArchiveException& e) {
    cause = e.m_cause;
  }
  for (CObject* object : ar.LoadedObjects()) delete object;
  return cause;
}

// n1 -> n2, both naming the same tag; then n2 again as a back reference.
struct Graph {
  CTestTag tag;
  CTestNode n1, n2;
  Graph() {
    tag.name = "red";
    tag.weight = 7;
    n1.id = 1;
    n1.tag = &tag;
    n1.next = &n2;
    n2.id = 2;
    n2.tag = &tag;
  }
};

const Bytes kGraphBytes = Join({
    {0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00},
    Text("CTestNode"),  // new class, index 1; n1 is object 2
    {0x01, 0x00},       // n1.id
    {0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00},
    Text("CTestTag"),  // new class, index 3; tag is object 4
    {0x03},
    Text("red"),
    {0x07, 0x00, 0x00, 0x00},  // tag.name, tag.weight
    {0x01, 0x80},              // n1.next: class 1, object 5
    {0x02, 0x00},              // n2.id
    {0x04, 0x00},              // n2.tag: object 4 again
    {0x00, 0x00},              // n2.next: null
    {0x05, 0x00},              // second section: n2 by index
});

}  // namespace

TEST(Archive, ObjectGraphWithASharedObjectHasTheLibraryBytes) {
  Graph g;
  const Bytes bytes = Store([&](CArchive& ar) {
    ar << &g.n1;
    ar << &g.n2;
  });
  EXPECT_EQ(bytes, kGraphBytes);
}

TEST(Archive, ObjectGraphLoadsBackEqualWithTheSharedObjectOnce) {
  CMemFile file(kGraphBytes);
  CArchive ar(&file, CArchive::load);
  CTestNode* first = nullptr;
  CTestNode* again = nullptr;
  ar >> first >> again;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->id, 1);
  ASSERT_NE(first->next, nullptr);
  EXPECT_EQ(first->next, again);
  EXPECT_EQ(again->id, 2);
  EXPECT_EQ(again->next, nullptr);
  ASSERT_NE(first->tag, nullptr);
  EXPECT_EQ(first->tag, again->tag);
  EXPECT_EQ(first->tag->name, "red");
  EXPECT_EQ(first->tag->weight, 7);
  EXPECT_EQ(ar.LoadedObjects().size(), 3u);
  for (CObject* object : ar.LoadedObjects()) delete object;
}

TEST(Archive, EveryTruncationFailsWithEndOfFile) {
  for (size_t length = 0; length < kGraphBytes.size(); ++length) {
    const Bytes cut(kGraphBytes.begin(), kGraphBytes.begin() + static_cast<std::ptrdiff_t>(length));
    const int cause = LoadCause(cut, [](CArchive& ar) {
      CObject* a;
      CObject* b;
      ar >> a >> b;
    });
    EXPECT_EQ(cause, CArchiveException::endOfFile) << "cut at " << length;
  }
}

TEST(Archive, DamagedReferencesFailCleanly) {
  struct Case {
    const char* what;
    Bytes bytes;
    const CRuntimeClass* requested;
    int cause;
  } cases[] = {
      {"unknown class", Join({{0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}, Text("CNope")}), nullptr,
       CArchiveException::badClass},
      {"object index never read", {0x07, 0x00}, nullptr, CArchiveException::badIndex},
      {"class index never read", {0x05, 0x80}, nullptr, CArchiveException::badIndex},
      {"class index 0", {0x00, 0x80}, nullptr, CArchiveException::badIndex},
      {"big object index never read", {0xFF, 0x7F, 0x00, 0x00, 0x01, 0x00}, nullptr, CArchiveException::badIndex},
      {"object reference naming a class", Join({kGraphBytes, {0x01, 0x00}}), nullptr, CArchiveException::badIndex},
      {"class reference naming an object", Join({kGraphBytes, {0x02, 0x80}}), nullptr, CArchiveException::badIndex},
      {"wrong schema", Join({{0xFF, 0xFF, 0x02, 0x00, 0x09, 0x00}, Text("CTestNode")}), nullptr,
       CArchiveException::badSchema},
      {"class name too long", Join({{0xFF, 0xFF, 0x01, 0x00, 0x40, 0x00}, Bytes(64, 'A')}), nullptr,
       CArchiveException::badClass},
      {"class that can't be created", Join({{0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x00}, Text("CObject")}), nullptr,
       CArchiveException::badClass},
      {"object of another class", Join({{0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00}, Text("CTestTag"), {0}, {0, 0, 0, 0}}),
       RUNTIME_CLASS(CTestNode), CArchiveException::badClass},
  };
  for (const Case& c : cases) {
    const int cause = LoadCause(c.bytes, [&](CArchive& ar) {
      for (int i = 0; i < 3; ++i) ar.ReadObject(c.requested);
    });
    EXPECT_EQ(cause, c.cause) << c.what;
  }
}

TEST(Archive, LargeTablesUseTheBigIndexEscapes) {
  // 0x7FFF tags take the indexes 2..0x8000, so the node class gets 0x8001
  // and the first node 0x8002.
  std::vector<std::unique_ptr<CTestTag>> tags;
  for (int i = 0; i < 0x7FFF; ++i) tags.push_back(std::make_unique<CTestTag>());
  CTestNode n1, n2;
  const Bytes bytes = Store([&](CArchive& ar) {
    for (auto& t : tags) ar << t.get();
    ar << &n1 << &n2 << &n1;
  });
  const Bytes tail(bytes.end() - 6 - 6 - 6, bytes.end());
  const Bytes expected = {
      0xFF, 0x7F, 0x01, 0x80, 0x00, 0x80,  // n2's class: escape, 0x80000000 | 0x8001
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // n2.id, tag, next
      0xFF, 0x7F, 0x02, 0x80, 0x00, 0x00,  // n1 again: escape, 0x8002
  };
  EXPECT_EQ(tail, expected);

  CMemFile file(bytes);
  CArchive ar(&file, CArchive::load);
  for (int i = 0; i < 0x7FFF; ++i) ar.ReadObject(RUNTIME_CLASS(CTestTag));
  CTestNode* a;
  CTestNode* b;
  CTestNode* c;
  ar >> a >> b >> c;
  EXPECT_EQ(a, c);
  EXPECT_NE(a, b);
  for (CObject* object : ar.LoadedObjects()) delete object;
}

TEST(Archive, PrimitivesAreLittleEndianAtTheirSize) {
  const Bytes bytes = Store([](CArchive& ar) {
    ar << static_cast<uint8_t>(0xAB) << static_cast<int16_t>(-2) << static_cast<uint16_t>(0x1234) << -2 << 0x89ABCDEFu
       << 1.0f << 2.0 << static_cast<uint64_t>(0x0102030405060708ull);
  });
  const Bytes expected = {0xAB, 0xFE, 0xFF, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0xEF, 0xCD,
                          0xAB, 0x89, 0x00, 0x00, 0x80, 0x3F, 0,    0,    0,    0,    0,
                          0,    0x00, 0x40, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01};
  EXPECT_EQ(bytes, expected);

  CMemFile file(bytes);
  CArchive ar(&file, CArchive::load);
  uint8_t b;
  int16_t s;
  uint16_t w;
  int32_t i;
  uint32_t d;
  float f;
  double x;
  uint64_t q;
  ar >> b >> s >> w >> i >> d >> f >> x >> q;
  EXPECT_EQ(b, 0xAB);
  EXPECT_EQ(s, -2);
  EXPECT_EQ(w, 0x1234);
  EXPECT_EQ(i, -2);
  EXPECT_EQ(d, 0x89ABCDEFu);
  EXPECT_EQ(f, 1.0f);
  EXPECT_EQ(x, 2.0);
  EXPECT_EQ(q, 0x0102030405060708ull);
}

TEST(Archive, StringAndCountPrefixesFollowTheirLength) {
  struct Case {
    size_t length;
    Bytes prefix;
  } strings[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {0xFFFD, {0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
  };
  for (const Case& c : strings) {
    const CString text(std::string(c.length, 'k'));
    const Bytes bytes = Store([&](CArchive& ar) { ar << text; });
    ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(c.prefix.size())), c.prefix);
    CMemFile file(bytes);
    CArchive ar(&file, CArchive::load);
    CString back;
    ar >> back;
    EXPECT_EQ(back, text) << c.length;
  }

  struct CountCase {
    DWORD count;
    Bytes bytes;
  } counts[] = {
      {5, {0x05, 0x00}},
      {0xFFFE, {0xFE, 0xFF}},
      {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
      {0x10000, {0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
  };
  for (const CountCase& c : counts) {
    EXPECT_EQ(Store([&](CArchive& ar) { ar.WriteCount(c.count); }), c.bytes);
    CMemFile file(c.bytes);
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(ar.ReadCount(), c.count);
  }
}

TEST(Archive, DamagedLengthsEndAtTheDataWithoutHugeAllocations) {
  // A 2 GB string and a 4-billion-element list with three bytes behind them.
  const Bytes longString = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'};
  EXPECT_EQ(LoadCause(longString,
                      [](CArchive& ar) {
                        CString s;
                        ar >> s;
                      }),
            CArchiveException::endOfFile);
  const Bytes wideString = {0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b', 0};
  EXPECT_EQ(LoadCause(wideString,
                      [](CArchive& ar) {
                        CString s;
                        ar >> s;
                      }),
            CArchiveException::generic);
  const Bytes hugeList = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00};
  EXPECT_EQ(LoadCause(hugeList,
                      [](CArchive& ar) {
                        CObList list;
                        list.Serialize(ar);
                      }),
            CArchiveException::endOfFile);
}

TEST(Archive, TypedListsStoreCountAndObjectsAndCheckTheirElements) {
  Graph g;
  CTestNodeList list;
  list.AddTail(&g.n2);
  list.AddTail(&g.n1);
  const Bytes bytes = Store([&](CArchive& ar) { ar << &list; });
  // CTestNodeList's class record, then count 2, then the elements.
  ASSERT_GE(bytes.size(), 24u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 21),
            Join({{0xFF, 0xFF, 0x01, 0x00, 0x0D, 0x00}, Text("CTestNodeList"), {0x02, 0x00}}));
  {
    CMemFile file(bytes);
    CArchive ar(&file, CArchive::load);
    CTestNodeList* back = nullptr;
    ar >> back;
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetCount(), 2);
    EXPECT_EQ(back->GetHead()->id, 2);
    EXPECT_EQ(back->GetTail()->id, 1);
    EXPECT_EQ(back->GetTail()->next, back->GetHead());
    for (CObject* object : ar.LoadedObjects()) delete object;
  }
  // The same list holding a tag is refused when read.
  const Bytes wrong = Store([&](CArchive& ar) {
    ar.WriteCount(1);
    ar << &g.tag;
  });
  EXPECT_EQ(LoadCause(wrong,
                      [](CArchive& ar) {
                        CTestNodeList l;
                        l.Serialize(ar);
                      }),
            CArchiveException::badClass);
}

TEST(Archive, FilesLargerThanTheBufferRoundTripThroughADiskFile) {
  TempFolder folder;
  const std::string path = folder.Join("big.sav");
  std::vector<std::unique_ptr<CTestTag>> tags;
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
    CArchive ar(&file, CArchive::store);
    for (int i = 0; i < 1000; ++i) {
      tags.push_back(std::make_unique<CTestTag>());
      tags.back()->name.Format("tag number %d", i);
      tags.back()->weight = i * 3;
      ar << tags.back().get();
    }
    ar << CString(std::string(10000, 'z'));
    ar.Close();
  }
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
  EXPECT_GT(file.GetLength(), 2u * CArchive::kDefaultBufferSize);
  CArchive ar(&file, CArchive::load);
  for (int i = 0; i < 1000; ++i) {
    CTestTag* tag = nullptr;
    ar >> tag;
    ASSERT_NE(tag, nullptr);
    CString expected;
    expected.Format("tag number %d", i);
    EXPECT_EQ(tag->name, expected);
    EXPECT_EQ(tag->weight, i * 3);
  }
  CString tail;
  ar >> tail;
  EXPECT_EQ(tail.GetLength(), 10000);
  for (CObject* object : ar.LoadedObjects()) delete object;
}

TEST(Archive, RegisteredNamesAreTheSpelledClassNames) {
  EXPECT_EQ(CRuntimeClass::FromName("CTestNode"), RUNTIME_CLASS(CTestNode));
  EXPECT_STREQ(RUNTIME_CLASS(CTestNode)->m_lpszClassName, "CTestNode");
  EXPECT_EQ(CRuntimeClass::FromName("CObList"), RUNTIME_CLASS(CObList));
  EXPECT_EQ(CRuntimeClass::FromName("ctestnode"), nullptr);
  // A second class under a taken name is refused.
  static const CRuntimeClass impostor = {"CTestNode", 1, 1, nullptr, RUNTIME_CLASS(CObject)};
  EXPECT_FALSE(RuntimeClassRegister(&impostor));
  EXPECT_EQ(CRuntimeClass::FromName("CTestNode"), RUNTIME_CLASS(CTestNode));
}

// A list holding a list holding a list ...: the first level names the
// class, every further one is its class index and a count of 1 (4 bytes).
Bytes NestedLists(int depth) {
  Bytes bytes = Join({{0xFF, 0xFF, 0x00, 0x00, 0x07, 0x00}, Text("CObList"), {0x01, 0x00}});
  for (int level = 1; level < depth; ++level) bytes.insert(bytes.end(), {0x01, 0x80, 0x01, 0x00});
  bytes[bytes.size() - 2] = 0x00;  // the innermost list is empty
  return bytes;
}

TEST(Archive, ObjectsNestedBeyondTheBoundAreRefusedBeforeTheStackRunsOut) {
  auto read = [](CArchive& ar) {
    CObject* object = nullptr;
    ar >> object;
  };
  EXPECT_EQ(LoadCause(NestedLists(256), read), CArchiveException::none);
  EXPECT_EQ(LoadCause(NestedLists(257), read), CArchiveException::generic);
  // 60,000 deep in 240 KB used to overflow the default 8 MB stack.
  EXPECT_EQ(LoadCause(NestedLists(60000), read), CArchiveException::generic);
}
