#pragma once

namespace Effekter {

// A textured cube centred at the origin with corners at +-s, one quad a face,
// each face showing the whole texture once. The face normals have length 0.5,
// and lighting and programs see them so.
void DrawCube(float s);

}  // namespace Effekter
