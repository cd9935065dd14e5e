#pragma once
// A 3-D device that draws nothing and keeps what it was given, for tests of
// the Direct3D stand-in and of korvane3d's back end: every decoded program
// with its viewport, the clears, the scenes and the textures' texels. A scene
// gives back the pixels it started from with the clears applied.
#include <algorithm>
#include <map>
#include <vector>

#include "platform/device_3d.h"

class Recording3DDevice : public Platform3DDevice {
 public:
  struct Texture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    int uploads = 0;
  };
  struct Execution {
    Direct3DProgram program;
    D3DVIEWPORT viewport;
  };

  const char* Name() const override { return "recording"; }
  bool Open(std::string* why) override {
    if (!available && why) *why = "the recording device was made unavailable";
    return available;
  }
  uint32_t TextureCreate() override {
    textures[nextTexture] = Texture{};
    return nextTexture++;
  }
  void TextureUpload(uint32_t id, int width, int height, const uint8_t* rgba) override {
    Texture& t = textures[id];
    t.width = width;
    t.height = height;
    t.rgba.assign(rgba, rgba + static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    ++t.uploads;
  }
  void TextureDelete(uint32_t id) override { textures.erase(id); }
  void SceneBegin(int width, int height, const uint8_t* rgba) override {
    ++scenesBegun;
    sceneWidth = width;
    sceneHeight = height;
    target.assign(rgba, rgba + static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  }
  void Clear(const D3DRECT& rect, const uint8_t rgba[4]) override {
    clears.push_back(rect);
    for (LONG y = std::max<LONG>(0, rect.y1); y < std::min<LONG>(sceneHeight, rect.y2); ++y)
      for (LONG x = std::max<LONG>(0, rect.x1); x < std::min<LONG>(sceneWidth, rect.x2); ++x)
        for (int c = 0; c < 4; ++c) target[(static_cast<size_t>(y) * sceneWidth + x) * 4 + c] = rgba[c];
  }
  void Execute(const Direct3DProgram& program, const D3DVIEWPORT& viewport) override {
    executions.push_back({program, viewport});
  }
  void SceneEnd(uint8_t* rgba) override {
    ++scenesEnded;
    std::copy(target.begin(), target.end(), rgba);
  }

  bool available = true;
  std::map<uint32_t, Texture> textures;
  uint32_t nextTexture = 1;
  std::vector<Execution> executions;
  std::vector<D3DRECT> clears;
  int scenesBegun = 0;
  int scenesEnded = 0;
  int sceneWidth = 0;
  int sceneHeight = 0;
  std::vector<uint8_t> target;
};
