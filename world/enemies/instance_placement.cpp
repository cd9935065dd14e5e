#include "world/enemies/instance_placement.h"

#include "engine/instance.h"
#include "engine/matrix.h"

void InstanceApplyPlacement(Instance* instance) {
  if (!instance) return;
  // Kept by copy rather than on the stack, which a deep caller may have
  // filled.
  Matrix saved;
  MatrixGet(saved);
  MatrixIdentity();
  MatrixRotateX(instance->angleX);
  MatrixRotateY(instance->angleY);
  MatrixRotateZ(instance->angleZ);
  MatrixTranslate(instance->x, instance->y, instance->z);
  Matrix placed;
  MatrixGet(placed);
  MatrixLoad(saved);
  InstanceSetMatrix(instance, placed, 0.0f);
}
