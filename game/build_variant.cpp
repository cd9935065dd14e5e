#include "game/build_variant.h"

#include <cassert>

namespace {
BuildVariant* g_pBuildVariant = nullptr;
}

void BuildVariantInstall(BuildVariant* variant) { g_pBuildVariant = variant; }

BuildVariant& BuildVariantGet() {
  assert(g_pBuildVariant && "the program's entry point installs its build variant first");
  return *g_pBuildVariant;
}

bool BuildVariantIsInstalled() { return g_pBuildVariant != nullptr; }
