#pragma once
// COM start and end: nothing to do here; kept so that start-up reads as the
// game wrote it.
#include "platform/framework/win_types.h"

inline HRESULT CoInitialize(void* /*reserved*/) { return S_OK; }
inline void CoUninitialize() {}
