#include "platform/direct_x_result_text.h"

#include <algorithm>
#include <iterator>

#include "platform/direct_draw.h"

namespace {

struct ErrorRow {
  HRESULT code;
  const char* text;
};

constexpr const char* kNotEnoughMemory = "DirectDraw does not have enough memory to perform the operation.";

// In code order (as signed values), so that a lookup can search it.
constexpr ErrorRow kDirectDrawRows[] = {
    {static_cast<HRESULT>(0x80004001u), "Action not supported."},
    {static_cast<HRESULT>(0x80004005u), "Generic failure."},
    {static_cast<HRESULT>(0x8007000Eu), kNotEnoughMemory},
    {static_cast<HRESULT>(0x80070057u), "One or more of the parameters passed to the function are incorrect."},
    {MakeDDResult(5), "This object is already initialized."},
    {MakeDDResult(10), "This surface can not be attached to the requested surface."},
    {MakeDDResult(20), "This surface can not be detached from the requested surface."},
    {MakeDDResult(40), "Support is currently not available."},
    {MakeDDResult(55), "An exception was encountered while performing the requested operation."},
    {MakeDDResult(90), "The height of the provided rectangle is not a multiple of the required alignment."},
    {MakeDDResult(95), "Unable to match the primary surface creation request with the existing primary surface."},
    {MakeDDResult(100), "One or more of the capability bits passed to the callback are incorrect."},
    {MakeDDResult(110), "DirectDraw does not support the provided clip list."},
    {MakeDDResult(120), "DirectDraw does not support the requested mode."},
    {MakeDDResult(130), "DirectDraw received a pointer that was an invalid DirectDraw object."},
    {MakeDDResult(145), "The pixel format was invalid as specified."},
    {MakeDDResult(150), "The rectangle provided was invalid."},
    {MakeDDResult(160), "The operation could not be carried out because one or more surfaces are locked."},
    {MakeDDResult(170), "There is no 3D present."},
    {MakeDDResult(180), "The operation could not be carried out because there is no alpha acceleration hardware."},
    {MakeDDResult(205), "No clip list is available."},
    {MakeDDResult(210), "The operation could not be carried out because there is no color conversion hardware."},
    {MakeDDResult(212), "The cooperative level has not been set: create the DirectDraw object and set it first."},
    {MakeDDResult(215), "The surface does not currently have a color key."},
    {MakeDDResult(220), "The operation could not be carried out because there is no hardware support for the "
                        "destination color key."},
    {MakeDDResult(225), "The operation requires the application to have exclusive mode, but it does not."},
    {MakeDDResult(230), "Flipping visible surfaces is not supported."},
    {MakeDDResult(240), "There is no GDI present."},
    {MakeDDResult(250), "The operation could not be carried out because there is no hardware present or available."},
    {MakeDDResult(255), "The requested item was not found."},
    {MakeDDResult(260), "The operation could not be carried out because there is no overlay hardware present or "
                        "available."},
    {MakeDDResult(280), "The operation could not be carried out because there is no appropriate raster op hardware "
                        "present or available."},
    {MakeDDResult(290), "The operation could not be carried out because there is no rotation hardware present or "
                        "available."},
    {MakeDDResult(310), "The operation could not be carried out because there is no hardware support for stretching."},
    {MakeDDResult(316), "The surface is not using a 4 bit color palette and the requested operation requires a 4 bit "
                        "color palette."},
    {MakeDDResult(317), "The surface is not using a 4 bit color index palette and the requested operation requires "
                        "a 4 bit color index palette."},
    {MakeDDResult(320), "The requested operation requires an 8 bit color palette, and the surface does not use one."},
    {MakeDDResult(330), "The operation could not be carried out because there is no texture mapping hardware present "
                        "or available."},
    {MakeDDResult(335), "The operation could not be carried out because there is no hardware support for vertical "
                        "blank synchronized operations."},
    {MakeDDResult(340), "The operation could not be carried out because there is no hardware support for the "
                        "z-buffer."},
    {MakeDDResult(350), "The overlay surfaces could not be z-layered because the hardware does not support z-layering "
                        "of overlays."},
    {MakeDDResult(360), "The hardware needed for the requested operation has already been allocated."},
    {MakeDDResult(380), kNotEnoughMemory},
    {MakeDDResult(382), "The hardware does not support clipped overlays."},
    {MakeDDResult(384), "Only one color key can be active at one time for overlays."},
    {MakeDDResult(387), "Access to this palette is being refused because the palette is already locked by another "
                        "thread."},
    {MakeDDResult(400), "No source color key was specified for this operation."},
    {MakeDDResult(410), "This surface is already attached to the surface it is being attached to."},
    {MakeDDResult(420), "This surface is already a dependency of the surface it is being made a dependency of."},
    {MakeDDResult(430), "Access to this surface is being refused because the surface is already locked by another "
                        "thread."},
    {MakeDDResult(440), "Access to this surface is being refused because the surface is obscured."},
    {MakeDDResult(450), "Access to this surface is being refused because the surface memory is gone. The "
                        "DirectDrawSurface object representing this surface should have Restore called on it."},
    {MakeDDResult(460), "The requested surface is not attached."},
    {MakeDDResult(470), "The height requested by DirectDraw is too large."},
    {MakeDDResult(480), "The size requested by DirectDraw is too large, although the width and height may each be "
                        "within range."},
    {MakeDDResult(490), "The width requested by DirectDraw is too large."},
    {MakeDDResult(510), "The pixel format requested is not supported by DirectDraw."},
    {MakeDDResult(520), "The bitmask in the pixel format requested is not supported by DirectDraw."},
    {MakeDDResult(537), "The vertical blank is in progress."},
    {MakeDDResult(540), "The operation was informed that the previous blit or flip had not yet completed."},
    {MakeDDResult(560), "The rectangle provided was not horizontally aligned on the required boundary."},
    {MakeDDResult(561), "The GUID passed to DirectDrawCreate is not a valid DirectDraw driver identifier."},
    {MakeDDResult(562), "A DirectDraw object representing this driver has already been created for this process."},
    {MakeDDResult(563), "A hardware-only DirectDraw object creation was attempted but the driver did not support any "
                        "hardware."},
    {MakeDDResult(564), "This process has already created a primary surface."},
    {MakeDDResult(565), "Software emulation is not available."},
    {MakeDDResult(566), "The region passed to the clipper's GetClipList is too small."},
    {MakeDDResult(567), "An attempt was made to set a clip list for a clipper object that is already monitoring a "
                        "window."},
    {MakeDDResult(568), "No clipper object is attached to the surface object."},
    {MakeDDResult(569), "The clipper notification requires a window handle, or no window handle was set as the "
                        "cooperative level window."},
    {MakeDDResult(570), "The window handle used for the cooperative level has been subclassed."},
    {MakeDDResult(571), "The cooperative level window handle has already been set and cannot be reset while surfaces "
                        "or palettes exist."},
    {MakeDDResult(572), "No palette object is attached to this surface."},
    {MakeDDResult(573), "There is no hardware support for 16 or 256 color palettes."},
    {MakeDDResult(574), "A blit with the fast flag was attempted on a surface with a clipper attached."},
    {MakeDDResult(575), "There is no blitter hardware present."},
    {MakeDDResult(576), "There is no raster op hardware for the operation."},
    {MakeDDResult(577), "The overlay position was queried while the overlay was hidden."},
    {MakeDDResult(578), "The overlay position was queried while the overlay had no destination."},
    {MakeDDResult(579), "The position of the overlay on the destination is no longer legal for that destination."},
    {MakeDDResult(580), "An overlay operation was attempted on a surface that is not an overlay surface."},
    {MakeDDResult(581), "An attempt was made to set the cooperative level when it was already set to exclusive."},
    {MakeDDResult(582), "An attempt has been made to flip a surface that is not flippable."},
    {MakeDDResult(583), "Primary surfaces and surfaces that are implicitly created cannot be duplicated."},
    {MakeDDResult(584), "The surface was not locked, but an attempt was made to unlock it."},
    {MakeDDResult(585), "Windows cannot create any more device contexts."},
    {MakeDDResult(586), "No device context was ever created for this surface."},
    {MakeDDResult(587), "This surface cannot be restored because it was created in a different mode."},
    {MakeDDResult(588), "This surface cannot be restored because it is an implicitly created surface."},
    {MakeDDResult(589), "The surface being used is not a palette-based surface."},
};

constexpr ErrorRow kDirect3DRows[] = {
    {static_cast<HRESULT>(0x887602BCu), "D3DERR_BADMAJORVERSION"},
    {static_cast<HRESULT>(0x887602BDu), "D3DERR_BADMINORVERSION"},
    {static_cast<HRESULT>(0x887602C6u), "D3DERR_EXECUTE_CREATE_FAILED"},
    {static_cast<HRESULT>(0x887602C7u), "D3DERR_EXECUTE_DESTROY_FAILED"},
    {static_cast<HRESULT>(0x887602C8u), "D3DERR_EXECUTE_LOCK_FAILED"},
    {static_cast<HRESULT>(0x887602C9u), "D3DERR_EXECUTE_UNLOCK_FAILED"},
    {static_cast<HRESULT>(0x887602CAu), "D3DERR_EXECUTE_LOCKED"},
    {static_cast<HRESULT>(0x887602CBu), "D3DERR_EXECUTE_NOT_LOCKED"},
    {static_cast<HRESULT>(0x887602CCu), "D3DERR_EXECUTE_FAILED"},
    {static_cast<HRESULT>(0x887602CDu), "D3DERR_EXECUTE_CLIPPED_FAILED"},
    {static_cast<HRESULT>(0x887602D0u), "D3DERR_TEXTURE_NO_SUPPORT"},
    {static_cast<HRESULT>(0x887602D1u), "D3DERR_TEXTURE_CREATE_FAILED"},
    {static_cast<HRESULT>(0x887602D2u), "D3DERR_TEXTURE_DESTROY_FAILED"},
    {static_cast<HRESULT>(0x887602D3u), "D3DERR_TEXTURE_LOCK_FAILED"},
    {static_cast<HRESULT>(0x887602D4u), "D3DERR_TEXTURE_UNLOCK_FAILED"},
    {static_cast<HRESULT>(0x887602D5u), "D3DERR_TEXTURE_LOAD_FAILED"},
    {static_cast<HRESULT>(0x887602D7u), "D3DERR_TEXTURELOCKED"},
    {static_cast<HRESULT>(0x887602D8u), "D3DERR_TEXTURE_NOT_LOCKED"},
    {static_cast<HRESULT>(0x887602DAu), "D3DERR_MATRIX_CREATE_FAILED"},
    {static_cast<HRESULT>(0x887602DBu), "D3DERR_MATRIX_DESTROY_FAILED"},
    {static_cast<HRESULT>(0x887602DCu), "D3DERR_MATRIX_SETDATA_FAILED"},
    {static_cast<HRESULT>(0x887602DEu), "D3DERR_SETVIEWPORTDATA_FAILED"},
    {static_cast<HRESULT>(0x887602E4u), "D3DERR_MATERIAL_CREATE_FAILED"},
    {static_cast<HRESULT>(0x887602E5u), "D3DERR_MATERIAL_DESTROY_FAILED"},
    {static_cast<HRESULT>(0x887602E6u), "D3DERR_MATERIAL_SETDATA_FAILED"},
    {static_cast<HRESULT>(0x887602EEu), "D3DERR_LIGHT_SET_FAILED"},
};

static_assert(std::size(kDirectDrawRows) == 4 + 86 && std::size(kDirect3DRows) == 26,
              "117 codes with success: 91 without Direct3D");

const char* Find(const ErrorRow* begin, const ErrorRow* end, HRESULT code) {
  const ErrorRow* it = std::lower_bound(begin, end, code, [](const ErrorRow& row, HRESULT c) { return row.code < c; });
  return it != end && it->code == code ? it->text : nullptr;
}

}  // namespace

const char* DDErrorText(HRESULT code, bool withDirect3D) {
  if (code == DD_OK) return "No error.";
  if (const char* text = Find(std::begin(kDirectDrawRows), std::end(kDirectDrawRows), code)) return text;
  return withDirect3D ? Find(std::begin(kDirect3DRows), std::end(kDirect3DRows), code) : nullptr;
}
