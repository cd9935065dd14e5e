// Briefings, videos and the credits: the page count, the page text and its
// typing, the videos found or skipped, the ending's credits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "game/game_app.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "media/smacker_video.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "tests/game/game_fixture.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/bmp_writer.h"
#include "tools/builder/demo_briefing.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_videos.h"

namespace {

class BriefingTest : public AppTest {
 protected:
  BriefingTest() : extra_("KORVANE_MEDIA_DIRS", (std::string(std::getenv("KORVANE_MEDIA_DIRS")) + ":" + media_folder_.Path()).c_str()) {}
  void TearDown() override {
    g_CurrentMissionArchive = "M1.CAN";
    AppTest::TearDown();
  }
  // A mission archive of the extra media folder with these members (a small
  // picture for each .BMP, the text for each .TXT).
  void WriteMission(const char* name, const std::vector<std::pair<std::string, std::string>>& members) {
    ArchiveWriter archive;
    BuilderPicture picture;
    picture.width = 8;
    picture.height = 8;
    picture.pixels.assign(64, 40);
    for (const auto& [member, text] : members) {
      if (member.find(".BMP") != std::string::npos) {
        ASSERT_TRUE(archive.AddMember(member, BmpFileBytes(picture, DemoInterfacePalette())));
      } else {
        ASSERT_TRUE(archive.AddMember(member, std::vector<uint8_t>(text.begin(), text.end())));
      }
    }
    ASSERT_TRUE(archive.WriteFile(media_folder_.Join(name)));
  }

  TempFolder media_folder_;
  ScopedEnv extra_;
};

}  // namespace

TEST(BriefingLines, EveryLineEndEndsALineAndLongLinesAreCut) {
  const struct {
    const char* text;
    int width, lines;
    std::vector<std::string> expected;
  } cases[] = {
      {"AB\r\nCD\r\n", 10, 10, {"AB", "CD"}},
      {"AB\nCD\nEF", 10, 10, {"AB", "CD", "EF"}},  // no character of the next line is lost
      {"AB\rCD", 10, 10, {"AB", "CD"}},
      {"AB\r\n\r\nCD", 10, 10, {"AB", "", "CD"}},
      {"ABCDEFGH\r\nIJ", 3, 10, {"ABC", "IJ"}},  // cut, not wrapped
      {"A\nB\nC\nD", 10, 2, {"A", "B"}},
      {"", 10, 10, {}},
  };
  for (const auto& c : cases) {
    const std::vector<CString> lines = BriefingLines(c.text, c.width, c.lines);
    ASSERT_EQ(lines.size(), c.expected.size()) << c.text;
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], c.expected[i].c_str()) << c.text;
  }
}

TEST(CreditsScroll, OneRowAStepThenAGapOf500Rows) {
  EXPECT_EQ(NextCreditsPosition(-500, 960), -499);
  EXPECT_EQ(NextCreditsPosition(958, 960), 959);
  EXPECT_EQ(NextCreditsPosition(959, 960), -500);
  EXPECT_EQ(CreditsSourceRow(-500, 479, 960), -1);
  EXPECT_EQ(CreditsSourceRow(-10, 10, 960), 0);
  EXPECT_EQ(CreditsSourceRow(900, 59, 960), 959);
  EXPECT_EQ(CreditsSourceRow(900, 60, 960), -1);  // past the last row: the background alone
}

TEST_F(BriefingTest, PagesAreCountedByTheirPicturesUpToTen) {
  std::vector<std::pair<std::string, std::string>> twelve;
  for (int i = 1; i <= 12; ++i) {
    twelve.push_back({"BRIEF" + std::to_string(i) + ".BMP", ""});
    twelve.push_back({"BRIEF" + std::to_string(i) + ".TXT", "PAGE " + std::to_string(i) + "^SECRET"});
  }
  WriteMission("T12.CAN", twelve);
  WriteMission("T13.CAN", {{"BRIEF1.BMP", ""}, {"BRIEF3.BMP", ""}, {"BRIEF1.TXT", "ONLY\nPAGE"}});
  WriteMission("T14.CAN", {{"BRIEF1.BMP", ""}, {"BRIEF2.BMP", ""}, {"BRIEF2.TXT", "TWO"}});
  Start();
  g_pInterface->OpenMenu(false);
  g_CurrentMissionArchive = "T12.CAN";
  g_pInterface->StartBriefing();
  EXPECT_EQ(g_pInterface->GetScreen(), 8);
  EXPECT_EQ(g_pInterface->GetLastBriefingPage(), 9);
  EXPECT_EQ(g_pInterface->GetBriefingText(), "PAGE 1");  // up to the "^"

  g_CurrentMissionArchive = "T13.CAN";
  g_pInterface->StartBriefing();
  EXPECT_EQ(g_pInterface->GetLastBriefingPage(), 0);
  EXPECT_EQ(g_pInterface->GetBriefingText(), "ONLY\nPAGE");  // to the member's end

  // A page without its text is shown without text; the program goes on.
  g_CurrentMissionArchive = "T14.CAN";
  g_pInterface->StartBriefing();
  EXPECT_EQ(g_pInterface->GetLastBriefingPage(), 1);
  EXPECT_EQ(g_pInterface->GetBriefingText(), "");
  g_pInterface->CloseMenu();
}

TEST_F(BriefingTest, TheDemoBriefingTypesOneCharacterEvery30MsAndStopsAtTheEnd) {
  Start();
  g_pInterface->OpenMenu(false);
  g_pInterface->StartBriefing();
  ASSERT_EQ(g_pInterface->GetScreen(), 8);
  EXPECT_EQ(g_pInterface->GetBriefingText(), kDemoBriefingTexts[0]);
  g_pInterface->DrawBriefingText(true);
  EXPECT_EQ(g_pInterface->GetBriefingCharsShown(), 0);
  Advance(30);
  g_pInterface->DrawBriefingText(false);
  EXPECT_EQ(g_pInterface->GetBriefingCharsShown(), 0) << "30 ms are not yet more than 30";
  Advance(1);
  g_pInterface->DrawBriefingText(false);
  EXPECT_EQ(g_pInterface->GetBriefingCharsShown(), 1);
  g_pInterface->DrawBriefingText(false);
  EXPECT_EQ(g_pInterface->GetBriefingCharsShown(), 1);
  int total = 0;
  for (const CString& line : BriefingLines(kDemoBriefingTexts[0], g_pInterface->GetBriefingCharsPerLine(),
                                           g_pInterface->GetBriefingLinesPerPage()))
    total += line.GetLength();
  for (int i = 0; i < total + 20; ++i) {
    Advance(31);
    g_pInterface->DrawBriefingText(false);
  }
  EXPECT_EQ(g_pInterface->GetBriefingCharsShown(), total);
  // The first character stands in the first font at the text's top left.
  const unsigned char* bits = g_pInterface->GetBackBufferBits();
  bool inked = false;
  for (int y = 50; y < 50 + g_pInterface->GetBriefingLineHeight(); ++y)
    for (int x = 32; x < 40; ++x) inked |= bits[y * 640 + x] != g_BlackColour;
  EXPECT_TRUE(inked);
  // A restart clears the area.
  g_pInterface->DrawBriefingText(true);
  for (int y = 50; y < 60; ++y)
    for (int x = 32; x < 40; ++x) EXPECT_EQ(bits[y * 640 + x], g_BlackColour);
}

TEST_F(BriefingTest, AMissingVideoGoesOnAtOnceAndAMissingEndingStillShowsTheCredits) {
  Start();
  EXPECT_FALSE(g_pInterface->PlayVideo("NOSUCH.SMK", 11));
  EXPECT_TRUE(g_pInterface->IsMenuActive());
  EXPECT_EQ(g_pInterface->GetScreen(), 11);
  EXPECT_FALSE(g_pInterface->IsVideoPlaying());
  g_pInterface->CloseMenu();

  // The ending: no video in this folder; the credits run until Esc, then
  // the menus come back.
  InputEvent esc{InputEventType::KeyDown};
  esc.scanCode = DIK_ESCAPE;
  Send(esc);
  g_pInterface->PlayEnding();
  EXPECT_FALSE(g_pInterface->IsEndingPlaying());
  EXPECT_TRUE(g_pInterface->IsMenuActive());
  EXPECT_FALSE(IsSmackerOpen());
}

TEST_F(BriefingTest, TheIntroVideoPlaysFromAMediaFolderAndEscOpensTheDifficultyScreen) {
  std::string error;
  ASSERT_TRUE(WriteDemoVideos(media_folder_.Path(), &error)) << error;
  Start();
  g_pInterface->OpenMenu(false);
  ASSERT_TRUE(g_pInterface->PlayVideo("intro.smk", 11));
  EXPECT_TRUE(IsSmackerOpen());
  EXPECT_TRUE(g_pInterface->IsVideoPlaying());
  for (int i = 0; i < 20 && IsSmackerOpen(); ++i) g_pInterface->OnVideoFrame();
  ASSERT_TRUE(IsSmackerOpen());
  EXPECT_GT(GetSmackHandle()->FrameNum, 0u);
  InputEvent esc{InputEventType::KeyDown};
  esc.scanCode = DIK_ESCAPE;
  Send(esc);
  g_pInterface->OnVideoFrame();
  EXPECT_FALSE(IsSmackerOpen());
  EXPECT_FALSE(g_pInterface->IsVideoPlaying());
  EXPECT_EQ(g_pInterface->GetScreen(), 11);
}

TEST_F(BriefingTest, TheCreditsRiseOneRowEvery15Ms) {
  InstallScript("4000 key ESCAPE down\n");
  const DWORD installed = timeGetTime();
  Start();
  const DWORD start = timeGetTime();
  ASSERT_LT(start - installed, 3000u);
  g_pInterface->ShowCredits();
  const int steps = g_pInterface->GetCreditsSteps();
  const int expected = static_cast<int>(installed + 4000 - start) / 15;
  EXPECT_GE(steps, expected - 1);
  EXPECT_LE(steps, expected + 2);
  EXPECT_EQ(g_pInterface->GetCreditsPosition(), -500 + steps);
  // The last frame: the credits over the background, the gap above them
  // the background alone.
  CPicture credit("credit.bmp", "INTERFC.CAN"), back("back.bmp", "INTERFC.CAN");
  const unsigned char* bits = g_pInterface->GetBackBufferBits();
  const int position = g_pInterface->GetCreditsPosition();
  for (int r : {0, 100, 300, 479}) {
    for (int x : {0, 320, 639}) {
      const int row = CreditsSourceRow(position, r, credit.GetHeight());
      const uint8_t c = row >= 0 ? credit.PixelAt(x, row) : 255;
      EXPECT_EQ(bits[r * 640 + x], c == 255 ? back.PixelAt(x, r) : c) << r << "," << x;
    }
  }
}
