#include "engine/object_graph.h"

#include <cstring>

#include "engine/name_hash.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "tests/engine/data_archive_fixture.h"
#include "tools/builder/object_graph_writer.h"

namespace {

// Test bodies, shaped like the engine's record readers:
//   Light:   property list, i32 code, reference to the next light
//   Texture: i32 refs, i32 width, string name
//   Surface: i32 refs, counted reference to its texture
int ReadLight(Light* light) {
  int code;
  if (!PropReadList(&light->props) || !ArchiveReadInt(&code)) return 0;
  light->code = code;
  return ObjReadRecord<Light, ReadLight>(&light->next);
}

int ReadTexture(Texture* texture) {
  return ArchiveReadInt(&texture->refs) && ArchiveReadInt(&texture->width) && ArchiveReadString(&texture->name);
}

int ReadSurface(Surface* surface) {
  return ArchiveReadInt(&surface->refs) && ObjReadRecordCounted<Texture, ReadTexture>(&surface->texture);
}

int LightRef(Light** slot) { return ObjReadRecord<Light, ReadLight>(slot); }
int TextureRef(Texture** slot) { return ObjReadRecord<Texture, ReadTexture>(slot); }
int TextureCountedRef(Texture** slot) { return ObjReadRecordCounted<Texture, ReadTexture>(slot); }
int SurfaceCountedRef(Surface** slot) { return ObjReadRecordCounted<Surface, ReadSurface>(slot); }

// The builder's side of the same records.
struct LightSpec {
  int code = 0;
  const LightSpec* next = nullptr;
  BuilderProperties properties;
};
struct TextureSpec {
  int refs = 0;
  int width = 0;
  std::string name;
};
struct SurfaceSpec {
  int refs = 0;
  const TextureSpec* texture = nullptr;
};

void WriteLight(ObjectGraphWriter& graph, const LightSpec* light) {
  graph.Ref(kObjKindLight, light, [light](ObjectGraphWriter& g) {
    WritePropertyList(g.Out(), light->properties);
    g.Out().I32(light->code);
    WriteLight(g, light->next);
  });
}

void WriteTexture(ObjectGraphWriter& graph, const TextureSpec* texture) {
  graph.Ref(kObjKindTexture, texture, [texture](ObjectGraphWriter& g) {
    g.Out().I32(texture->refs);
    g.Out().I32(texture->width);
    g.Out().CString(texture->name);
  });
}

void WriteSurface(ObjectGraphWriter& graph, const SurfaceSpec* surface) {
  graph.Ref(kObjKindSurface, surface, [surface](ObjectGraphWriter& g) {
    g.Out().I32(surface->refs);
    WriteTexture(g, surface->texture);
  });
}

// Light bodies for hand-made streams: no properties, code, next null.
void LightBody(ByteWriter& out, int code) {
  out.I32(0);
  out.I32(code);
  out.I32(0);
}

void FreeLight(Light* light) {
  PropFreeList(&light->props);
  PoolDelete(light);
}

class ObjectGraphTest : public ArchiveTest {
 protected:
  void SetUp() override { ObjTableReset(); }
};

}  // namespace

TEST_F(ObjectGraphTest, NullReferenceConsumesFourBytes) {
  ByteWriter out;
  out.I32(0);
  out.I32(77);
  OpenMember(out.Take());
  Light* light = reinterpret_cast<Light*>(16);
  ASSERT_EQ(LightRef(&light), 1);
  EXPECT_EQ(light, nullptr);
  int next = 0;
  ASSERT_EQ(ArchiveReadInt(&next), 1);
  EXPECT_EQ(next, 77);
  EXPECT_EQ(ObjTableCount(), 0);
}

// Streams of top-level references: -1 creates object 1, 1 names it again,
// numbers beyond the objects read or negative numbers other than the next
// new one fail and leave the slot as it was.
TEST_F(ObjectGraphTest, ReferenceNumbers) {
  struct Case {
    const char* what;
    std::vector<int32_t> refs;  // -(n+1) is followed by a light body
    std::vector<int> results;
  } cases[] = {
      {"new then again", {-1, 1}, {1, 1}},
      {"number before any object", {1}, {0}},
      {"second before it exists", {-1, 2}, {1, 0}},
      {"skipping a new number", {-1, -3}, {1, 0}},
      {"second new object", {-1, -2, 2, 1}, {1, 1, 1, 1}},
      {"new number at the start out of turn", {-2}, {0}},
      {"most negative number", {INT32_MIN}, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ByteWriter out;
    for (size_t i = 0; i < c.refs.size(); ++i) {
      out.I32(c.refs[i]);
      if (c.refs[i] < 0 && c.results[i] == 1) LightBody(out, 100 + static_cast<int>(i));
    }
    OpenMember(out.Take());
    ObjTableReset();
    std::vector<Light*> created;
    for (size_t i = 0; i < c.refs.size(); ++i) {
      Light* sentinel = reinterpret_cast<Light*>(32);
      Light* slot = sentinel;
      ASSERT_EQ(LightRef(&slot), c.results[i]) << "reference " << i;
      if (c.results[i] == 0) {
        EXPECT_EQ(slot, sentinel);
        break;
      }
      if (c.refs[i] < 0) {
        created.push_back(slot);
        EXPECT_EQ(slot->code, 100 + static_cast<int>(i));
      } else {
        EXPECT_EQ(slot, created.at(static_cast<size_t>(c.refs[i] - 1)));
      }
    }
    for (Light* light : created) FreeLight(light);
    ArchiveClose();
  }
}

TEST_F(ObjectGraphTest, ForwardBackwardAndSelfReferences) {
  // a -> b -> c -> a: b and c are written inside a's body (forward), the
  // last link is a number (backward). d refers to itself.
  LightSpec a, b, c, d;
  a.code = 1;
  b.code = 2;
  c.code = 3;
  d.code = 4;
  a.next = &b;
  b.next = &c;
  c.next = &a;
  d.next = &d;
  a.properties = {{"type", "lamp"}};
  ByteWriter out;
  ObjectGraphWriter graph(out);
  WriteLight(graph, &a);
  WriteLight(graph, &d);
  WriteLight(graph, &c);
  ASSERT_TRUE(graph.Ok());
  EXPECT_EQ(graph.Count(), 4);
  EXPECT_EQ(graph.NumberOf(&d), 4);
  OpenMember(out.Take());

  Light* first = nullptr;
  Light* self = nullptr;
  Light* third = nullptr;
  ASSERT_EQ(LightRef(&first), 1);
  ASSERT_EQ(LightRef(&self), 1);
  ASSERT_EQ(LightRef(&third), 1);
  ObjTableFree();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->code, 1);
  EXPECT_STREQ(PropFind(first->props, NameHash("TYPE")), "lamp");
  EXPECT_EQ(first->next->code, 2);
  EXPECT_EQ(first->next->next, third);
  EXPECT_EQ(third->code, 3);
  EXPECT_EQ(third->next, first);
  EXPECT_EQ(self->code, 4);
  EXPECT_EQ(self->next, self);
  Light* second = first->next;
  for (Light* light : {first, second, third, self}) FreeLight(light);
}

TEST_F(ObjectGraphTest, CountedReferencesAddToTheRecordsCount) {
  TextureSpec texture{10, 64, "ROCK"};  // the reader sets 10 from the file
  SurfaceSpec one{0, &texture}, two{0, &texture};
  ByteWriter out;
  ObjectGraphWriter graph(out);
  WriteSurface(graph, &one);
  WriteSurface(graph, &two);
  WriteTexture(graph, &texture);
  WriteTexture(graph, nullptr);
  OpenMember(out.Take());

  Surface* s1 = nullptr;
  Surface* s2 = nullptr;
  Texture* t = nullptr;
  Texture* none = reinterpret_cast<Texture*>(8);
  ASSERT_EQ(SurfaceCountedRef(&s1), 1);
  ASSERT_EQ(SurfaceCountedRef(&s2), 1);
  ASSERT_EQ(TextureCountedRef(&t), 1);
  ASSERT_EQ(TextureCountedRef(&none), 1);
  EXPECT_EQ(none, nullptr);
  ASSERT_EQ(s1->texture, t);
  EXPECT_EQ(s2->texture, t);
  EXPECT_EQ(t->refs, 10 + 3);  // referred to three times
  EXPECT_EQ(s1->refs, 1);
  EXPECT_STREQ(t->name, "ROCK");
  PoolFree(t->name, 5);
  PoolDelete(t);
  PoolDelete(s1);
  PoolDelete(s2);
}

TEST_F(ObjectGraphTest, ReferenceToARecordOfAnotherKindFails) {
  TextureSpec texture{0, 32, "T"};
  ByteWriter out;
  ObjectGraphWriter graph(out);
  WriteTexture(graph, &texture);
  out.I32(1);  // object 1 again, where a surface is expected
  out.I32(1);  // and once more as a texture
  OpenMember(out.Take());
  Texture* t = nullptr;
  ASSERT_EQ(TextureRef(&t), 1);
  Surface* sentinel = reinterpret_cast<Surface*>(48);
  Surface* s = sentinel;
  EXPECT_EQ(SurfaceCountedRef(&s), 0);
  EXPECT_EQ(s, sentinel);
  EXPECT_EQ(t->refs, 0);
  Texture* again = nullptr;
  ASSERT_EQ(TextureRef(&again), 1);
  EXPECT_EQ(again, t);
  PoolFree(t->name, 2);
  PoolDelete(t);

  // The writer refuses to produce such a stream in the first place.
  ByteWriter refused;
  ObjectGraphWriter check(refused);
  WriteTexture(check, &texture);
  const size_t size = refused.Size();
  EXPECT_FALSE(check.Ref(kObjKindSurface, &texture, nullptr));
  EXPECT_FALSE(check.Ok());
  EXPECT_EQ(refused.Size(), size);
}

TEST_F(ObjectGraphTest, RecordReadHalfwayIsClearedAndCanBeFreed) {
  // Leave a dirty block of a light's size class on the pool's free list, so
  // the reader would see garbage if it did not clear what it allocates.
  void* dirty = PoolAlloc(sizeof(Light));
  std::memset(dirty, 0xCD, sizeof(Light));
  PoolFree(dirty, sizeof(Light));

  ByteWriter out;
  out.I32(-1);
  WritePropertyList(out, {{"name", "half"}});
  // The code and the next reference are missing.
  OpenMemberEndingTheData(out.Take());
  Light* light = nullptr;
  EXPECT_EQ(LightRef(&light), 0);
  ASSERT_NE(light, nullptr);  // the record exists: it was in the table first
  EXPECT_STREQ(PropFind(light->props, NameHash("name")), "half");
  EXPECT_EQ(light->code, 0);
  EXPECT_EQ(light->next, nullptr);
  EXPECT_EQ(light->world, nullptr);
  FreeLight(light);
}

TEST_F(ObjectGraphTest, TableGrowsPastItsFirstThousandEntries) {
  constexpr int kCount = 2500;
  std::vector<LightSpec> specs(kCount);
  ByteWriter out;
  ObjectGraphWriter graph(out);
  for (int i = 0; i < kCount; ++i) {
    specs[i].code = i;
    WriteLight(graph, &specs[i]);
  }
  const int numbers[] = {1, 1000, 1001, 2000, 2001, 2500};
  for (int number : numbers) WriteLight(graph, &specs[number - 1]);
  OpenMember(out.Take());
  std::vector<Light*> lights(kCount);
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(LightRef(&lights[i]), 1);
  EXPECT_EQ(ObjTableCount(), kCount);
  for (int number : numbers) {
    Light* again = nullptr;
    ASSERT_EQ(LightRef(&again), 1);
    EXPECT_EQ(again, lights[number - 1]);
    EXPECT_EQ(again->code, number - 1);
  }
  for (Light* light : lights) FreeLight(light);
}

TEST_F(ObjectGraphTest, ResetStartsANewNumbering) {
  ByteWriter out;
  out.I32(-1);
  LightBody(out, 7);
  out.I32(1);  // read after a reset: no object 1 any more
  out.I32(-1);
  LightBody(out, 8);
  OpenMember(out.Take());
  Light* first = nullptr;
  ASSERT_EQ(LightRef(&first), 1);
  ObjTableReset();
  Light* slot = nullptr;
  EXPECT_EQ(LightRef(&slot), 0);
  ASSERT_EQ(LightRef(&slot), 1);
  EXPECT_EQ(slot->code, 8);
  EXPECT_NE(slot, first);
  FreeLight(first);
  FreeLight(slot);
}

TEST(ObjAllocArray, PointerArraysAreSizedByTheirElementSize) {
  // Three pointers take 24 bytes, a class-2 block: the 16 bytes that a
  // count x 4 size would give could not hold them.
  Texture** textures = ObjAllocArray<Texture*>(3);
  ASSERT_NE(textures, nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(textures[i], nullptr);
  ObjFreeArray(textures, 3);
  void* reused = PoolAlloc(32);
  EXPECT_EQ(reused, static_cast<void*>(textures));
  PoolFree(reused, 32);

  EXPECT_EQ(ObjAllocArray<int>(0), nullptr);
  EXPECT_EQ(ObjAllocArray<int>(-1), nullptr);
  EXPECT_EQ(ObjAllocArray<double>(INT32_MAX / 4), nullptr);  // size would not fit an int
}
