#pragma once
// The Direct3D back end's result texts, for the debugger output: a failing
// full-screen cooperative level and a failing overlay blit are traced this
// way; the player never sees them.
#include "platform/framework/win_types.h"

// The code's text followed by a line feed ("No error.\n",
// "D3DERR_BADMAJORVERSION\n"), or "Unrecognized error value.\n".
const char* D3DErrorToString(HRESULT result);
// Sends D3DErrorToString(result) to the debugger output.
void D3DTraceError(HRESULT result);
