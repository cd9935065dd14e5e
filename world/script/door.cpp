#include "world/script/door.h"

#include "engine/polygon_group.h"

CDoor::CDoor(PolygonGroup* group, DoorShape shape) : CScriptNodeObject(group), shape_(shape) {}

const char* CDoor::GetName() const { return group_ && group_->name ? group_->name : ""; }

void CDoor::GetCentre(float* x, float* y, float* z) const {
  *x = *y = *z = 0.0f;
  if (group_) GroupGetCentre(group_, x, y, z);
}

// Will reverse the door's direction.
void CDoor::Toggle() {}

// Will open or close the door through its mover and raise its events.
void CDoor::SetOpen(BOOL /*open*/) {}

// Will stop or resume the door's mover.
void CDoor::Freeze(BOOL /*frozen*/) {}

// Will count the door's counter down and raise its zero event.
void CDoor::DecCounter() {}

// Will count the door's counter up.
void CDoor::IncCounter() {}

// Will give a sliding or rotating door its new axis.
void CDoor::SetAxis(const Vec3& /*from*/, const Vec3& /*to*/) {}

// Will run the mover toward the open flag's end.
void CDoor::Apply() {}

// Will raise the door's finish event and move its owned doors.
void CDoor::OnMoverFinished() {}

// Will write or read the door's record.
void CDoor::Serialize(CArchive& /*ar*/) {}

// Will take the radii, kind, counter and state bits from the message.
void CDoor::RestoreState(const uint8_t* /*message*/) {}
