#pragma once
#include <cstdint>
#include <vector>

#include "model/lvector.h"

// The built-in shapes of the ring model, generated from their dimensions the
// first time they are asked for. Normals are indexed apart from vertices, so a
// corner can carry a different normal in each triangle (sharp edges).
struct ShapeTriangle {
    int16_t vertex[3];
    int16_t normal[3];
};

// Ambient, diffuse, specular and emission colours, alpha, shininess, and one
// spare value that nothing reads.
struct ShapeMaterial {
    float ambient[3];
    float diffuse[3];
    float specular[3];
    float emission[3];
    float alpha;
    float shininess;
    float spare;
};

// A material and how many triangles in a row use it.
struct ShapeRun {
    int32_t material;
    int32_t triangles;
};

struct ShapeTable {
    std::vector<ShapeTriangle> triangles;
    std::vector<LVector3> vertices;
    std::vector<LVector3> normals;  // unit length
    std::vector<ShapeMaterial> materials;
    std::vector<ShapeRun> runs;
};

// Part A: an elliptic torus within x ±0.5, y ±0.412, z ±0.202.
const ShapeTable& RingBodyShape();
// Parts B, C and D: flat rings broken into box-section arcs, z ±0.01.
const ShapeTable& RingPartB();
const ShapeTable& RingPartC();
// Part D; also the arc ring, which is drawn without its material.
const ShapeTable& ArcRingShape();
