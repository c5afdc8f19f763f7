#include "model/ring_shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCutDegrees = 7.5;  // arcs are cut about this often
constexpr float kArcHalfDepth = 0.01f;

struct ArcSpan {
    double from, to;  // degrees from +x towards +y; to < from wraps through 0
};

LVector3 Vec(double x, double y, double z)
{
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

double Dot(const LVector3& a, const LVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

int16_t AddNormal(ShapeTable& shape, const LVector3& n)
{
    shape.normals.push_back(Normalize(n));
    return static_cast<int16_t>(shape.normals.size() - 1);
}

// One triangle, turned so that its winding agrees with its corner normals
// (counter-clockwise seen from the side the normals point to).
void AddTriangle(ShapeTable& shape, const int16_t v[3], const int16_t n[3])
{
    const LVector3& a = shape.vertices[v[0]];
    const LVector3& b = shape.vertices[v[1]];
    const LVector3& c = shape.vertices[v[2]];
    const LVector3 facing = shape.normals[n[0]] + shape.normals[n[1]] + shape.normals[n[2]];
    ShapeTriangle t{{v[0], v[1], v[2]}, {n[0], n[1], n[2]}};
    if (Dot(Cross(b - a, c - a), facing) < 0) {
        std::swap(t.vertex[1], t.vertex[2]);
        std::swap(t.normal[1], t.normal[2]);
    }
    shape.triangles.push_back(t);
}

// Corners in order around the quad, with the normal of each corner.
void AddQuad(ShapeTable& shape, int16_t v0, int16_t v1, int16_t v2, int16_t v3, int16_t n0, int16_t n1, int16_t n2,
             int16_t n3)
{
    const int16_t first[3] = {v0, v1, v2}, firstNormals[3] = {n0, n1, n2};
    const int16_t second[3] = {v0, v2, v3}, secondNormals[3] = {n0, n2, n3};
    AddTriangle(shape, first, firstNormals);
    AddTriangle(shape, second, secondNormals);
}

// A box-section piece of a flat ring: k cuts give 4k vertices and
// 8(k - 1) + 4 triangles. The inner and outer walls are smooth along the arc;
// top, bottom and the two end caps meet them at sharp edges.
void AddArc(ShapeTable& shape, const ArcSpan& span, double inner, double outer)
{
    double sweep = span.to - span.from;
    if (sweep <= 0)
        sweep += 360;
    const int segments = std::max(1, static_cast<int>(std::lround(sweep / kCutDegrees)));
    const int16_t base = static_cast<int16_t>(shape.vertices.size());
    std::vector<int16_t> outward(segments + 1), inward(segments + 1);
    for (int i = 0; i <= segments; ++i) {
        const double angle = (span.from + sweep * i / segments) * kPi / 180;
        const double c = std::cos(angle), s = std::sin(angle);
        shape.vertices.push_back(Vec(inner * c, inner * s, -kArcHalfDepth));
        shape.vertices.push_back(Vec(outer * c, outer * s, -kArcHalfDepth));
        shape.vertices.push_back(Vec(outer * c, outer * s, kArcHalfDepth));
        shape.vertices.push_back(Vec(inner * c, inner * s, kArcHalfDepth));
        outward[i] = AddNormal(shape, Vec(c, s, 0));
        inward[i] = AddNormal(shape, Vec(-c, -s, 0));
    }
    const double from = span.from * kPi / 180, to = (span.from + sweep) * kPi / 180;
    const int16_t top = AddNormal(shape, Vec(0, 0, 1));
    const int16_t bottom = AddNormal(shape, Vec(0, 0, -1));
    const int16_t startCap = AddNormal(shape, Vec(std::sin(from), -std::cos(from), 0));
    const int16_t endCap = AddNormal(shape, Vec(-std::sin(to), std::cos(to), 0));

    // Corners of cut i: inner-bottom, outer-bottom, outer-top, inner-top.
    auto corner = [base](int cut, int which) { return static_cast<int16_t>(base + 4 * cut + which); };
    for (int i = 0; i < segments; ++i) {
        const int j = i + 1;
        AddQuad(shape, corner(i, 1), corner(j, 1), corner(j, 2), corner(i, 2), outward[i], outward[j], outward[j],
                outward[i]);
        AddQuad(shape, corner(i, 0), corner(i, 3), corner(j, 3), corner(j, 0), inward[i], inward[i], inward[j],
                inward[j]);
        AddQuad(shape, corner(i, 3), corner(i, 2), corner(j, 2), corner(j, 3), top, top, top, top);
        AddQuad(shape, corner(i, 0), corner(j, 0), corner(j, 1), corner(i, 1), bottom, bottom, bottom, bottom);
    }
    AddQuad(shape, corner(0, 0), corner(0, 1), corner(0, 2), corner(0, 3), startCap, startCap, startCap, startCap);
    AddQuad(shape, corner(segments, 0), corner(segments, 3), corner(segments, 2), corner(segments, 1), endCap, endCap,
            endCap, endCap);
}

ShapeMaterial Material(float ar, float ag, float ab, float dr, float dg, float db)
{
    return ShapeMaterial{{ar, ag, ab}, {dr, dg, db}, {0.7f, 0.7f, 0.7f}, {0, 0, 0}, 1, 8, 0};
}

void OneRun(ShapeTable& shape, const ShapeMaterial& material)
{
    shape.materials.push_back(material);
    shape.runs.push_back(ShapeRun{0, static_cast<int32_t>(shape.triangles.size())});
}

ShapeTable MakeRing(const std::vector<ArcSpan>& spans, double inner, double outer, const ShapeMaterial& material)
{
    ShapeTable shape;
    for (const ArcSpan& span : spans)
        AddArc(shape, span, inner, outer);
    OneRun(shape, material);
    return shape;
}

// The body: a tube of elliptic cross-section (0.14 across, 0.202 deep) swept
// round an ellipse so that the whole lies within x ±0.5 and y ±0.412. One quad
// of the grid is fanned round its centre, which gives the body its odd vertex.
ShapeTable MakeBody()
{
    constexpr int kAround = 53, kAcross = 44;
    constexpr double kTubeWidth = 0.14, kTubeDepth = 0.202;
    constexpr double kA = 0.5 - kTubeWidth, kB = 0.412 - kTubeWidth;
    ShapeTable shape;
    auto addPoint = [&shape](double u, double v) {
        const double theta = 2 * kPi * u / kAround, phi = 2 * kPi * v / kAcross;
        // Outward normal of the ellipse path, in the xy plane.
        const double nx = kB * std::cos(theta), ny = kA * std::sin(theta);
        const double nl = std::sqrt(nx * nx + ny * ny);
        const double ox = nx / nl, oy = ny / nl;
        const double radial = kTubeWidth * std::cos(phi), depth = kTubeDepth * std::sin(phi);
        shape.vertices.push_back(
            Vec(kA * std::cos(theta) + radial * ox, kB * std::sin(theta) + radial * oy, depth));
        // Normal of the elliptic cross-section, in the (outward, z) plane.
        const double wn = kTubeDepth * std::cos(phi), zn = kTubeWidth * std::sin(phi);
        shape.normals.push_back(Normalize(Vec(wn * ox, wn * oy, zn)));
        return static_cast<int16_t>(shape.vertices.size() - 1);
    };
    for (int i = 0; i < kAround; ++i)
        for (int j = 0; j < kAcross; ++j)
            addPoint(i, j);
    auto at = [](int i, int j) { return static_cast<int16_t>((i % kAround) * kAcross + (j % kAcross)); };
    for (int i = 0; i < kAround; ++i)
        for (int j = 0; j < kAcross; ++j) {
            const int16_t q[4] = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
            if (i == 0 && j == 0) {
                const int16_t centre = addPoint(0.5, 0.5);
                for (int k = 0; k < 4; ++k) {
                    const int16_t v[3] = {centre, q[k], q[(k + 1) % 4]};
                    AddTriangle(shape, v, v);
                }
            } else {
                AddQuad(shape, q[0], q[1], q[2], q[3], q[0], q[1], q[2], q[3]);
            }
        }
    OneRun(shape, Material(0, 0, 0.2f, 0.784f, 0.784f, 0.784f));
    return shape;
}

}  // namespace

const ShapeTable& RingBodyShape()
{
    static const ShapeTable shape = MakeBody();
    return shape;
}

const ShapeTable& RingPartB()
{
    static const ShapeTable shape =
        MakeRing({{7.6, 38}, {53, 76}, {91, 136}, {150, 165}, {195, 210}, {224, 254}, {262, 284}, {299, 345}}, 0.445,
                 0.505, Material(0, 0, 0, 0.978f, 0.978f, 0.078f));
    return shape;
}

const ShapeTable& RingPartC()
{
    static const ShapeTable shape =
        MakeRing({{337.4, 15}, {45, 60}, {75, 113}, {143, 165}, {187.5, 202}, {217, 247}, {270, 315}}, 0.448, 0.502,
                 Material(0, 0, 0, 0.978f, 0.784f, 0.078f));
    return shape;
}

const ShapeTable& ArcRingShape()
{
    static const ShapeTable shape = MakeRing(
        {{352.5, 7.5}, {30, 45}, {60, 68}, {83, 105}, {128, 173}, {202, 225}, {240, 270}, {285, 307}, {322, 345}},
        0.45, 0.5, Material(0, 0, 0, 0.778f, 0.784f, 0.978f));
    return shape;
}
