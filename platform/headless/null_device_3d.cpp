// The null 3-D device: no device at all, so Direct3D lists no hardware
// device and korvane3d ends with its message that none was found.
#include <cstdlib>
#include <cstring>

#include "platform/device_3d.h"
#include "platform/headless/recording_device_3d.h"

namespace {
class Null3DDevice : public Platform3DDevice {
 public:
  const char* Name() const override { return "none"; }
  bool Open(std::string* why) override {
    if (why) *why = "no 3-D device (KORVANE_3D_DEVICE=none)";
    return false;
  }
  uint32_t TextureCreate() override { return 0; }
  void TextureUpload(uint32_t, int, int, const uint8_t*) override {}
  void TextureDelete(uint32_t) override {}
  void SceneBegin(int, int, const uint8_t*) override {}
  void Clear(const D3DRECT&, const uint8_t*) override {}
  void Execute(const Direct3DProgram&, const D3DVIEWPORT&) override {}
  void SceneEnd(uint8_t*) override {}
};
}  // namespace

std::unique_ptr<Platform3DDevice> Null3DDeviceCreate() { return std::make_unique<Null3DDevice>(); }

std::unique_ptr<Platform3DDevice> Platform3DDeviceChoose() {
  const char* choice = std::getenv("KORVANE_3D_DEVICE");
  if (choice && std::strcmp(choice, "none") == 0) return Null3DDeviceCreate();
  if (choice && std::strcmp(choice, "recording") == 0) return std::make_unique<Recording3DDevice>();
  return Gl3DDeviceCreate();
}
