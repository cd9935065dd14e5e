#include "tests/media/picture_fixture.h"

#include <algorithm>

#include "engine/data_archive.h"
#include "media/back_buffer_access.h"
#include "media/blend_table.h"
#include "media/media_services.h"

namespace {

BackBufferTarget g_Target;

const BackBufferSource kSource{[](BackBufferTarget* target) {
                                 *target = g_Target;
                                 return g_Target.bits != nullptr;
                               },
                               nullptr};

}  // namespace

int FatalLineOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const FatalErrorThrown& fatal) {
    EXPECT_EQ(fatal.source, "picture");
    return fatal.line;
  }
  return 0;
}

void PictureTest::SetUp() {
  DisplayTest::SetUp();
  display_->Enter(window_.m_hWnd);
  MediaServices services;
  services.fatalError = [](const char* source, int line) { throw FatalErrorThrown{source, line}; };
  MediaSetServices(services);
  BlendTableReset();
  UseTarget(64, 48);
  BackBufferSourceInstall(&kSource);
}

void PictureTest::TearDown() {
  BackBufferSourceInstall(nullptr);
  g_Target = BackBufferTarget{};
  MediaSetServices(MediaServices{});
  EXPECT_EQ(ArchiveClose(), 0) << "an archive was left open";
  DisplayTest::TearDown();
}

void PictureTest::UseTarget(int width, int height) {
  width_ = width;
  height_ = height;
  buffer_.assign(static_cast<size_t>(Pitch()) * (height + 2 * kBorder), kGuard);
  ClearTarget();
  g_Target.bits = &At(0, 0);
  g_Target.pitch = Pitch();
  g_Target.width = width;
  g_Target.height = height;
}

void PictureTest::ClearTarget() {
  for (int y = 0; y < height_; ++y) std::fill_n(&At(0, y), width_, kBackground);
}

bool PictureTest::GuardIntact() const {
  for (int y = 0; y < height_ + 2 * kBorder; ++y) {
    for (int x = 0; x < Pitch(); ++x) {
      const bool inside = y >= kBorder && y < kBorder + height_ && x >= kBorder && x < kBorder + width_;
      if (!inside && buffer_[static_cast<size_t>(y) * Pitch() + x] != kGuard) return false;
    }
  }
  return true;
}

void PictureTest::AddMember(const std::string& name, const std::vector<uint8_t>& bytes) {
  ASSERT_TRUE(archive_.AddMember(name, bytes)) << name;
}

void PictureTest::AddPicture(const std::string& name, const BuilderPicture& picture) {
  AddMember(name, BmpBytes(picture));
}

std::vector<uint8_t> PictureTest::BmpBytes(const BuilderPicture& picture) {
  return BmpFileBytes(picture, MakeDemoPalette());
}

std::string PictureTest::ArchivePath() {
  const std::string path = temp_.Join("TEST.CAN");
  EXPECT_TRUE(archive_.WriteFile(path));
  return path;
}
