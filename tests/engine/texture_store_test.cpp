#include <gtest/gtest.h>

#include <cstring>

#include "engine/frame_stamp.h"
#include "engine/name_hash.h"
#include "tests/engine/texture_fixture.h"

namespace {

constexpr int kBlock64 = 64 * 64 + 32 * 32 + 341;  // a 64x64 texture's pixel block

class TextureBudgetTest : public TextureStoreTest {
 protected:
  void SetUp() override {
    TextureStoreTest::SetUp();
    path_ = WriteTextures("t.can", {FlatTexture("A.BMP", 64, 64, 50), FlatTexture("B.BMP", 64, 64, 60),
                                    FlatTexture("C.BMP", 64, 64, 70)});
    saveStamp_ = g_FrameStamp;
    g_FrameStamp = 1000;
  }
  void TearDown() override {
    g_FrameStamp = saveStamp_;
    TextureStoreTest::TearDown();
  }
  void Open(int budget) {
    ASSERT_EQ(OpenTextureArchive(budget, path_.c_str()), 1);
    a_ = Find("A.BMP");
    b_ = Find("B.BMP");
    c_ = Find("C.BMP");
  }
  std::string path_;
  FrameStamp saveStamp_ = 0;
  Texture* a_ = nullptr;
  Texture* b_ = nullptr;
  Texture* c_ = nullptr;
};

struct DropCase {
  const char* what;
  FrameStamp lastUsedA, lastUsedB;
  int refsA, refsB;
  bool dropsA;  // else B
};

TEST_F(TextureBudgetTest, LoadingOverTheBudgetDropsTheLeastRecentlyUsed) {
  const DropCase cases[] = {
      {"older unreferenced goes", 500, 400, 0, 0, false},
      {"a reference counts 300 stamps younger", 500, 400, 0, 1, true},
      {"the bonus is only 300", 500, 100, 0, 1, false},
      {"equal ages: first in the list", 400, 400, 0, 0, true},
      {"never drawn is oldest", kStampNever, 10, 0, 0, true},
  };
  for (const DropCase& c : cases) {
    SCOPED_TRACE(c.what);
    Open(2 * kBlock64);
    ASSERT_NE(TextureLoadPixels(a_), nullptr);
    ASSERT_NE(TextureLoadPixels(b_), nullptr);
    a_->lastUsed = c.lastUsedA;
    b_->lastUsed = c.lastUsedB;
    a_->refs = c.refsA;
    b_->refs = c.refsB;
    ASSERT_NE(TextureLoadPixels(c_), nullptr);
    EXPECT_EQ(a_->pixels == nullptr, c.dropsA);
    EXPECT_EQ(b_->pixels == nullptr, !c.dropsA);
    EXPECT_EQ(g_TextureBytesLoaded, 2 * kBlock64);
    EXPECT_EQ(g_TextureLoadCount, 3);
  }
}

TEST_F(TextureBudgetTest, DropsAsManyAsNeeded) {
  Open(3 * kBlock64);
  TextureLoadPixels(a_);
  TextureLoadPixels(b_);
  TextureLoadPixels(c_);
  a_->lastUsed = 10;
  b_->lastUsed = 20;
  c_->lastUsed = 30;
  TextureUnloadPixels(c_);
  g_TextureBudget = kBlock64;  // room for one only
  ASSERT_NE(TextureLoadPixels(c_), nullptr);
  EXPECT_EQ(a_->pixels, nullptr);
  EXPECT_EQ(b_->pixels, nullptr);
  EXPECT_EQ(g_TextureBytesLoaded, kBlock64);
}

TEST_F(TextureBudgetTest, WithNothingLeftToDropTheTextureLoadsOverTheBudget) {
  Open(100);
  ASSERT_NE(TextureLoadPixels(a_), nullptr);
  EXPECT_EQ(g_TextureBytesLoaded, kBlock64);
  ASSERT_NE(TextureLoadPixels(b_), nullptr);  // A goes, B still does not fit
  EXPECT_EQ(a_->pixels, nullptr);
  EXPECT_EQ(g_TextureBytesLoaded, kBlock64);
  EXPECT_EQ(GetTexel(b_, 1, 1), 60);
}

TEST_F(TextureBudgetTest, TexturesMadeAtRunTimeAreNeverDroppedNorCounted) {
  Open(kBlock64);
  Texture* made = CreateTexture("MADE.BMP", 64, 64);
  ASSERT_NE(made, nullptr);
  made->lastUsed = kStampNever;  // the oldest of all, were it a candidate
  made->refs = 0;
  EXPECT_EQ(g_TextureBytesLoaded, 0);
  TextureLoadPixels(a_);
  TextureLoadPixels(b_);
  EXPECT_EQ(a_->pixels, nullptr);
  EXPECT_NE(made->pixels, nullptr);
  EXPECT_EQ(g_TextureBytesLoaded, kBlock64);
  TextureUnloadPixels(made);  // its bytes were never counted
  EXPECT_EQ(g_TextureBytesLoaded, kBlock64);
  // Asked for again, it is never read from an archive offset it does not have.
  EXPECT_EQ(made->archiveOffset, -1);
  ASSERT_NE(TextureLoadPixels(made), nullptr);
  EXPECT_EQ(GetTexel(made, 0, 0), FindPaletteColour(0, 0, 0));
  EXPECT_EQ(g_TextureBytesLoaded, kBlock64);
  EXPECT_EQ(g_TextureLoadCount, 2);
}

TEST_F(TextureBudgetTest, UnloadReturnsTheBytesAndWithoutAPixelFileNothingLoads) {
  Open(2 * kBlock64);
  TextureLoadPixels(a_);
  TextureUnloadPixels(a_);
  TextureUnloadPixels(a_);  // twice: nothing more
  TextureUnloadPixels(nullptr);
  EXPECT_EQ(g_TextureBytesLoaded, 0);
  TextureArchiveClose();
  EXPECT_EQ(TextureLoadPixels(a_), nullptr);
  EXPECT_EQ(GetTexel(a_, 0, 0), -1);
  EXPECT_EQ(TextureLoadPixels(nullptr), nullptr);
}

TEST_F(TextureStoreTest, TextureFromIdFindsOrMakesASharedPlaceholder) {
  ASSERT_EQ(OpenTextureArchive(0xC00000, WriteTextures("t.can", {FlatTexture("A.BMP", 32, 32, 50)}).c_str()), 1);
  EXPECT_EQ(TextureFromId(0), nullptr);
  Texture* a = TextureFromId(NameHash("a.bmp"));
  ASSERT_NE(a, nullptr);
  EXPECT_STREQ(a->name, "A.BMP");
  EXPECT_EQ(a->refs, 1);

  Texture* missing = TextureFromId(0xABCD);
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(TextureFromId(0xABCD), missing);
  EXPECT_EQ(missing->refs, 2);
  EXPECT_EQ(missing->id, 0xABCD);
  EXPECT_EQ(missing->temporary, 1);
  EXPECT_STREQ(missing->name, "TextureID=0000ABCD");
  EXPECT_EQ(missing->width, 32);
  EXPECT_EQ(missing->hardwareSlot, kTextureNoHardwareSlot);
  EXPECT_EQ(missing->archiveOffset, -1);
  EXPECT_EQ(GetTexel(missing, 31, 31), FindPaletteColour(0, 0, 0));
  EXPECT_EQ(g_TextureListTail, missing);
  EXPECT_EQ(ListLength(), 2);

  ReleaseTexture(missing);
  EXPECT_EQ(ListLength(), 2);
  ReleaseTexture(missing);  // the last reference: freed and unlinked
  EXPECT_EQ(ListLength(), 1);
  EXPECT_EQ(g_TextureListTail, a);
  EXPECT_EQ(a->next, nullptr);

  ReleaseTexture(a);  // archive textures stay at no references
  EXPECT_EQ(a->refs, 0);
  EXPECT_EQ(TextureListHead(), a);
  ReleaseTexture(nullptr);
}

TEST_F(TextureStoreTest, CreateTextureMakesANearBlackTextureWithItsPreviews) {
  Texture* t = CreateTexture("COCKPIT.BMP", 256, 128);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->refs, 1);
  EXPECT_EQ(t->flags, 0);
  EXPECT_EQ(t->log2Width, 8);
  EXPECT_EQ(t->log2Height, 7);
  EXPECT_EQ(t->byteSize, 32768 + 8192 + 2048 + 341);
  EXPECT_EQ(t->id, NameHash("COCKPIT.BMP"));
  EXPECT_EQ(t->temporary, 0);
  EXPECT_EQ(t->hardwareSlot, kTextureNoHardwareSlot);
  EXPECT_EQ(t->lastUsed, kStampNever);
  const int black = FindPaletteColour(0, 0, 0);
  for (int i : {0, 32767, 32768, t->byteSize - 341, t->byteSize - 1}) EXPECT_EQ(t->pixels[i], black) << i;
  EXPECT_EQ(TextureListHead(), t);
  Texture* second = CreateTexture("SECOND.BMP", 32, 32);
  EXPECT_EQ(t->next, second);
  EXPECT_EQ(second->prev, t);
  EXPECT_EQ(g_TextureListTail, second);
  ReleaseTexture(t);  // not temporary: kept at no references
  EXPECT_EQ(TextureListHead(), t);
}

TEST_F(TextureStoreTest, CreateTextureRefusesSizesTheSpanRoutinesCannotDraw) {
  const int sizes[][2] = {{16, 32}, {32, 512}, {48, 64}, {0, 32}, {-32, 32}};
  for (const auto& s : sizes) EXPECT_EQ(CreateTexture("X", s[0], s[1]), nullptr) << s[0] << "x" << s[1];
  EXPECT_EQ(CreateTexture(nullptr, 32, 32), nullptr);
  EXPECT_EQ(TextureListHead(), nullptr);
}

TEST_F(TextureStoreTest, GetTexelRefusesWhatIsNotThere) {
  Texture* t = CreateTexture("T.BMP", 64, 32);
  t->pixels[31 * 64 + 63] = 99;
  EXPECT_EQ(GetTexel(t, 63, 31), 99);
  const int outside[][2] = {{-1, 0}, {0, -1}, {64, 0}, {0, 32}};
  for (const auto& p : outside) EXPECT_EQ(GetTexel(t, p[0], p[1]), -1) << p[0] << "," << p[1];
  EXPECT_EQ(GetTexel(nullptr, 0, 0), -1);
}

TEST_F(TextureStoreTest, FreeAllEmptiesTheListAndWalkingIsNullSafe) {
  CreateTexture("A", 32, 32);
  TextureAddRef(CreateTexture("B", 32, 32));
  FreeAllTextures();
  EXPECT_EQ(TextureListHead(), nullptr);
  EXPECT_EQ(g_TextureListTail, nullptr);
  EXPECT_EQ(TextureNext(nullptr), nullptr);
  EXPECT_EQ(TextureAddRef(nullptr), nullptr);
}

}  // namespace
