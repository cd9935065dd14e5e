#pragma once
// The texts of DirectDraw and Direct3D result codes: 117 codes (success,
// five general codes, 86 DirectDraw codes with a sentence each and 26
// Direct3D codes named by their symbol). The interface manager's error
// strings (media/dd_error_string.h) and the Direct3D back end's result texts
// (render/d3d/error_text_3d.h) read the same table.
#include "platform/framework/win_types.h"

// The text in the table with or without the Direct3D rows; null when the
// code is not there.
const char* DDErrorText(HRESULT code, bool withDirect3D);
