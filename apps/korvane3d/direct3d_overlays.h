#pragma once
// korvane3d's overlay bitmaps on the Direct3D back end's overlay surfaces
// (render/d3d/overlays_3d.h): loaded into numbered surfaces and blitted,
// colour-keyed, onto the interface manager's back surface after the scene.
#include "media/overlay_bitmaps.h"

class Direct3DOverlayBitmaps final : public OverlayBitmaps {
 public:
  ~Direct3DOverlayBitmaps() override;
  bool Load(int index, const char* member, const char* archive) override;
  void Blit(int x, int y, int left, int top, int right, int bottom, int index) override;
  void BlitBothPages(int x, int y, int left, int top, int right, int bottom, int index) override;
  bool LoadFromTexture(int index, const char* name) override;
  void Release(int index) override;
};
