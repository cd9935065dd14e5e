#include "world/script/movement.h"

// Will run the group's mover toward its far end and raise "forwardevent".
void CMovement::RunForward() {}

// Will run it back and raise "reverseevent".
void CMovement::RunReverse() {}

// Will raise the movement's finish event.
void CMovement::OnMoverFinished() {}

// Will write or read the movement's record.
void CMovement::Serialize(CArchive& /*ar*/) {}
