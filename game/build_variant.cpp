#include "game/build_variant.h"

#include <cassert>

#include "media/dd_error_string.h"

namespace {
BuildVariant* g_pBuildVariant = nullptr;
}

void BuildVariantInstall(BuildVariant* variant) {
  g_pBuildVariant = variant;
  // korvanesw has no Direct3D device, so its texts know no Direct3D codes.
  if (variant) DDErrorStringUseDirect3D(variant->Kind() == BuildKind::Direct3D);
}

BuildVariant& BuildVariantGet() {
  assert(g_pBuildVariant && "the program's entry point installs its build variant first");
  return *g_pBuildVariant;
}

bool BuildVariantIsInstalled() { return g_pBuildVariant != nullptr; }
