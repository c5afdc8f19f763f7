#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/chunk_ids.h"
#include "model/chunk_writer.h"
#include "model/lvector.h"

// Builders of small 3DS files for the model tests.

using Face = std::array<uint16_t, 3>;

// Main and editor chunks around what body writes. With a trailer an empty
// keyframer chunk follows, so that no value ends at the file's last byte.
std::vector<uint8_t> ModelFile(const std::function<void(ChunkWriter&)>& body, bool trailer = true);

// The vertex list and face list chunks of a mesh (no mesh chunk around them).
void WriteVertices(ChunkWriter& w, const std::vector<LVector3>& positions);
void WriteFaces(ChunkWriter& w, const std::vector<Face>& faces,
                const std::function<void(ChunkWriter&)>& children = nullptr);

// A whole object chunk holding one mesh with the given lists.
void WriteMeshObject(ChunkWriter& w, const std::string& name, const std::vector<LVector3>& positions,
                     const std::vector<Face>& faces);

// A flat unit square of two triangles in the plane z = 0.
std::vector<LVector3> SquarePositions();
std::vector<Face> SquareFaces();

// Writes bytes to a fresh temporary file and returns its path.
std::string SaveTemp(const std::vector<uint8_t>& bytes, const std::string& name = "model.3ds");
