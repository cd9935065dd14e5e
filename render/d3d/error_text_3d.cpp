#include "render/d3d/error_text_3d.h"

#include <map>
#include <string>

#include "platform/debug_output.h"
#include "platform/direct_x_result_text.h"

const char* D3DErrorToString(HRESULT result) {
  // The texts live as long as the program; each is made once.
  static std::map<HRESULT, std::string> texts;
  auto it = texts.find(result);
  if (it == texts.end()) {
    const char* text = DDErrorText(result, true);
    it = texts.emplace(result, std::string(text ? text : "Unrecognized error value.") + "\n").first;
  }
  return it->second.c_str();
}

void D3DTraceError(HRESULT result) { OutputDebugString(D3DErrorToString(result)); }
