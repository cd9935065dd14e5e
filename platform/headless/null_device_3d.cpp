// The null 3-D device: the stand-in for a device that has no implementation
// yet.
#include "platform/device_3d.h"

namespace {
class Null3DDevice : public Platform3DDevice {
 public:
  const char* Name() const override { return "none"; }
};
}  // namespace

std::unique_ptr<Platform3DDevice> Null3DDeviceCreate() { return std::make_unique<Null3DDevice>(); }
