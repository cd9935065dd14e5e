// The game document's data: its texts, tuning defaults, object ids and small
// services.
#include "game/net_doc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <type_traits>
#include <memory>
#include <string>
#include <vector>

#include "engine/palette.h"
#include "engine/polygon_group.h"
#include "engine/name_hash.h"
#include "engine/properties.h"
#include "game/game_app.h"
#include "game/tuning_block.h"
#include "media/media_services.h"
#include "platform/crt_random.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_texts.h"
#include "tests/support/temp_folder.h"

namespace {

// ---------------------------------------------------------------------------
// LOGS.TXT

struct TextCase {
  const char* what;
  std::string text;
  std::vector<std::pair<std::string, std::string>> expected;  // key, text; every key the table holds
};

TEST(TextTable, LinesOfAKeyAndATextUntilTheFirstLineThatIsNone) {
  const std::vector<TextCase> cases = {
      {"CR LF lines, keys upper-cased",
       "Msg01: Hello there\r\nDOOR: The door: opens\r\n",
       {{"MSG01", "Hello there"}, {"DOOR", "The door: opens"}}},
      {"LF lines, blank lines skipped, no line end at the end", "\n\nabc: one\n\n\nKEY12345: two", {{"ABC", "one"}, {"KEY12345", "two"}}},
      {"a later line replaces an earlier one", "abc: one\r\nABC: two\r\n", {{"ABC", "two"}}},
      {"an empty text", "abc: \r\nxyz: z", {{"ABC", ""}, {"XYZ", "z"}}},
      {"a line without the separator ends the parse", "abc: one\r\njust words\r\nxyz: two\r\n", {{"ABC", "one"}}},
      {"a colon without a blank is no separator", "abc:one\r\nxyz: two\r\n", {}},
      {"a separator on a later line does not make a key", "abc\r\nxyz: two\r\n", {}},
      {"a key of 2 characters ends the parse", "abc: one\r\nAB: two\r\nxyz: three\r\n", {{"ABC", "one"}}},
      {"a key of 9 characters ends the parse", "abc: one\r\nABCDEFGHI: two\r\n", {{"ABC", "one"}}},
      {"an empty file", "", {}},
      {"a NUL ends the text", std::string("abc: one\r\nxyz: t\0wo\r\nqqq: three", 31), {{"ABC", "one"}, {"XYZ", "t"}}},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.what);
    // Exactly the text's bytes on the heap, so a read past them is caught by
    // the address sanitizer.
    std::unique_ptr<char[]> bytes(new char[c.text.size() + 1]);
    std::memcpy(bytes.get(), c.text.data(), c.text.size());
    CMapStringToString table;
    ParseTextTable(bytes.get(), c.text.size(), &table);
    EXPECT_EQ(table.GetCount(), static_cast<int>(c.expected.size()));
    for (const auto& [key, text] : c.expected) {
      CString found;
      EXPECT_TRUE(table.Lookup(key.c_str(), found)) << key;
      EXPECT_EQ(found, text.c_str()) << key;
    }
  }
}

class DocumentDataTest : public DocumentTest {};

TEST_F(DocumentDataTest, TheDocumentReadsTheDemoTextsFromTheInterfaceArchive) {
  MakeDocument();
  CMapStringToString expected;
  const std::string logs = DemoLogsText();
  ParseTextTable(logs.data(), logs.size(), &expected);
  EXPECT_GE(expected.GetCount(), 5);
  EXPECT_EQ(doc_->GetTextCount(), expected.GetCount());
  CString text;
  ASSERT_TRUE(doc_->LookupText("WELCOME", text));
  EXPECT_EQ(text.Left(13), "Pump Station.");
  EXPECT_FALSE(doc_->LookupText("welcome", text));
}

// ---------------------------------------------------------------------------
// HUD pictures and fonts

TEST_F(DocumentDataTest, TheDocumentHoldsTheHudPicturesAndFontsOfTheInterfaceArchive) {
  MakeDocument();
  for (int weapon = 0; weapon < 10; ++weapon) {
    for (int state = 0; state < 3; ++state) {
      EXPECT_TRUE(doc_->GetWeaponPicture(weapon, state).IsLoaded()) << weapon << state;
    }
  }
  EXPECT_TRUE(doc_->GetMissileReadyPicture().IsLoaded());
  EXPECT_TRUE(doc_->GetMissileReloadPicture().IsLoaded());
  for (int i = 0; i < kHudShipShieldPictures; ++i) EXPECT_TRUE(doc_->GetShipShieldPicture(i).IsLoaded()) << i;
  for (int i = 0; i < kHudShipPictures; ++i) EXPECT_TRUE(doc_->GetShipPicture(i).IsLoaded()) << i;
  EXPECT_EQ(doc_->GetTextRenderer()->GetGlyphWidth(), 6);
  EXPECT_EQ(doc_->GetLargeFont().GetGlyphWidth(), 10);
  EXPECT_EQ(doc_->GetLargeLitFont().GetGlyphWidth(), 10);
  // The sheets were read: the demo's large fonts are taller than the small.
  EXPECT_GT(doc_->GetLargeFont().GetGlyphHeight(), doc_->GetTextRenderer()->GetGlyphHeight());
}

// An interface archive without one of the HUD's pictures or fonts ends the
// program through the picture loader's fatal path, at the line of a missing
// member (pictures and font sheets have their own).
TEST_F(DocumentDataTest, AMissingHudPictureOrFontEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "fast");
  MediaServices services;
  services.fatalError = CGameApp::FatalError;
  MediaSetServices(services);
  ArchiveWriter full;
  std::string error;
  ASSERT_TRUE(AddDemoInterface(&full, &error)) << error;
  const std::string log = data_.Join("korvane/ERROR.LOG");
  const struct {
    const char* member;
    int line;
  } cases[] = {{"W7B.BMP", 164}, {"MSL_RELD.BMP", 164}, {"FONT_LG1.BMP", 592}, {"HERO4b.BMP", 164}, {"HERO3.BMP", 164}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.member);
    ASSERT_TRUE(ArchiveWithout(full, c.member).WriteFile(folder_.Join("INTERFC.CAN")));
    EXPECT_EXIT(new CNetDoc(), ::testing::ExitedWithCode(1), "");
    const std::vector<uint8_t> bytes = ReadFileBytes(log);
    const std::string text(bytes.begin(), bytes.end());
    const std::string line = " picture(" + std::to_string(c.line) + "): Abnormal exit";
    EXPECT_NE(text.find(line), std::string::npos) << text;
    std::remove(log.c_str());
  }
  MediaSetServices(MediaServices{});
}

// ---------------------------------------------------------------------------
// Tuning

TEST(TuningBlock, DefaultsInStoredOrder) {
  const double expected[kTuningBlockValues] = {
      240, 200, 250, 200, 100, 1800, 900, 1400, 5000, 1000, 1500, 10000,  // intervals
      1.0, 11.0, 2.5, 4.5, 2.5, 3.0, 18.0, 12.0, 12.0, 50.0,             // damage
      900, 30, 2, 20, 16, 8, 6, 6, 8, 200,                               // capacities
      0.06, 0.16, 0.08, 0.12, 0.08, 0.35,                                // heat per shot
      500, 80, 750, 300, 130, 250, 300,                                  // speeds
  };
  // 12 ints, 10 floats, 10 ints, 6 floats, 7 ints.
  const char kinds[] = "iiiiiiiiiiiiffffffffffiiiiiiiiiiffffffiiiiiii";
  const TuningBlock single = TuningBlockDefaults(false);
  int n = 0;
  VisitTuningBlock(single, [&](const auto& value) {
    ASSERT_LT(n, kTuningBlockValues);
    const bool isFloat = std::is_same_v<std::decay_t<decltype(value)>, float>;
    EXPECT_EQ(isFloat, kinds[n] == 'f') << "value " << n;
    EXPECT_FLOAT_EQ(static_cast<float>(value), static_cast<float>(expected[n])) << "value " << n;
    ++n;
  });
  EXPECT_EQ(n, kTuningBlockValues);
  EXPECT_FLOAT_EQ(TuningBlockDefaults(true).shotDamage, 2.0f);
  EXPECT_EQ(TuningBlockDefaults(true).satelliteInterval, 10000);
}

TEST_F(DocumentDataTest, ANewDocumentHoldsTheSinglePlayTuning) {
  MakeDocument();
  EXPECT_FLOAT_EQ(doc_->GetTuning().shotDamage, 1.0f);
  EXPECT_EQ(doc_->GetTuning().shellCapacity, 900);
  EXPECT_FLOAT_EQ(doc_->GetTuning().coreAcceleratorHeat, 0.35f);
}

// ---------------------------------------------------------------------------
// Object ids

TEST_F(DocumentDataTest, ObjectIdsStartFromTheRandomNumberShiftedAndAreNeverZero) {
  CrtSrand(1234);
  const uint32_t seed = static_cast<uint32_t>(CrtRand());
  CrtSrand(1234);
  MakeDocument();
  EXPECT_EQ(doc_->NewObjectId(), seed << 12);
  EXPECT_EQ(doc_->NewObjectId(), (seed << 12) + 1);
  DeleteDocument();

  // A seed whose first number is 0 would start at 0, which names nothing.
  unsigned zeroSeed = 0;
  for (unsigned s = 1; s < 1000000; ++s) {
    CrtSrand(s);
    if (CrtRand() == 0) {
      zeroSeed = s;
      break;
    }
  }
  ASSERT_NE(zeroSeed, 0u);
  CrtSrand(zeroSeed);
  MakeDocument();
  EXPECT_EQ(doc_->NewObjectId(), 1u);
  EXPECT_EQ(doc_->NewObjectId(), 2u);
}

// ---------------------------------------------------------------------------
// Small services

TEST_F(DocumentDataTest, ShakeIsRaisedToItsCapAndNeverLowered) {
  MakeDocument();
  EXPECT_EQ(doc_->RaiseShake(2000), 1500);
  EXPECT_EQ(doc_->RaiseShake(100), 1500);
  EXPECT_FLOAT_EQ(doc_->GetShakeAmount(), 1.5f);
  doc_->RaiseShakeTo(2500);
  EXPECT_FLOAT_EQ(doc_->GetShakeAmount(), 2.5f);
}

TEST(DocumentServices, SurfaceKindsAndTheirColours) {
  World world{};
  PolygonGroup* group = GroupCreate(&world, "pool", nullptr);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(GetSurfaceType(group), 0);
  for (const auto& [surface, kind] : std::vector<std::pair<const char*, int>>{
           {"LAVA", 2}, {"water", 1}, {"Sludge", 3}, {"forcefield", 0}}) {
    PropSet(&group->props, NameHash("surface"), surface);
    EXPECT_EQ(GetSurfaceType(group), kind) << surface;
    PropFreeList(&group->props);
  }
  EXPECT_EQ(GetSurfaceType(static_cast<PolygonGroup*>(nullptr)), 0);
  GroupDelete(group);
  EXPECT_EQ(ColourForType(1), 0xFF9696);
  EXPECT_EQ(ColourForType(2), 0x64C8FF);
  EXPECT_EQ(ColourForType(3), 0x00FF00);
  EXPECT_EQ(ColourForType(4), 0);
}

TEST(DocumentServices, NearestPaletteIndexSearchesTheGameEntriesByItsWeighting) {
  PaletteReset();
  g_PaletteCount = 256;
  for (int i = 0; i < 256; ++i) g_PaletteRed[i] = g_PaletteGreen[i] = g_PaletteBlue[i] = 128;
  // The system entries hold the exact colours; they are never chosen.
  g_PaletteRed[5] = g_PaletteGreen[5] = g_PaletteBlue[5] = 0;
  g_PaletteRed[250] = 255;
  g_PaletteGreen[250] = g_PaletteBlue[250] = 0;
  // Red off by 10 against green off by 9: 100 < 81 x 5 / 4 = 101.
  g_PaletteRed[40] = 10;
  g_PaletteGreen[40] = g_PaletteBlue[40] = 0;
  g_PaletteGreen[41] = 9;
  g_PaletteRed[41] = g_PaletteBlue[41] = 0;
  EXPECT_EQ(NearestPaletteIndex(0, 0, 0), 40);
  // Pure red sits in entry 250, a system entry: the grey of entry 10 is the
  // nearest game entry.
  EXPECT_EQ(NearestPaletteIndex(255, 0, 0), 10);
  // Equal distances: the first entry wins.
  EXPECT_EQ(NearestPaletteIndex(128, 128, 128), 10);
  g_PaletteCount = 8;
  EXPECT_EQ(NearestPaletteIndex(0, 0, 0), 10);
  PaletteReset();
}

TEST(DocumentServices, PickUpKindsByModelName) {
  int a = -1, b = -1;
  EXPECT_EQ(FindPickupType("shields.3ds", &a, &b), 0);
  EXPECT_EQ(a, 15);
  EXPECT_EQ(b, 30);
  EXPECT_EQ(FindPickupType("CARGO.3DS", &a, &b), 32);
  a = b = 7;
  EXPECT_EQ(FindPickupType("crate.3ds", &a, &b), -1);
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 7);
  EXPECT_STREQ(CNetDoc::GetPickupModelName(29), "MOLNIA.3DS");
}

}  // namespace
