#pragma once
// A movement of the level script: a group that slides or turns from one
// end to the other when the script runs it ("transfer", "reverse"). The
// script manager owns it.
#include "world/script/script_object.h"

class CMovement : public CScriptNodeObject {
 public:
  explicit CMovement(PolygonGroup* group = nullptr) : CScriptNodeObject(group) {}
  virtual void RunForward();
  virtual void RunReverse();
  void OnMoverFinished() override;
  void Serialize(CArchive& ar) override;
};
