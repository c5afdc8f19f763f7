// The generated ring-model shapes: sizes, extents and sound geometry.
#include <gtest/gtest.h>

#include <cmath>

#include "model/ring_shapes.h"

namespace {

struct Expected {
    const char* name;
    const ShapeTable& shape;
    size_t triangles, vertices, normals;
};

float Dot(const LVector3& a, const LVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

void ExpectSoundTable(const ShapeTable& shape, const char* name)
{
    for (const LVector3& n : shape.normals)
        ASSERT_NEAR(std::sqrt(Dot(n, n)), 1.0f, 1e-5) << name;
    size_t covered = 0;
    for (const ShapeRun& run : shape.runs) {
        ASSERT_GE(run.material, 0);
        ASSERT_LT(static_cast<size_t>(run.material), shape.materials.size());
        covered += run.triangles;
    }
    EXPECT_GE(covered, shape.triangles.size()) << name << ": runs cover every triangle";
    for (const ShapeTriangle& t : shape.triangles) {
        LVector3 corner[3], facing;
        for (int j = 0; j < 3; ++j) {
            ASSERT_GE(t.vertex[j], 0);
            ASSERT_LT(static_cast<size_t>(t.vertex[j]), shape.vertices.size()) << name;
            ASSERT_GE(t.normal[j], 0);
            ASSERT_LT(static_cast<size_t>(t.normal[j]), shape.normals.size()) << name;
            corner[j] = shape.vertices[t.vertex[j]];
            facing = facing + shape.normals[t.normal[j]];
        }
        // Counter-clockwise seen from where the normals point.
        EXPECT_GT(Dot(Cross(corner[1] - corner[0], corner[2] - corner[0]), facing), 0) << name;
    }
}

TEST(RingShapes, CountsOfTheGeneratedShapes)
{
    const Expected shapes[] = {
        {"body A", RingBodyShape(), 4666, 2333, 2333},
        {"ring B", RingPartB(), 272, 152, 8 * 4 + 2 * 38},
        {"ring C", RingPartC(), 244, 136, 7 * 4 + 2 * 34},
        {"arc ring D", ArcRingShape(), 252, 144, 9 * 4 + 2 * 36},
    };
    for (const Expected& e : shapes) {
        EXPECT_EQ(e.shape.triangles.size(), e.triangles) << e.name;
        EXPECT_EQ(e.shape.vertices.size(), e.vertices) << e.name;
        EXPECT_EQ(e.shape.normals.size(), e.normals) << e.name;
        ASSERT_EQ(e.shape.runs.size(), 1u) << e.name;
        EXPECT_EQ(e.shape.runs[0].material, 0) << e.name;
        ExpectSoundTable(e.shape, e.name);
    }
}

TEST(RingShapes, RingsLieInTheirFlatAnnulus)
{
    const struct {
        const ShapeTable& shape;
        float inner, outer;
    } rings[] = {{RingPartB(), 0.445f, 0.505f}, {RingPartC(), 0.448f, 0.502f}, {ArcRingShape(), 0.45f, 0.5f}};
    for (const auto& ring : rings)
        for (const LVector3& v : ring.shape.vertices) {
            const float r = std::hypot(v.x, v.y);
            EXPECT_GE(r, ring.inner - 1e-5f);
            EXPECT_LE(r, ring.outer + 1e-5f);
            EXPECT_NEAR(std::fabs(v.z), 0.01f, 1e-7);
        }
    // The arc ring's first arc crosses +x (352.5 to 7.5 degrees); 50 degrees is a gap.
    bool onPlusX = false, inGap = false;
    for (const LVector3& v : ArcRingShape().vertices) {
        const float degrees = std::atan2(v.y, v.x) * 180 / 3.14159265f;
        onPlusX = onPlusX || std::fabs(degrees) < 1e-3f;
        inGap = inGap || std::fabs(degrees - 50) < 4.9f;
    }
    EXPECT_TRUE(onPlusX);
    EXPECT_FALSE(inGap);
}

TEST(RingShapes, BodyFillsItsExtent)
{
    LVector3 low{1, 1, 1}, high{-1, -1, -1};
    for (const LVector3& v : RingBodyShape().vertices) {
        low = {std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z)};
        high = {std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z)};
    }
    EXPECT_NEAR(high.x, 0.5f, 1e-4);
    EXPECT_NEAR(low.x, -0.5f, 2e-3);
    EXPECT_LE(high.y, 0.412f);
    EXPECT_GE(high.y, 0.40f);
    EXPECT_LE(high.z, 0.202f);
    EXPECT_GE(high.z, 0.20f);
    EXPECT_GE(low.z, -0.202f);
}

TEST(RingShapes, MaterialsOfTheParts)
{
    const ShapeMaterial& body = RingBodyShape().materials[0];
    EXPECT_FLOAT_EQ(body.ambient[2], 0.2f);
    EXPECT_FLOAT_EQ(body.diffuse[0], 0.784f);
    const ShapeMaterial& b = RingPartB().materials[0];
    EXPECT_FLOAT_EQ(b.diffuse[2], 0.078f);
    const ShapeMaterial& d = ArcRingShape().materials[0];
    EXPECT_FLOAT_EQ(d.diffuse[0], 0.778f);
    for (const ShapeMaterial* m : {&body, &b, &d, &RingPartC().materials[0]}) {
        EXPECT_FLOAT_EQ(m->specular[1], 0.7f);
        EXPECT_EQ(m->emission[0], 0);
        EXPECT_EQ(m->alpha, 1);
        EXPECT_EQ(m->shininess, 8);
    }
}

}  // namespace
