#pragma once
// korvane3d's side of the build seam: its frames go through the Direct3D
// back end, which also sets up its full-screen display.
#include "game/build_variant.h"

class Direct3DVariant : public BuildVariant {
 public:
  BuildKind Kind() const override { return BuildKind::Direct3D; }
  const char* ProgramName() const override { return "korvane3d"; }
  void ReleaseDeviceTextures() override;
  void LoadDeviceTextures() override;
  int InitDisplay(CInterface& ui) override;
  bool EnterFullScreen(CInterface& ui, int mode) override;
  void ReleaseDevice3D() override;
  void RenderScene(CNetView& view) override;
  void DeviceTextureCounts(int* inDevice, int* bytes, int* current) override;
  // The overlay crosshair centred on the 3-D area.
  void DrawCrosshair(CNetView& view) override;
  // The cockpit picture: whole when the view asks for it, else the band
  // beside the 3-D area.
  void DrawCockpit(CNetView& view) override;
  void LoadCockpitPicture(CNetView& view) override;
};
