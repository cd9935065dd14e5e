#include "tools/builder/interface_art.h"

TextPainter* InterfaceArt::Text(Typeface face, int pixelHeight, bool monochrome) {
  const std::pair<int, int> key{static_cast<int>(face) * 2 + (monochrome ? 1 : 0), pixelHeight};
  auto found = painters_.find(key);
  if (found == painters_.end()) {
    std::unique_ptr<TextPainter> painter = TextPainter::Open(face, pixelHeight, monochrome);
    if (!painter) {
      if (error_.empty()) error_ = "cannot open the font " + TypefacePath(face);
      return nullptr;
    }
    found = painters_.emplace(key, std::move(painter)).first;
  }
  return found->second.get();
}

void InterfaceArt::AddPicture(const std::string& name, const PictureCanvas& canvas, int keyIndex, bool dither) {
  AddPicture(name, canvas.Quantise(&matcher_, keyIndex, dither));
}

void InterfaceArt::AddPicture(const std::string& name, const BuilderPicture& picture) {
  if (!archive_->AddMember(name, BmpFileBytes(picture, palette_)) && error_.empty()) {
    error_ = "cannot add the member " + name + " to INTERFC.CAN";
  }
}
