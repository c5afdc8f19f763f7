#pragma once
#include <cstdint>

// Chunk ids of the 3DS format that the reader acts on.
namespace chunk {
constexpr uint16_t kMain = 0x4D4D;
constexpr uint16_t kEditor = 0x3D3D;

constexpr uint16_t kMaterial = 0xAFFF;
constexpr uint16_t kMaterialName = 0xA000;
constexpr uint16_t kAmbient = 0xA010;
constexpr uint16_t kDiffuse = 0xA020;
constexpr uint16_t kSpecular = 0xA030;
constexpr uint16_t kShininess = 0xA040;
constexpr uint16_t kTransparency = 0xA050;
constexpr uint16_t kShading = 0xA100;
constexpr uint16_t kWireframe = 0xA085;
constexpr uint16_t kTextureMap1 = 0xA200;
constexpr uint16_t kTextureMap2 = 0xA33A;
constexpr uint16_t kOpacityMap = 0xA210;
constexpr uint16_t kReflectionMap = 0xA220;
constexpr uint16_t kBumpMap = 0xA230;
constexpr uint16_t kSpecularMap = 0xA204;
constexpr uint16_t kMapFileName = 0xA300;
constexpr uint16_t kMapUScale = 0xA354;
constexpr uint16_t kMapVScale = 0xA356;
constexpr uint16_t kMapUOffset = 0xA358;
constexpr uint16_t kMapVOffset = 0xA35A;
constexpr uint16_t kMapRotation = 0xA35C;

constexpr uint16_t kColourFloat = 0x0010;
constexpr uint16_t kColourBytes = 0x0011;
constexpr uint16_t kColourBytesGamma = 0x0012;
constexpr uint16_t kColourFloatGamma = 0x0013;
constexpr uint16_t kAmountPercent = 0x0030;
constexpr uint16_t kAmountFloat = 0x0031;

constexpr uint16_t kObject = 0x4000;
constexpr uint16_t kTriangleMesh = 0x4100;
constexpr uint16_t kVertexList = 0x4110;
constexpr uint16_t kFaceList = 0x4120;
constexpr uint16_t kFaceMaterial = 0x4130;
constexpr uint16_t kTexCoordList = 0x4140;
constexpr uint16_t kSmoothingList = 0x4150;
constexpr uint16_t kLocalMatrix = 0x4160;
constexpr uint16_t kLight = 0x4600;
constexpr uint16_t kSpotlight = 0x4610;
}  // namespace chunk
