#pragma once
// Keyframe animation: posing an instance's node tree for a keyframe time.
// A node's rotation comes from its rotation keys (the key's absolute matrix,
// turned further about the next key's axis by the share of the time between
// them), its translation from its position keys likewise; then the parent's
// world matrix, or for a root the instance's matrix and its group's.
#include "engine/records.h"

// Loads the node's keyframe pose at time into the current matrix: the last
// key whose successor's time is not below time (the first key before the
// first), interpolated towards its successor with f = (time - key) /
// (next - key) clamped to 0..1 when the successor's time is greater; no keys
// give identity and no translation.
void MeshNodeLoadKeyPose(const MeshNode* node, float time);

// Poses the node and its subtree at time: worldMatrix and pivotWorld of
// each, and, unless g_InstancesZBuffered, its fragments remade as one
// fragment at the world's BSP root. The current matrix is kept.
void InstanceNodeUpdate(InstanceNode* node, float time);
