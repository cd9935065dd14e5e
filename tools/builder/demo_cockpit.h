#pragma once
// The cockpit picture "!cockpit.bmp": a 640 x 480 8-bit BMP file beside the
// archives (not an archive member), in the demo palette. The canopy's top
// edge (rows 0..63) and the dashboard (rows 312..479) are opaque; the band
// between them, where the 3-D view is drawn, is see-through (index 255) but
// for the canopy's corner struts. The dashboard leaves dark recesses where
// the view puts its panels ("uright" at (358, 66), "dash" at (246, 333),
// "lleft" at (0, 410), "lright" at (474, 463)) and the pilot's hands (224,
// 377, 209 x 103).
#include <string>

#include "tools/builder/bmp_writer.h"
#include "tools/builder/palette_builder.h"

inline constexpr const char* kDemoCockpitFile = "!cockpit.bmp";
inline constexpr int kDemoCockpitWidth = 640;
inline constexpr int kDemoCockpitHeight = 480;
// The see-through band of the 3-D view: rows [64, 312).
inline constexpr int kDemoCockpitViewTop = 64;
inline constexpr int kDemoCockpitViewBottom = 312;

// The picture in palette's colours, see-through pixels 255.
BuilderPicture MakeDemoCockpit(const BuilderPalette& palette);
// Writes "!cockpit.bmp" into folder; false with a reason in *error.
bool WriteDemoCockpit(const std::string& folder, std::string* error);
