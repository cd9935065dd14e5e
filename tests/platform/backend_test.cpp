// The back-end choice, the programs' start of it, and the headless set.
#include "platform/backend.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless_backend.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr bool kSdlBuilt = KORVANE_HAVE_SDL != 0;

struct ChoiceCase {
  const char* backend;  // KORVANE_BACKEND, or null
  const char* display;  // DISPLAY, or null
  BackendKind expected;
};

}  // namespace

TEST(BackendChoose, FollowsTheEnvironmentTheBuildAndTheDisplay) {
  const BackendKind sdlIfBuilt = kSdlBuilt ? BackendKind::Sdl : BackendKind::Headless;
  const ChoiceCase cases[] = {
      {"headless", ":0", BackendKind::Headless},
      {"sdl", nullptr, sdlIfBuilt},
      {nullptr, ":0", sdlIfBuilt},
      {nullptr, nullptr, BackendKind::Headless},
      {"", nullptr, BackendKind::Headless},
  };
  ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  for (const ChoiceCase& c : cases) {
    ScopedEnv backend("KORVANE_BACKEND", c.backend);
    ScopedEnv display("DISPLAY", c.display);
    const char* reason = nullptr;
    EXPECT_EQ(BackendChoose(&reason), c.expected) << (c.backend ? c.backend : "-") << (c.display ? c.display : "-");
    EXPECT_NE(reason, nullptr);
  }
}

// A program's start on the headless back end, by what KORVANE_INPUT_SCRIPT
// names.
class BackendStartTest : public ::testing::Test {
 protected:
  BackendStartTest() : backend_("KORVANE_BACKEND", "headless") {}
  ~BackendStartTest() override { HeadlessBackendInstall(); }

  TempFolder folder_;
  ScopedEnv backend_;
};

TEST_F(BackendStartTest, StartsHeadlessAndSaysWhenNothingWillEndTheRun) {
  folder_.WriteText("quits.script", "100 quit\n");
  folder_.WriteText("endless.script", "100 press escape\n");
  struct Case {
    const char* script;  // in the folder, or null for none
    const char* notice;  // expected on stderr, or null for silence
  } cases[] = {
      {nullptr, "No input script is set"},
      {"endless.script", "The input script has no quit"},
      {"quits.script", nullptr},
  };
  for (const Case& c : cases) {
    const std::string path = c.script ? folder_.Join(c.script) : std::string();
    ScopedEnv script("KORVANE_INPUT_SCRIPT", c.script ? path.c_str() : nullptr);
    std::string error;
    ::testing::internal::CaptureStderr();
    const bool started = PlatformBackendStart(&error);
    const std::string said = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(started) << error;
    if (c.notice) {
      EXPECT_NE(said.find(c.notice), std::string::npos) << said;
      EXPECT_NE(said.find("Ctrl+C"), std::string::npos) << said;
    } else {
      EXPECT_EQ(said.find("Ctrl+C"), std::string::npos) << said;
    }
    const PlatformBackend& b = PlatformBackendGet();
    EXPECT_EQ(b.kind, BackendKind::Headless);
    EXPECT_STREQ(b.display->Name(), "headless");
    EXPECT_STREQ(b.input->Name(), "script");
    EXPECT_STREQ(b.network->Name(), "ENet/UDP");
    EXPECT_STREQ(b.sound->Name(), "OpenAL loopback");
#if KORVANE_HAVE_FFMPEG
    EXPECT_STREQ(b.video->Name(), "FFmpeg");
    EXPECT_STREQ(b.music->Name(), "FFmpeg");
#else
    EXPECT_STREQ(b.music->Name(), "none");
    EXPECT_STREQ(b.video->Name(), "none");
#endif
    ASSERT_NE(b.device3d, nullptr);
  }
}

TEST_F(BackendStartTest, AScriptThatCannotBeReadOrParsedFailsTheStart) {
  folder_.WriteText("bad.script", "100 press escape\n200 jump\n");
  struct Case {
    std::string path;
    const char* reason;
  } cases[] = {
      {folder_.Join("bad.script"), "bad.script: line 2: "},
      {folder_.Join("missing.script"), "missing.script"},
  };
  for (const Case& c : cases) {
    const HeadlessInput* before = HeadlessBackendInstall();
    ScopedEnv script("KORVANE_INPUT_SCRIPT", c.path.c_str());
    std::string error;
    EXPECT_FALSE(PlatformBackendStart(&error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_EQ(PlatformBackendGet().input.get(), before);  // the failed set was never installed
  }
}
