#pragma once
// korvane3d's texture slots: one per engine texture, in the engine's list
// order, plus the white slot (index = count) for untextured polygons. A slot
// holds up to two Direct3D copies of its texture: a system-memory copy in
// the device's texture format, and a video-memory copy whose handles the
// execute buffers name. Video copies are made on first use in a frame and
// evicted least recently used when video memory runs out; only textures
// drawn in the current or the previous frame are safe from eviction.
//
// Each engine texture stores its slot index (Texture::hardwareSlot). The
// slots follow the engine's texture list: BeginScene3D rebuilds them when
// the list no longer matches (a level was loaded, a temporary texture came
// or went), and a polygon whose texture has no matching slot is drawn
// untextured, so no slot's texture is used after the engine freed it.
//
// The colour key: texel index 255 is see-through. Palettized copies carry it
// as index 255 (whose palette entry becomes kTextureKeyColour), RGB copies
// as the pixel value that colour converts to.
#include "engine/records.h"
#include "platform/direct3d.h"
#include "platform/direct_draw.h"

struct TextureSlot3D {
  IDirect3DTexture* videoTexture;   // null when not resident
  IDirectDrawSurface* videoSurface;  // null when not resident (the residency test)
  IDirect3DTexture* systemTexture;
  IDirectDrawSurface* systemSurface;
  D3DTEXTUREHANDLE textureHandle;  // 0 when none
  D3DMATERIALHANDLE materialHandle;
  int lastUsed;   // the frame counter of the last frame that drew with it
  int preloaded;  // the system copy was made when the slots were built
  Texture* texture;  // null for the white slot
  DWORD keyValue;    // the RGB conversion's value for see-through texels
};

extern TextureSlot3D* g_D3DTextureSlots;
extern int g_D3DTextureSlotCount;  // without the white slot
// The slots' LRU clock: 0 after a build, +1 at every BeginScene3D.
extern int g_D3DFrameCounter;

// The colour of see-through texels in either kind of copy.
inline constexpr int kTextureKeyRed = 32, kTextureKeyGreen = 32, kTextureKeyBlue = 31;

// Asks the chosen device for its texture formats and chooses one; 1 when
// one was chosen.
int EnumerateTextureFormats3D(int device);
// The first 8-bit palettized format of the list; else the first RGB format
// of a depth the device renders, with its masks measured. 1 when chosen.
int ChooseTextureFormat3D(int device);
// The zero bits below a mask and the bits from its lowest to its highest
// set bit (both 0 for an empty mask).
void MaskShiftAndBits(DWORD mask, int* shift, int* bits);

// Builds the slots from the engine's texture list (the system copies of
// textures whose pixels are in memory, and the white slot, uploaded at once);
// only frees them while there is no device.
void LoadAllTextures3D();
// Releases every copy of every slot, the white one too, and the slots.
void FreeTextureSlots3D();
// Drops every video copy but the white slot's (they are uploaded anew on
// use), as after the program is activated again.
void ReleaseTextureSurfaces3D();
// Rebuilds the slots when they no longer match the engine's texture list.
void ValidateTextureSlots3D();
// The slot of a texture, or the white slot when the texture has none that
// matches it.
int TextureSlotOf3D(Texture* texture);
// Makes the slot's video copy, evicting least recently used slots as long
// as the upload fails for want of room; at most one try per slot and frame.
void EnsureTextureResident3D(int slot);
// The least recently used resident slot not used in this frame or the
// previous one (the lowest index among equals), or -1.
int FindTextureToEvict3D();
int LoadTexture3D(int slot);
int UploadTexture3D(int slot);
void ReleaseTextureSlot3D(int slot);
void ReleaseSystemTexture3D(int slot);
// A system-memory texture surface of the chosen format holding the 8-bit
// pixels (rows turned upside down), or null; *keyValue receives the value
// of see-through texels.
IDirectDrawSurface* CreateTextureSurface3D(int width, int height, const uint8_t* pixels, const int* red,
                                           const int* green, const int* blue, DWORD* keyValue);
// The surface's pixel value for a colour (as GDI writes it), or -1 when the
// surface cannot be locked.
long ColourMatch3D(IDirectDrawSurface* surface, COLORREF colour);
