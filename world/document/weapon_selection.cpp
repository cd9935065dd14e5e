// Weapon selection and loadout: the selected gun and missile, the owned
// masks (the inventory kept between levels is game/net_doc_inventory.cpp).
#include "game/net_doc.h"

// Will select the gun with its lockout and sound.
void CNetDoc::SelectGun(int /*gunBit*/) {}

// Will select the missile with its lockout and sound.
void CNetDoc::SelectMissile(int /*missileBit*/) {}

// Will select the next gun that is available.
void CNetDoc::CycleGun(int /*unused*/) {}

// Will select the next missile type that is available.
void CNetDoc::CycleMissile(int /*unused*/) {}

// Will set the starting loadout of a new game.
void CNetDoc::ResetNetworkLoadout() {}

// Will tell whether every given gun is owned and has ammunition.
bool CNetDoc::HasGun(int /*bits*/) { return false; }

// Will reset the per-level state: the loadout or the kept inventory, the
// target selection and the shield bytes.
void CNetDoc::ResetPlayerState() {}
