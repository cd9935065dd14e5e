#pragma once
// The goods a ship leaves where it died in a network game: its selected
// guns, its ten ammunition counts and its Freon, which the dead player
// loses, shown as the document's cargo model. The first living local ship
// that touches it for more than 100 ms takes everything; then it hides
// (telling the others, whose copies go) and is deleted.
//
// Creation message (116 bytes): the supply's first 68 bytes (prefix, the
// twelve motion floats), the carried gun bits at 68, 3 zero bytes, the ten
// counts (int32, in the document's counter order) at 72 and the Freon
// (float) at 112. The saved record is the supply's.
#include <cstdint>

#include "platform/types.h"
#include "world/objects/supply.h"

class CBackPack : public CSupply {
  DECLARE_SERIAL_CLASS(CBackPack)
 public:
  CBackPack() = default;
  // Takes the local player's inventory (the document's selected guns,
  // counts and Freon, which then hold 0) at the point. Without the cargo
  // model nothing is taken: the failure is logged and the back pack stays
  // inactive, so the manager drops it.
  CBackPack(DPID owner, uint32_t objectId, float x, float y, float z);
  // From another program's creation message (116 bytes, checked by the
  // caller); without the cargo model it stays inactive (logged).
  CBackPack(DPID owner, const uint8_t* message);

  void Serialize(CArchive& ar) override;
  // Gives everything to the living local ship after a touch of more than
  // 100 ms; FALSE once given.
  BOOL Update(uint32_t elapsedMs) override;

 private:
  // The cargo model's instance at the position; null (logged) without one.
  Instance* MakeMesh(const float angles[3]);
  void Give();
};
