#pragma once
#include "model/lmesh.h"

// Works out what a model file does not store: face normals, vertices split
// where smoothing groups meet, smooth vertex normals, and per-vertex tangents
// and binormals. All in single precision. Faces that name a vertex past the
// vertex list are dropped first, so every triangle can be drawn.
void FinishMesh(LMesh& mesh);
