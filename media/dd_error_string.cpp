#include "media/dd_error_string.h"

#include <atomic>

#include "platform/direct_x_result_text.h"

namespace {
std::atomic<bool> g_WithDirect3D{true};
}  // namespace

CString DDErrorString(HRESULT code) {
  const char* text = DDErrorText(code, g_WithDirect3D.load());
  return CString(text ? text : "Unrecognized error value.");
}

void DDErrorStringUseDirect3D(bool withDirect3D) { g_WithDirect3D.store(withDirect3D); }
