#pragma once
// What the parts of korvane3d's Direct3D back end share: the module state
// the set-up fills (the chosen device, the display mode and its size, the
// device's objects, the texture format, the render-state variables) and the
// writer of execute-buffer instructions. Not for callers outside
// render/d3d/.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/direct3d.h"

// One Direct3D device of the enumeration.
struct DeviceRecord3D {
  char name[30];
  char description[50];
  D3DDEVICEDESC desc;  // the hardware side when it has a colour model, else the emulation side
  GUID guid;
  int hardware;
  int perspectiveTextures;
  int zBuffer;
  int rendersAtDesktop;
};

struct DisplayModeRecord3D {
  int width = 0;
  int height = 0;
  int bits = 0;
  int supported = 0;
};

struct TextureFormat3D {
  DDSURFACEDESC desc;  // the chosen format's description
  int palettized = 0;
  int redBits = 0, redShift = 0;
  int greenBits = 0, greenShift = 0;
  int blueBits = 0, blueShift = 0;
};

struct RenderStates3D {
  int zEnable = 0;
  int shadeMode = D3DSHADE_GOURAUD;
  int texturePerspective = 1;
  int textureFilter = D3DFILTER_LINEAR;
  int textureMapBlend = D3DTBLEND_MODULATEALPHA;
  int fillMode = D3DFILL_SOLID;
  int dither = 0, specular = 0, antialias = 0, fogEnable = 0, fogColour = 0;
};

struct Module3D {
  IDirectDraw* directDraw = nullptr;  // the object the surfaces are made from
  int noAccelerator = 0;
  int desktopWidth = 0, desktopHeight = 0, desktopBits = 0;
  std::vector<DisplayModeRecord3D> modes;
  int chosenMode = -1;
  std::vector<DeviceRecord3D> devices;
  int chosenDevice = -1;
  IDirect3DDevice* device = nullptr;
  IDirect3DExecuteBuffer* executeBuffer = nullptr;
  IDirect3DViewport* viewport = nullptr;
  IDirect3DMaterial* background = nullptr;
  IDirect3DMaterial* sharedMaterial = nullptr;
  std::vector<DDSURFACEDESC> textureFormats;
  TextureFormat3D textureFormat;
  RenderStates3D renderStates;
  int clampWidth = 0;  // the chosen mode's width - 1 and height - 1
  int clampHeight = 0;
};

Module3D& D3DModule();

inline constexpr DWORD kExecuteBufferBytes = 340000;

// Writes instructions into a locked execute buffer. Writing past the end
// is refused (Ok() turns false) rather than done.
class ExecuteWriter3D {
 public:
  ExecuteWriter3D(void* data, size_t size) : data_(static_cast<uint8_t*>(data)), size_(size) {}
  size_t Position() const { return at_; }
  bool Ok() const { return ok_; }
  void Seek(size_t at) { at_ = at; }
  template <typename Record>
  void Put(const Record& record) {
    if (!ok_ || at_ + sizeof(Record) > size_) {
      ok_ = false;
      return;
    }
    std::memcpy(data_ + at_, &record, sizeof(Record));
    at_ += sizeof(Record);
  }
  void Instruction(BYTE opcode, BYTE recordSize, WORD count) { Put(D3DINSTRUCTION{opcode, recordSize, count}); }
  void States(BYTE opcode, const D3DSTATE* states, int count) {
    Instruction(opcode, sizeof(D3DSTATE), static_cast<WORD>(count));
    for (int i = 0; i < count; ++i) Put(states[i]);
  }
  void State(BYTE opcode, DWORD type, DWORD value) {
    const D3DSTATE state{type, value};
    States(opcode, &state, 1);
  }
  void ProcessVertices(WORD first, DWORD count) {
    Instruction(D3DOP_PROCESSVERTICES, sizeof(D3DPROCESSVERTICES), 1);
    Put(D3DPROCESSVERTICES{D3DPROCESSVERTICES_COPY | D3DPROCESSVERTICES_UPDATEEXTENTS, first, first, count, 0});
  }
  // The data after the next instruction header starts 8-byte aligned: an
  // empty triangle instruction pads when the header would start aligned.
  void AlignForTriangles() {
    if (at_ % 8 == 0) Instruction(D3DOP_TRIANGLE, sizeof(D3DTRIANGLE), 0);
  }
  void Exit() { Instruction(D3DOP_EXIT, 0, 0); }

 private:
  uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  bool ok_ = true;
};

// Executes the instructions written into buffer (from instructionOffset
// to the writer's position, vertexCount vertices at the start) unclipped
// on the module's viewport; the buffer must be unlocked.
HRESULT ExecuteBuffer3D(IDirect3DExecuteBuffer* buffer, DWORD vertexCount, DWORD instructionOffset,
                        DWORD instructionEnd);
