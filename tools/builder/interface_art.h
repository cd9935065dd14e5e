#pragma once
// What the demo interface's picture makers share while they fill the
// archive: the palette, the text painters (opened once per size) and the step
// from a finished canvas to an archive member.
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "tools/builder/archive_writer.h"
#include "tools/builder/picture_canvas.h"
#include "tools/builder/picture_text.h"

// Keeps its own copy of the palette, so a caller may hand it a temporary
// (InterfaceArt art(archive, DemoInterfacePalette())); the matcher looks at
// that copy, so the object stays where it was made.
class InterfaceArt {
 public:
  InterfaceArt(ArchiveWriter* archive, const BuilderPalette& palette)
      : archive_(archive), palette_(palette), matcher_(palette_) {}
  InterfaceArt(const InterfaceArt&) = delete;
  InterfaceArt& operator=(const InterfaceArt&) = delete;

  const BuilderPalette& Palette() const { return palette_; }
  // A painter of the typeface at that size; null (and Failed()) when the
  // font file can't be opened.
  TextPainter* Text(Typeface face, int pixelHeight, bool monochrome = false);
  // Quantises the canvas and adds it as a BMP member; key pixels become
  // keyIndex (109 for pictures, 255 for overlay bitmaps).
  void AddPicture(const std::string& name, const PictureCanvas& canvas, int keyIndex, bool dither);
  // Adds an 8-bit picture as it is.
  void AddPicture(const std::string& name, const BuilderPicture& picture);

  bool Failed() const { return !error_.empty(); }
  const std::string& Error() const { return error_; }

 private:
  ArchiveWriter* archive_;
  const BuilderPalette palette_;
  PaletteMatcher matcher_;  // after palette_, which it refers to
  std::map<std::pair<int, int>, std::unique_ptr<TextPainter>> painters_;
  std::string error_;
};

// The picture makers, one per group of members (see demo_interface.h).
void AddTitlePictures(InterfaceArt* art);
void AddFontSheets(InterfaceArt* art);
void AddMenuWidgets(InterfaceArt* art);
void AddMenuScreens(InterfaceArt* art);
void AddHudPictures(InterfaceArt* art);
void AddCockpitPictures(InterfaceArt* art);
// The pilot's hands on the yoke for a steering code (1..9, 5 the centre):
// 209 x 103, see-through around them. The cockpit picture carries code 5.
PictureCanvas DemoHandsCanvas(int code);
