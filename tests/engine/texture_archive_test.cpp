#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "engine/name_hash.h"
#include "engine/properties.h"
#include "tests/engine/texture_fixture.h"
#include "tests/support/process_info.h"

namespace {

constexpr int kBudget = 0xC00000;

// Byte offset of the texture list in a "TEXTURES" member of count colours.
size_t ListOffset(int count) { return 4 + 13 * static_cast<size_t>(count) + 8192; }

void PatchI32(std::vector<uint8_t>& bytes, size_t offset, int32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

TEST_F(TextureStoreTest, ReadsPaletteTablesAndTheListInOrder) {
  BuilderTexture keyed = FlatTexture("!KEYED.BMP", 32, 64, 100, 4);
  keyed.flags = 7;
  keyed.properties = {{"glow", "1"}};
  const std::string path = WriteTextures("t.can", {FlatTexture("A.BMP", 64, 64, 50), keyed});
  ASSERT_EQ(OpenTextureArchive(kBudget, path.c_str()), 1);

  EXPECT_EQ(g_PaletteCount, 256);
  for (int i : {0, 10, 100, 245, 255}) {
    EXPECT_EQ(g_PaletteRed[i], palette_.red[i]) << i;
    EXPECT_EQ(g_PaletteGreen[i], palette_.green[i]) << i;
    EXPECT_EQ(g_PaletteBlue[i], palette_.blue[i]) << i;
    EXPECT_EQ(g_ColourRemap[i], palette_.remap[i]) << i;
  }
  EXPECT_EQ(std::memcmp(g_pShadeTable, palette_.shade.data(), kShadeTableBytes), 0);

  ASSERT_EQ(ListLength(), 2);
  Texture* a = TextureListHead();
  Texture* b = TextureNext(a);
  EXPECT_EQ(g_TextureListTail, b);
  EXPECT_STREQ(a->name, "A.BMP");
  EXPECT_EQ(a->prev, nullptr);
  EXPECT_EQ(b->prev, a);
  EXPECT_EQ(b->next, nullptr);
  EXPECT_STREQ(b->name, "!KEYED.BMP");
  EXPECT_EQ(b->flags, 7);
  EXPECT_EQ(b->width, 32);
  EXPECT_EQ(b->height, 64);
  EXPECT_EQ(b->log2Width, 5);
  EXPECT_EQ(b->log2Height, 6);
  EXPECT_EQ(b->id, NameHash("!KEYED.BMP"));
  EXPECT_EQ(b->byteSize, 2048 + 341);
  EXPECT_STREQ(PropFind(b->props, NameHash("glow")), "1");
  for (Texture* t : {a, b}) {
    EXPECT_EQ(t->refs, 0);
    EXPECT_EQ(t->lastUsed, kStampNever);
    EXPECT_EQ(t->pixels, nullptr);
    EXPECT_EQ(t->temporary, 0);
    EXPECT_EQ(t->hardwareSlot, kTextureNoHardwareSlot);
    EXPECT_GT(t->archiveOffset, 4);
  }
  EXPECT_EQ(g_TextureBytesLoaded, 0);
  EXPECT_EQ(g_TextureLoadCount, 0);
  EXPECT_EQ(g_TextureBudget, kBudget);
}

TEST_F(TextureStoreTest, PixelsComeFromTheTexturesOwnMemberAndMatchTheEnginesPreviews) {
  BuilderTexture stripes = FlatTexture("STRIPES.BMP", 128, 64, 60, 10);
  for (int y = 0; y < 64; ++y)
    for (int x = 10; x < 128; ++x) stripes.level0[y * 128 + x] = static_cast<uint8_t>(10 + (x / 4 + y / 8) % 200);
  const std::vector<uint8_t> expected = TexturePixelBlock(palette_, stripes);
  ASSERT_EQ(OpenTextureArchive(kBudget, WriteTextures("t.can", {stripes}).c_str()), 1);
  Texture* t = TextureListHead();
  ASSERT_EQ(static_cast<size_t>(t->byteSize), expected.size());
  const uint8_t* pixels = TextureLoadPixels(t);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(std::memcmp(pixels, expected.data(), expected.size()), 0);
  EXPECT_EQ(g_TextureLoadCount, 1);
  EXPECT_EQ(g_TextureBytesLoaded, t->byteSize);
  EXPECT_EQ(TextureLoadPixels(t), pixels);  // already loaded: no second read
  EXPECT_EQ(g_TextureLoadCount, 1);
  // The engine, given level 0, makes the same smaller levels and previews.
  std::vector<uint8_t> rebuilt(pixels, pixels + t->byteSize);
  std::memset(rebuilt.data() + 128 * 64, 0, rebuilt.size() - 128 * 64);
  Texture copy = *t;
  copy.pixels = rebuilt.data();
  BuildTexturePreviews(&copy);
  EXPECT_EQ(rebuilt, expected);
  EXPECT_EQ(GetTexel(t, 0, 0), 255);
  EXPECT_EQ(GetTexel(t, 20, 0), stripes.level0[20]);
}

TEST_F(TextureStoreTest, TheArchiveReaderStateOfTheCallerSurvives) {
  ArchiveWriter other;
  ASSERT_TRUE(other.AddMember("OBJECTS", {1, 2, 3, 4}));
  const std::string otherPath = WriteArchive("m1.can", other);
  const std::string path = WriteTextures("t.can", {FlatTexture("A.BMP", 32, 32, 50)});
  ASSERT_EQ(ArchiveOpen(otherPath.c_str()), 1);
  ASSERT_EQ(OpenTextureArchive(kBudget, path.c_str()), 1);
  ASSERT_EQ(ArchiveFindMember("OBJECTS"), 1);  // the mission archive is still open
  int value = 0;
  ASSERT_EQ(ArchiveReadInt(&value), 1);
  EXPECT_EQ(value, 0x04030201);
  EXPECT_EQ(ArchivePopState(), 0);  // nothing left pushed
}

struct BadTextureCase {
  const char* what;
  int width, height;
  int log2Width, log2Height;  // -1: the right one
};

TEST_F(TextureStoreTest, ABadTextureEntryFailsTheLoadAndLeavesTheStoreEmpty) {
  const BadTextureCase cases[] = {
      {"width not a power of two", 48, 32, 6, 5},
      {"too wide for the span routines", 512, 32, -1, -1},
      {"too small", 16, 32, -1, -1},
      {"zero height", 32, 0, -1, 0},
      {"log2 width disagrees", 64, 64, 5, -1},
      {"log2 height disagrees", 64, 64, -1, 7},
  };
  for (const BadTextureCase& c : cases) {
    SCOPED_TRACE(c.what);
    BuilderTexture bad = FlatTexture("BAD.BMP", 32, 32, 50);
    bad.width = c.width;
    bad.height = c.height;
    bad.level0.assign(static_cast<size_t>(std::max(0, c.width * c.height)), 50);
    bad.storedLog2Width = c.log2Width;
    bad.storedLog2Height = c.log2Height;
    ArchiveWriter archive;
    ASSERT_TRUE(archive.AddMember("TEXTURES", TexturesMember(palette_, {FlatTexture("GOOD.BMP", 32, 32, 40), bad})));
    const std::string path = WriteArchive("bad.can", archive);
    EXPECT_EQ(OpenTextureArchive(kBudget, path.c_str()), 0);
    EXPECT_EQ(TextureListHead(), nullptr);
    EXPECT_EQ(g_TextureListTail, nullptr);
    EXPECT_EQ(ArchivePopState(), 0);
    EXPECT_EQ(ArchiveClose(), 0);
  }
}

TEST_F(TextureStoreTest, PaletteCountsAndValuesOutOfRangeFailTheLoad) {
  std::vector<uint8_t> member = TexturesMember(palette_, {FlatTexture("A.BMP", 32, 32, 50)});
  for (int count : {257, -1}) {
    std::vector<uint8_t> bad = member;
    PatchI32(bad, 0, count);
    EXPECT_EQ(OpenTextureArchive(kBudget, WriteMember("p.can", bad).c_str()), 0) << count;
  }
  std::vector<uint8_t> badRed = member;
  PatchI32(badRed, 4 + 4 * 20, 300);  // red of entry 20
  EXPECT_EQ(OpenTextureArchive(kBudget, WriteMember("r.can", badRed).c_str()), 0);
  EXPECT_EQ(g_PaletteRed[20], 0);  // the failed palette was not taken
}

TEST_F(TextureStoreTest, ASmallPaletteIsReadAsItsCount) {
  BuilderPalette small = palette_;
  small.count = 200;
  ArchiveWriter archive;
  ASSERT_TRUE(AddTextureArchive(&archive, small, {FlatTexture("A.BMP", 32, 32, 50)}));
  ASSERT_EQ(OpenTextureArchive(kBudget, WriteArchive("s.can", archive).c_str()), 1);
  EXPECT_EQ(g_PaletteCount, 200);
  EXPECT_EQ(g_PaletteRed[255], 255);  // entry 255 white when the member leaves it out
  EXPECT_EQ(FindPaletteColour(palette_.red[220], palette_.green[220], palette_.blue[220]) < 200, true);
}

TEST_F(TextureStoreTest, ATruncatedOrBrokenListFailsTheLoad) {
  const std::vector<uint8_t> member =
      TexturesMember(palette_, {FlatTexture("A.BMP", 32, 32, 50), FlatTexture("B.BMP", 32, 32, 60)});
  std::vector<uint8_t> cut(member.begin(), member.end() - 6);
  EXPECT_EQ(OpenTextureArchive(kBudget, WriteMember("cut.can", cut).c_str()), 0);
  EXPECT_EQ(TextureListHead(), nullptr);
  // The tail reference (last i32) names the first texture instead of the last.
  std::vector<uint8_t> wrongTail = member;
  PatchI32(wrongTail, wrongTail.size() - 4, 1);
  EXPECT_EQ(OpenTextureArchive(kBudget, WriteMember("tail.can", wrongTail).c_str()), 0);
  EXPECT_EQ(TextureListHead(), nullptr);
  // A head of null with textures nowhere: an empty list is fine.
  std::vector<uint8_t> empty(member.begin(), member.begin() + ListOffset(256));
  empty.insert(empty.end(), {0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(OpenTextureArchive(kBudget, WriteMember("empty.can", empty).c_str()), 1);
  EXPECT_EQ(TextureListHead(), nullptr);
}

TEST_F(TextureStoreTest, AListLongerThanAnArchiveCanHoldMembersIsRefused) {
  // Every texture has a pixel member: more textures than an archive can hold
  // members is a forged list.
  std::vector<BuilderTexture> textures;
  for (int i = 0; i < kArchiveMaxMembers; ++i) textures.push_back(FlatTexture("T" + std::to_string(i), 32, 32, 50));
  EXPECT_EQ(OpenTextureArchive(kBudget, WriteMember("full.can", TexturesMember(palette_, textures)).c_str()), 1);
  EXPECT_EQ(ListLength(), kArchiveMaxMembers);
  textures.push_back(FlatTexture("ONE.MORE", 32, 32, 50));
  EXPECT_EQ(OpenTextureArchive(kBudget, WriteMember("over.can", TexturesMember(palette_, textures)).c_str()), 0);
  EXPECT_EQ(TextureListHead(), nullptr);
}

TEST_F(TextureStoreTest, AMissingMemberOrFileLeavesThePreviousLevelAlone) {
  const std::string path = WriteTextures("t.can", {FlatTexture("A.BMP", 64, 64, 50)});
  ASSERT_EQ(OpenTextureArchive(kBudget, path.c_str()), 1);
  Texture* a = TextureListHead();
  ASSERT_NE(TextureLoadPixels(a), nullptr);
  const int loaded = g_TextureBytesLoaded;

  ArchiveWriter noTextures;
  ASSERT_TRUE(noTextures.AddMember("OTHER", {0}));
  EXPECT_EQ(OpenTextureArchive(100, WriteArchive("none.can", noTextures).c_str()), 0);
  EXPECT_EQ(OpenTextureArchive(100, temp_.Join("missing.can").c_str()), 0);

  EXPECT_EQ(TextureListHead(), a);
  EXPECT_EQ(g_TextureBytesLoaded, loaded);
  EXPECT_EQ(g_TextureBudget, kBudget);
  TextureUnloadPixels(a);
  EXPECT_EQ(g_TextureBytesLoaded, 0);
  EXPECT_NE(TextureLoadPixels(a), nullptr);  // the pixel file is still open
  EXPECT_EQ(g_TextureLoadCount, 2);
}

TEST_F(TextureStoreTest, OpeningAgainClosesThePreviousPixelFileAndStartsCountingAfresh) {
  const std::string path = WriteTextures("t.can", {FlatTexture("A.BMP", 64, 64, 50)});
  ASSERT_EQ(OpenTextureArchive(kBudget, path.c_str()), 1);
  TextureLoadPixels(TextureListHead());
  const int files = OpenFileCount();
  for (int i = 0; i < 5; ++i) ASSERT_EQ(OpenTextureArchive(kBudget / 2, path.c_str()), 1);
  EXPECT_EQ(OpenFileCount(), files);
  EXPECT_EQ(g_TextureBytesLoaded, 0);
  EXPECT_EQ(g_TextureLoadCount, 0);
  EXPECT_EQ(g_TextureBudget, kBudget / 2);
  EXPECT_EQ(ListLength(), 1);
}

TEST_F(TextureStoreTest, ATextureWithoutItsMemberIsDrawnFlatOutsideTheBudget) {
  ArchiveWriter archive;
  ASSERT_TRUE(archive.AddMember("TEXTURES", TexturesMember(palette_, {FlatTexture("HERE.BMP", 32, 32, 50),
                                                                      FlatTexture("GONE.BMP", 32, 32, 60)})));
  ASSERT_TRUE(archive.AddMember("HERE.BMP", TexturePixelBlock(palette_, FlatTexture("HERE.BMP", 32, 32, 50))));
  ASSERT_EQ(OpenTextureArchive(kBudget, WriteArchive("t.can", archive).c_str()), 1);
  Texture* gone = Find("GONE.BMP");
  ASSERT_NE(gone, nullptr);
  EXPECT_EQ(gone->archiveOffset, -1);
  EXPECT_EQ(GetTexel(gone, 5, 5), FindPaletteColour(0, 0, 0));
  EXPECT_EQ(g_TextureBytesLoaded, 0);
  EXPECT_EQ(g_TextureLoadCount, 0);
}

TEST_F(TextureStoreTest, AMemberTooSmallForTheTextureIsTreatedAsMissing) {
  ArchiveWriter archive;
  ASSERT_TRUE(archive.AddMember("TEXTURES", TexturesMember(palette_, {FlatTexture("SHORT.BMP", 64, 64, 50)})));
  ASSERT_TRUE(archive.AddMember("SHORT.BMP", std::vector<uint8_t>(100, 50)));
  ASSERT_TRUE(archive.AddMember("NEXT", std::vector<uint8_t>(10000, 77)));  // would be read as pixels
  ASSERT_EQ(OpenTextureArchive(kBudget, WriteArchive("t.can", archive).c_str()), 1);
  Texture* t = TextureListHead();
  EXPECT_EQ(t->archiveOffset, -1);
  EXPECT_EQ(GetTexel(t, 63, 63), FindPaletteColour(0, 0, 0));
}

TEST_F(TextureStoreTest, AShortReadGivesFlatPixelsInsteadOfGarbage) {
  const std::string path = WriteTextures("t.can", {FlatTexture("A.BMP", 64, 64, 50), FlatTexture("B.BMP", 64, 64, 60)});
  ASSERT_EQ(OpenTextureArchive(kBudget, path.c_str()), 1);
  Texture* b = Find("B.BMP");
  // The file shrinks under the open pixel file: B's pixels are half gone.
  std::filesystem::resize_file(path, static_cast<uintmax_t>(b->archiveOffset + 100));
  const uint8_t* pixels = TextureLoadPixels(b);
  ASSERT_NE(pixels, nullptr);
  const uint8_t black = static_cast<uint8_t>(FindPaletteColour(0, 0, 0));
  for (int i : {0, 99, 100, 4095, b->byteSize - 1}) EXPECT_EQ(pixels[i], black) << i;
  EXPECT_EQ(g_TextureLoadCount, 0);
  EXPECT_EQ(g_TextureBytesLoaded, b->byteSize);  // it holds memory like any other
}

}  // namespace
