// CInterfaceDisplay::SaveScreenshot: the finished frame as a 24-bit BMP.
#include <cstdio>
#include <string>
#include <vector>

#include "media/interface_display.h"
#include "platform/debug_output.h"
#include "platform/paths.h"
#include "platform/process_services.h"

namespace {

constexpr int kLastScreenshot = 99;
constexpr uint32_t kHeaderBytes = 58;  // file header, info header, 4-byte gap

void Put16(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>* out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The file's first 58 bytes.
void PutHeaders(std::vector<uint8_t>* out, int width, int height, uint32_t pixelBytes) {
  Put16(out, 0x4D42);  // "BM"
  Put32(out, kHeaderBytes + pixelBytes);
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, kHeaderBytes);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));  // positive: bottom row first
  Put16(out, 1);
  Put16(out, 24);
  for (int field = 0; field < 6; ++field) Put32(out, 0);  // compression .. colours important
  Put32(out, 0);  // the gap before the pixels, written as zeros
}

// The first free name from 0 to 98, else 99 (which is overwritten).
std::string ScreenshotPath(const std::string& folder) {
  for (int n = 0; n < kLastScreenshot; ++n) {
    const std::string path = folder + "KRVNE" + std::to_string(n) + ".BMP";
    if (!PathFileExists(path)) return path;
  }
  return folder + "KRVNE" + std::to_string(kLastScreenshot) + ".BMP";
}

// The surface read into a bottom-up 24-bit bitmap through GDI; its pixels
// (rows padded to 4 bytes) in *pixels.
bool ReadSurface(IDirectDrawSurface* surface, int width, int height, std::vector<uint8_t>* pixels) {
  BITMAPINFO info;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return false;
  bool ok = false;
  HDC source = nullptr;
  if (surface->GetDC(&source) == DD_OK) {
    HDC memory = CreateCompatibleDC(source);
    if (memory) {
      HGDIOBJ previous = SelectObject(memory, bitmap);
      ok = previous && BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
      if (previous) SelectObject(memory, previous);
      DeleteDC(memory);
    }
    surface->ReleaseDC(source);
  }
  if (ok) {
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    const uint8_t* first = static_cast<const uint8_t*>(bits);
    pixels->assign(first, first + rowBytes * static_cast<size_t>(height));
  }
  DeleteObject(bitmap);
  return ok;
}

}  // namespace

bool CInterfaceDisplay::SaveScreenshot(IDirectDrawSurface* surface) {
  DDSURFACEDESC desc;
  if (!surface || surface->GetSurfaceDesc(&desc) != DD_OK) {
    OutputDebugString("korvane: screenshot: no surface to read\n");
    return false;
  }
  const int width = static_cast<int>(desc.dwWidth), height = static_cast<int>(desc.dwHeight);
  std::vector<uint8_t> pixels;
  if (!ReadSurface(surface, width, height, &pixels)) {
    OutputDebugString("korvane: screenshot: the surface could not be read\n");
    return false;
  }
  const std::string folder = UserDataFolder();
  if (folder.empty()) {
    OutputDebugString("korvane: screenshot: no data folder to write it to\n");
    return false;
  }
  std::vector<uint8_t> file;
  file.reserve(kHeaderBytes + pixels.size());
  PutHeaders(&file, width, height, static_cast<uint32_t>(pixels.size()));
  file.insert(file.end(), pixels.begin(), pixels.end());
  const std::string path = ScreenshotPath(folder);
  if (!FileWriteAtomically(path, file.data(), file.size())) {
    OutputDebugString(("korvane: screenshot: can't write " + path + "\n").c_str());
    return false;
  }
  OutputDebugString(("korvane: screenshot " + path + "\n").c_str());
  return true;
}
