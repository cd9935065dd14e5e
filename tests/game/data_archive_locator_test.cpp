#include "game/data_archive_locator.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/data_archive.h"
#include "platform/paths.h"
#include "tests/support/process_info.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/archive_writer.h"

namespace {

enum Place { kCurrent, kProgram, kMedia1, kMedia2 };
const char* const kPlaceNames[] = {"current", "program", "media1", "media2"};

enum class Content { None, Good, OldVersion, BadDirectory };

// An archive whose one member "WHERE" names the place it lies in.
std::vector<uint8_t> ArchiveFor(Place place, Content content) {
  ArchiveWriter archive;
  const std::string where = kPlaceNames[place];
  archive.AddMember("WHERE", std::vector<uint8_t>(where.begin(), where.end()));
  std::vector<uint8_t> bytes = archive.Build(content == Content::OldVersion ? 102 : kArchiveVersion);
  if (content == Content::BadDirectory) bytes[bytes.size() - 4] = 0xFF;  // count far out of range
  return bytes;
}

// The four places: a temporary current folder, the folder of this test
// program, and two media folders standing in for CD-ROM drives D: and F:.
class LocatorTest : public ::testing::Test {
 protected:
  LocatorTest() : name_("LOCATE" + std::to_string(ProcessId()) + ".CAN") {
    for (const char* folder : {"cd_d", "cd_f", "cwd"}) temp_.MakeFolder(folder);
    const std::string media = temp_.Join("cd_d") + ":" + temp_.Join("cd_f");
    media_ = std::make_unique<ScopedEnv>("KORVANE_MEDIA_DIRS", media.c_str());
    cd_ = std::make_unique<ScopedCurrentFolder>(temp_.Join("cwd"));
  }

  ~LocatorTest() override {
    ArchiveClose();
    std::remove((PlatformProgramFolder() + name_).c_str());
  }

  void Place(Place place, Content content) {
    if (content == Content::None) return;
    const std::vector<uint8_t> bytes = ArchiveFor(place, content);
    switch (place) {
      case kCurrent:
        temp_.WriteFile("cwd/" + name_, bytes);
        break;
      case kMedia1:
        temp_.WriteFile("cd_d/" + name_, bytes);
        break;
      case kMedia2:
        temp_.WriteFile("cd_f/" + name_, bytes);
        break;
      case kProgram: {
        FILE* file = std::fopen((PlatformProgramFolder() + name_).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        break;
      }
    }
  }

  // Which place the open archive came from.
  std::string OpenedFrom() {
    const int size = ArchiveMemberSize("WHERE");
    if (size <= 0 || size > 16 || !ArchiveFindMember("WHERE")) return "(none)";
    char where[16];
    if (!ArchiveReadBytes(where, size)) return "(unreadable)";
    return std::string(where, static_cast<size_t>(size));
  }

  TempFolder temp_;
  std::string name_;
  std::unique_ptr<ScopedEnv> media_;
  std::unique_ptr<ScopedCurrentFolder> cd_;
};

}  // namespace

TEST_F(LocatorTest, SearchOrderIsCurrentProgramThenMediaInOrder) {
  struct Case {
    const char* what;
    Content current, program, media1, media2;
    const char* expected;
  } cases[] = {
      {"everywhere", Content::Good, Content::Good, Content::Good, Content::Good, "current"},
      {"beside the program and on both discs", Content::None, Content::Good, Content::Good, Content::Good, "program"},
      {"on both discs: the first drive first", Content::None, Content::None, Content::Good, Content::Good, "media1"},
      {"on the second disc only", Content::None, Content::None, Content::None, Content::Good, "media2"},
      {"old version in the current folder", Content::OldVersion, Content::Good, Content::Good, Content::None,
       "program"},
      {"bad directory beside the program", Content::None, Content::BadDirectory, Content::None, Content::Good,
       "media2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Place(kCurrent, c.current);
    Place(kProgram, c.program);
    Place(kMedia1, c.media1);
    Place(kMedia2, c.media2);
    OpenDataArchive(name_.c_str());
    EXPECT_EQ(OpenedFrom(), c.expected);
    EXPECT_EQ(ArchiveClose(), 1);  // returned with the archive open
    for (const char* file : {"cwd/", "cd_d/", "cd_f/"}) std::remove(temp_.Join(file + name_).c_str());
    std::remove((PlatformProgramFolder() + name_).c_str());
  }
}

TEST_F(LocatorTest, NameIsMatchedWithoutRegardToCase) {
  Place(kMedia2, Content::Good);
  std::string lower = name_;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  OpenDataArchive(lower.c_str());
  EXPECT_EQ(OpenedFrom(), "media2");
}

namespace {
void MarkClose() { std::fputs("[close document]\n", stderr); }
void MarkLeave() { std::fputs("[leave full screen]\n", stderr); }
void MarkDelete() { std::fputs("[delete interface]\n", stderr); }
}  // namespace

TEST_F(LocatorTest, MissingEverywhereAsksForTheCdAndEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Place(kCurrent, Content::OldVersion);  // not valid anywhere
  EXPECT_EXIT(
      {
        DataArchiveSetFailureSteps({MarkClose, MarkLeave, MarkDelete});
        OpenDataArchive(name_.c_str());
      },
      ::testing::ExitedWithCode(1),
      "\\[close document\\][^$]*\\[leave full screen\\][^$]*Insert Korvane CD in your CD drive and restart the "
      "game\\.[^$]*\\[delete interface\\]");
  // Without installed steps the message and the exit remain.
  EXPECT_EXIT(OpenDataArchive("NOWHERE.CAN"), ::testing::ExitedWithCode(1), "Insert Korvane CD");
}
