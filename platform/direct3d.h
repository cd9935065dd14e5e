#pragma once
// The Direct3D stand-in: the execute-buffer Direct3D that korvane3d draws
// its game frames with, under the names, records, flags and result codes the
// game uses. Its objects hang off the DirectDraw stand-in
// (platform/direct_draw.h) and are reference counted the same way.
//
// IDirect3D lists the devices (a hardware device exactly when the back end's
// 3-D device, platform/device_3d.h, can draw; an emulation device always)
// and makes materials and viewports. A device is made on a 3-D surface (the
// back buffer of the flip chain) and draws into it: its execute buffers hold
// transformed-and-lit vertices followed by an instruction stream (process
// vertices, light and render states, triangles, lines, exit), which Execute
// checks and decodes (Direct3DDecodeExecute, below) and hands to the 3-D
// device. The device's drawing reaches the surface's pixels at EndScene, so
// what the program blits onto the surface after the scene lies on top.
//
// Textures are DirectDraw texture surfaces (8-bit palettized or RGB); a
// texture's handle names it in a render state; the 3-D device receives its
// pixels as RGBA when it is first drawn after a change, with the texels in
// the surface's source colour key see-through.
//
// Results: D3D_OK, or the D3DERR_/DDERR_ code of the failure. Main thread
// only. Tests: Direct3DSetDevices replaces the device list with fake ones.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/direct_draw.h"

using D3DVALUE = float;
using D3DCOLOR = DWORD;
using D3DTEXTUREHANDLE = DWORD;
using D3DMATERIALHANDLE = DWORD;

// ---- Result codes ----------------------------------------------------------

inline constexpr HRESULT D3D_OK = DD_OK;
inline constexpr HRESULT D3DERR_BADMAJORVERSION = MakeDDResult(700);
inline constexpr HRESULT D3DERR_EXECUTE_CREATE_FAILED = MakeDDResult(710);
inline constexpr HRESULT D3DERR_EXECUTE_LOCK_FAILED = MakeDDResult(712);
inline constexpr HRESULT D3DERR_EXECUTE_UNLOCK_FAILED = MakeDDResult(713);
inline constexpr HRESULT D3DERR_EXECUTE_LOCKED = MakeDDResult(714);
inline constexpr HRESULT D3DERR_EXECUTE_NOT_LOCKED = MakeDDResult(715);
inline constexpr HRESULT D3DERR_EXECUTE_FAILED = MakeDDResult(716);
inline constexpr HRESULT D3DERR_TEXTURE_NO_SUPPORT = MakeDDResult(720);
inline constexpr HRESULT D3DERR_TEXTURE_CREATE_FAILED = MakeDDResult(721);
inline constexpr HRESULT D3DERR_TEXTURE_LOAD_FAILED = MakeDDResult(725);
inline constexpr HRESULT D3DERR_MATERIAL_CREATE_FAILED = MakeDDResult(740);
inline constexpr HRESULT D3DERR_SETVIEWPORTDATA_FAILED = MakeDDResult(734);
inline constexpr HRESULT D3DERR_SCENE_IN_SCENE = MakeDDResult(770);
inline constexpr HRESULT D3DERR_SCENE_NOT_IN_SCENE = MakeDDResult(771);

// ---- Execute-buffer stream -------------------------------------------------

// Opcodes of a D3DINSTRUCTION.
inline constexpr BYTE D3DOP_POINT = 1;
inline constexpr BYTE D3DOP_LINE = 2;
inline constexpr BYTE D3DOP_TRIANGLE = 3;
inline constexpr BYTE D3DOP_STATELIGHT = 7;
inline constexpr BYTE D3DOP_STATERENDER = 8;
inline constexpr BYTE D3DOP_PROCESSVERTICES = 9;
inline constexpr BYTE D3DOP_EXIT = 11;

// Process-vertices flags: copy the vertices as they are (they are already
// transformed and lit) and update the extents.
inline constexpr DWORD D3DPROCESSVERTICES_COPY = 0x2;
inline constexpr DWORD D3DPROCESSVERTICES_UPDATEEXTENTS = 0x8;

// Light states.
inline constexpr DWORD D3DLIGHTSTATE_MATERIAL = 1;

// Render states (the ones the game sets).
inline constexpr DWORD D3DRENDERSTATE_TEXTUREHANDLE = 1;
inline constexpr DWORD D3DRENDERSTATE_ANTIALIAS = 2;
inline constexpr DWORD D3DRENDERSTATE_TEXTUREPERSPECTIVE = 4;
inline constexpr DWORD D3DRENDERSTATE_ZENABLE = 7;
inline constexpr DWORD D3DRENDERSTATE_FILLMODE = 8;
inline constexpr DWORD D3DRENDERSTATE_SHADEMODE = 9;
inline constexpr DWORD D3DRENDERSTATE_MONOENABLE = 11;
inline constexpr DWORD D3DRENDERSTATE_ZWRITEENABLE = 14;
inline constexpr DWORD D3DRENDERSTATE_ALPHATESTENABLE = 15;
inline constexpr DWORD D3DRENDERSTATE_LASTPIXEL = 16;
inline constexpr DWORD D3DRENDERSTATE_TEXTUREMAG = 17;
inline constexpr DWORD D3DRENDERSTATE_TEXTUREMIN = 18;
inline constexpr DWORD D3DRENDERSTATE_SRCBLEND = 19;
inline constexpr DWORD D3DRENDERSTATE_DESTBLEND = 20;
inline constexpr DWORD D3DRENDERSTATE_TEXTUREMAPBLEND = 21;
inline constexpr DWORD D3DRENDERSTATE_ZFUNC = 23;
inline constexpr DWORD D3DRENDERSTATE_DITHERENABLE = 26;
inline constexpr DWORD D3DRENDERSTATE_BLENDENABLE = 27;
inline constexpr DWORD D3DRENDERSTATE_FOGENABLE = 28;
inline constexpr DWORD D3DRENDERSTATE_SPECULARENABLE = 29;
inline constexpr DWORD D3DRENDERSTATE_ZVISIBLE = 30;
inline constexpr DWORD D3DRENDERSTATE_SUBPIXEL = 31;
inline constexpr DWORD D3DRENDERSTATE_SUBPIXELX = 32;
inline constexpr DWORD D3DRENDERSTATE_STIPPLEDALPHA = 33;
inline constexpr DWORD D3DRENDERSTATE_FOGCOLOR = 34;
inline constexpr DWORD D3DRENDERSTATE_STIPPLEENABLE = 39;
inline constexpr int kD3DRenderStateCount = 40;

// Values of the render states above.
inline constexpr DWORD D3DSHADE_FLAT = 1;
inline constexpr DWORD D3DSHADE_GOURAUD = 2;
inline constexpr DWORD D3DFILTER_NEAREST = 1;
inline constexpr DWORD D3DFILTER_LINEAR = 2;
inline constexpr DWORD D3DTBLEND_MODULATEALPHA = 4;
inline constexpr DWORD D3DFILL_SOLID = 3;
inline constexpr DWORD D3DCMP_LESSEQUAL = 4;
inline constexpr DWORD D3DBLEND_ONE = 2;
inline constexpr DWORD D3DBLEND_SRCALPHA = 5;
inline constexpr DWORD D3DBLEND_INVSRCALPHA = 6;

// A triangle's flags word: the start of a strip (< 0x1F: its length),
// 0x1F an even strip member; bits 0x100..0x400 enable edges.
inline constexpr WORD D3DTRIFLAG_EVEN = 0x1F;

// Execute flags, clear flags, execute-buffer description flags.
inline constexpr DWORD D3DEXECUTE_UNCLIPPED = 2;
inline constexpr DWORD D3DCLEAR_TARGET = 1;
inline constexpr DWORD D3DCLEAR_ZBUFFER = 2;
inline constexpr DWORD D3DDEB_BUFSIZE = 0x1;

// Each record below is the stream's layout; the stream is read and written
// with memcpy, so no record is ever addressed in place.
struct D3DINSTRUCTION {
  BYTE bOpcode = 0;
  BYTE bSize = 0;  // bytes of one data record that follows
  WORD wCount = 0;  // records that follow
};
struct D3DPROCESSVERTICES {
  DWORD dwFlags = 0;
  WORD wStart = 0;
  WORD wDest = 0;
  DWORD dwCount = 0;
  DWORD dwReserved = 0;
};
struct D3DSTATE {
  DWORD dwStateType = 0;  // a light or render state
  DWORD dwArg = 0;
};
struct D3DTRIANGLE {
  WORD v1 = 0, v2 = 0, v3 = 0;
  WORD wFlags = 0;
};
struct D3DLINE {
  WORD v1 = 0, v2 = 0;
};
static_assert(sizeof(D3DINSTRUCTION) == 4 && sizeof(D3DPROCESSVERTICES) == 16 && sizeof(D3DSTATE) == 8 &&
              sizeof(D3DTRIANGLE) == 8 && sizeof(D3DLINE) == 4);

// A transformed-and-lit vertex: screen position in pixels, depth 0..1,
// 1/w, colours as ARGB.
struct D3DTLVERTEX {
  D3DVALUE sx = 0, sy = 0, sz = 0, rhw = 0;
  D3DCOLOR color = 0;
  D3DCOLOR specular = 0;
  D3DVALUE tu = 0, tv = 0;
};
static_assert(sizeof(D3DTLVERTEX) == 32);

struct D3DEXECUTEBUFFERDESC {
  DWORD dwSize = sizeof(D3DEXECUTEBUFFERDESC);
  DWORD dwFlags = 0;
  DWORD dwCaps = 0;
  DWORD dwBufferSize = 0;
  void* lpData = nullptr;  // filled by Lock
};

struct D3DEXECUTEDATA {
  DWORD dwSize = sizeof(D3DEXECUTEDATA);
  DWORD dwVertexOffset = 0;  // bytes
  DWORD dwVertexCount = 0;
  DWORD dwInstructionOffset = 0;  // bytes
  DWORD dwInstructionLength = 0;
};

// ---- Device description ----------------------------------------------------

inline constexpr DWORD D3DCOLOR_MONO = 1;
inline constexpr DWORD D3DCOLOR_RGB = 2;
// Render-depth flags.
inline constexpr DWORD DDBD_8 = 0x800;
inline constexpr DWORD DDBD_16 = 0x400;
inline constexpr DWORD DDBD_24 = 0x200;
inline constexpr DWORD DDBD_32 = 0x100;
// Triangle shade capabilities.
inline constexpr DWORD D3DPSHADECAPS_ALPHAFLATBLEND = 0x1000;
inline constexpr DWORD D3DPSHADECAPS_ALPHAFLATSTIPPLED = 0x2000;
// Triangle texture capabilities.
inline constexpr DWORD D3DPTEXTURECAPS_PERSPECTIVE = 0x1;

struct D3DPRIMCAPS {
  DWORD dwShadeCaps = 0;
  DWORD dwTextureCaps = 0;
};

struct D3DDEVICEDESC {
  DWORD dwSize = sizeof(D3DDEVICEDESC);
  DWORD dcmColorModel = 0;  // 0: the device has no such side (hardware or emulation)
  D3DPRIMCAPS dpcLineCaps;
  D3DPRIMCAPS dpcTriCaps;
  DWORD dwDeviceRenderBitDepth = 0;  // DDBD_ flags
  DWORD dwDeviceZBufferBitDepth = 0;
};

// A device of the list, for tests that make their own (Direct3DSetDevices).
struct Direct3DDeviceSpec {
  GUID guid;
  std::string name;
  std::string description;
  D3DDEVICEDESC hardware;
  D3DDEVICEDESC emulation;
  std::vector<DDPIXELFORMAT> textureFormats;  // empty: 16-bit 565, 8-bit palettized, 32-bit
};

// ---- Viewports and materials ---------------------------------------------

struct D3DVIEWPORT {
  DWORD dwSize = sizeof(D3DVIEWPORT);
  DWORD dwX = 0, dwY = 0, dwWidth = 0, dwHeight = 0;
  D3DVALUE dvScaleX = 0, dvScaleY = 0;
  D3DVALUE dvMaxX = 0, dvMaxY = 0;
  D3DVALUE dvMinZ = 0, dvMaxZ = 0;
};

struct D3DRECT {
  LONG x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct D3DCOLORVALUE {
  D3DVALUE r = 0, g = 0, b = 0, a = 0;
};

struct D3DMATERIAL {
  DWORD dwSize = sizeof(D3DMATERIAL);
  D3DCOLORVALUE diffuse, ambient, specular, emissive;
  D3DVALUE power = 0;
  D3DTEXTUREHANDLE hTexture = 0;
  DWORD dwRampSize = 0;
};

// ---- Objects ---------------------------------------------------------------

class IDirect3DDevice;
class IDirect3DMaterial;
class IDirect3DViewport;
struct Direct3DDeviceState;

class IDirect3D : public DirectDrawObject {
 public:
  // Calls back once per device in the list's order (DDENUMRET_CANCEL stops).
  HRESULT EnumDevices(HRESULT (*callback)(GUID* guid, char* description, char* name, D3DDEVICEDESC* hardware,
                                          D3DDEVICEDESC* emulation, void* context),
                      void* context);
  HRESULT CreateMaterial(IDirect3DMaterial** material, void* outer);
  HRESULT CreateViewport(IDirect3DViewport** viewport, void* outer);

 private:
  friend HRESULT Direct3DCreate(IDirectDraw* directDraw, IDirect3D** direct3D);
  IDirect3D() = default;
};

class IDirect3DMaterial : public DirectDrawObject {
 public:
  HRESULT SetMaterial(const D3DMATERIAL* material);
  HRESULT GetMaterial(D3DMATERIAL* material) const;
  // The material's handle for device (the same handle every time).
  HRESULT GetHandle(IDirect3DDevice* device, D3DMATERIALHANDLE* handle);

 private:
  friend class IDirect3D;
  IDirect3DMaterial() = default;
  D3DMATERIAL material_;
  D3DMATERIALHANDLE handle_ = 0;
};

// The texture side of a texture surface (Direct3DTextureCreate). It holds a
// reference to its surface.
class IDirect3DTexture : public DirectDrawObject {
 public:
  // The handle that names the texture in a render state on device.
  HRESULT GetHandle(IDirect3DDevice* device, D3DTEXTUREHANDLE* handle);
  // Copies the source texture's pixels (and for 8-bit surfaces its palette's
  // colours into this surface's palette): both surfaces must have the same
  // size and pixel format.
  HRESULT Load(IDirect3DTexture* source);
  IDirectDrawSurface* Surface() const { return surface_; }

 private:
  friend HRESULT Direct3DTextureCreate(IDirectDrawSurface* surface, IDirect3DTexture** texture);
  friend class IDirect3DDevice;
  explicit IDirect3DTexture(IDirectDrawSurface* surface);
  ~IDirect3DTexture() override;
  IDirectDrawSurface* surface_;
  D3DTEXTUREHANDLE handle_ = 0;
  IDirect3DDevice* device_ = nullptr;
};

class IDirect3DExecuteBuffer : public DirectDrawObject {
 public:
  // desc->lpData receives the buffer (dwBufferSize bytes) until Unlock.
  HRESULT Lock(D3DEXECUTEBUFFERDESC* desc);
  HRESULT Unlock();
  HRESULT SetExecuteData(const D3DEXECUTEDATA* data);
  HRESULT GetExecuteData(D3DEXECUTEDATA* data) const;
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  friend class IDirect3DDevice;
  explicit IDirect3DExecuteBuffer(DWORD size) : bytes_(size, 0) {}
  std::vector<uint8_t> bytes_;
  D3DEXECUTEDATA data_;
  bool locked_ = false;
};

class IDirect3DViewport : public DirectDrawObject {
 public:
  HRESULT SetViewport(const D3DVIEWPORT* viewport);
  HRESULT GetViewport(D3DVIEWPORT* viewport) const;
  // Fills each rectangle of the device's target with the background
  // material's diffuse colour (D3DCLEAR_TARGET).
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags);
  HRESULT SetBackground(D3DMATERIALHANDLE material);

 private:
  friend class IDirect3D;
  friend class IDirect3DDevice;
  IDirect3DViewport() = default;
  D3DVIEWPORT viewport_;
  bool set_ = false;
  D3DMATERIALHANDLE background_ = 0;
  IDirect3DDevice* device_ = nullptr;
};

class IDirect3DDevice : public DirectDrawObject {
 public:
  HRESULT GetCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* emulation) const;
  // Calls back once per texture format the device takes (a description
  // with DDSD_PIXELFORMAT).
  HRESULT EnumTextureFormats(HRESULT (*callback)(DDSURFACEDESC* format, void* context), void* context);
  HRESULT CreateExecuteBuffer(const D3DEXECUTEBUFFERDESC* desc, IDirect3DExecuteBuffer** buffer, void* outer);
  HRESULT AddViewport(IDirect3DViewport* viewport);
  HRESULT BeginScene();
  // The scene's drawing reaches the target surface's pixels.
  HRESULT EndScene();
  // Checks and decodes the buffer's execute data and draws it with the
  // viewport (which must be added to this device): D3DERR_EXECUTE_FAILED
  // for a stream that does not hold together, and nothing is drawn.
  HRESULT Execute(IDirect3DExecuteBuffer* buffer, IDirect3DViewport* viewport, DWORD flags);

  // The stand-in's own.
  Direct3DDeviceState& State() { return *state_; }

 private:
  friend HRESULT Direct3DDeviceCreate(IDirectDrawSurface* target, const GUID* guid, IDirect3DDevice** device);
  IDirect3DDevice();
  ~IDirect3DDevice() override;
  Direct3DDeviceState* state_;
};

// The Direct3D interface of a DirectDraw object (a new reference). A test
// can make it fail (DDCall::Direct3DCreate).
HRESULT Direct3DCreate(IDirectDraw* directDraw, IDirect3D** direct3D);
// The device of the list named guid, drawing into target (a surface with
// DDSCAPS_3DDEVICE); a hardware device needs the back end's 3-D device.
HRESULT Direct3DDeviceCreate(IDirectDrawSurface* target, const GUID* guid, IDirect3DDevice** device);
// The texture interface of a surface with DDSCAPS_TEXTURE.
HRESULT Direct3DTextureCreate(IDirectDrawSurface* surface, IDirect3DTexture** texture);

// ---- Decoded execute buffers -----------------------------------------------

// One instruction of a stream, with its records.
struct Direct3DInstruction {
  BYTE opcode = 0;
  std::vector<D3DPROCESSVERTICES> processVertices;
  std::vector<D3DSTATE> states;
  std::vector<D3DTRIANGLE> triangles;
  std::vector<D3DLINE> lines;
};

struct Direct3DProgram {
  std::vector<D3DTLVERTEX> vertices;  // the buffer's vertex section
  std::vector<Direct3DInstruction> instructions;  // up to and with the exit
};

// Decodes the execute data of a buffer: false (and *error says why) when a
// section lies outside the buffer, a record's size is not its opcode's, an
// index names a vertex outside the section, the stream ends before an exit
// or holds an opcode the stand-in does not draw.
bool Direct3DDecodeExecute(const std::vector<uint8_t>& bytes, const D3DEXECUTEDATA& data, Direct3DProgram* program,
                           std::string* error);

// ---- Tests -----------------------------------------------------------------

// Replaces the device list (empty: back to the stand-in's own, which has an
// "RGB Emulation" device and, when the 3-D device can draw, a hardware one).
void Direct3DSetDevices(const std::vector<Direct3DDeviceSpec>& devices);
// The stand-in's own hardware device's GUID.
GUID Direct3DHardwareDeviceGuid();
