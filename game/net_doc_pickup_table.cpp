// The pick-up models: the row of a model in this table is its pick-up kind.
#include "game/net_doc.h"
#include "platform/ascii.h"

namespace {

struct PickupRow {
  const char* model;
  int a;
  int b;
};

constexpr PickupRow kPickupTable[] = {
    {"SHIELDS.3DS", 15, 30},  {"SHIELDL.3DS", 15, 30},  {"ARMORS.3DS", 15, 30},   {"ARMORL.3DS", 15, 30},
    {"MGAMMOS.3DS", 15, 30},  {"MGAMMOL.3DS", 15, 30},  {"RGAMMOS.3DS", 15, 30},  {"RGAMMOL.3DS", 15, 30},
    {"ROCKETS.3DS", 15, 30},  {"ROCKETL.3DS", 15, 30},  {"HMSSLS.3DS", 15, 30},   {"HMSSLL.3DS", 15, 30},
    {"MMSSLS.3DS", 15, 30},   {"MMSSLL.3DS", 15, 30},   {"NUKES.3DS", 15, 30},    {"NUKEL.3DS", 15, 30},
    {"SMSSLS.3DS", 15, 30},   {"SMSSLL.3DS", 15, 30},   {"FLETCHTS.3DS", 15, 30}, {"FLETCHTL.3DS", 15, 30},
    {"SVORTEXS.3DS", 15, 30}, {"SVORTEXL.3DS", 15, 30}, {"ENERGYS.3DS", 15, 30},  {"ENERGYL.3DS", 15, 30},
    {"MG.3DS", 15, 30},       {"RAILGUN.3DS", 15, 30},  {"LASER.3DS", 15, 30},    {"PLASER.3DS", 15, 30},
    {"FLTCHCAN.3DS", 15, 30}, {"MOLNIA.3DS", 15, 30},   {"EMS.3DS", 15, 30},      {"FREON.3DS", 15, 30},
    {"CARGO.3DS", 15, 30},
};
constexpr int kPickupKinds = static_cast<int>(sizeof(kPickupTable) / sizeof(kPickupTable[0]));
static_assert(kPickupKinds == 33);

}  // namespace

int FindPickupType(const char* modelName, int* a, int* b) {
  if (!modelName) return -1;
  for (int kind = 0; kind < kPickupKinds; ++kind) {
    if (AsciiCompareNoCase(kPickupTable[kind].model, modelName) != 0) continue;
    if (a) *a = kPickupTable[kind].a;
    if (b) *b = kPickupTable[kind].b;
    return kind;
  }
  return -1;
}

const char* CNetDoc::GetPickupModelName(int kind) {
  // Callers pass 0..32; anything else gets no name rather than a read past
  // the table.
  return kind >= 0 && kind < kPickupKinds ? kPickupTable[kind].model : "";
}
