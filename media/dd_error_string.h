#pragma once
// The texts of DirectDraw and Direct3D result codes, for the debugger output
// (a failed lock, a failed blit) and the view's palette error texts. The table
// holds 117 codes: success, five general codes, 86 DirectDraw codes with a
// sentence each and 26 Direct3D codes named by their symbol; korvanesw, which
// has no Direct3D device, knows only the first 91.
#include "platform/framework/cstring.h"
#include "platform/direct_x_result_text.h"
#include "platform/framework/win_types.h"

// The code's text, or "Unrecognized error value." for a code the table of
// the running program does not hold.
CString DDErrorString(HRESULT code);
// Which table DDErrorString uses: with the Direct3D rows (korvane3d, the
// default) or without (korvanesw). Set once at start-up.
void DDErrorStringUseDirect3D(bool withDirect3D);
