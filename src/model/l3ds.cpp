#include "model/l3ds.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "model/chunk_ids.h"
#include "model/finish_mesh.h"
#include "platform/load_listener.h"
#include "platform/plain_file.h"

namespace {

// Text limits count the terminating zero, so a limit of 99 keeps 98 characters.
constexpr size_t kObjectNameLimit = 99;
constexpr size_t kMaterialNameLimit = 30;
constexpr size_t kMapNameLimit = 20;
constexpr size_t kReflectionNameLimit = 30;
constexpr size_t kGroupNameLimit = 20;

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

bool L3DS::Open(const char* path)
{
    const bool read = ReadFile(path);
    if (LoadListener* listener = CurrentLoadListener(); listener && path) {
        listener->FileUsed(path);
        if (!read)
            listener->Problem(path, std::string("model '") + path + "' cannot be read");
        else if (MeshCount() == 0)
            listener->Problem(path, std::string("model '") + path + "' has no mesh");
    }
    return read;
}

bool L3DS::ReadFile(const char* path)
{
    // Only plain files: opening a FIFO would block, and a folder or device has
    // no size to read.
    if (!IsPlainFile(path))
        return false;
    std::FILE* raw = std::fopen(path, "rb");
    if (!raw)
        return false;
    std::unique_ptr<FILE, FileCloser> file(raw);
    if (std::fseek(raw, 0, SEEK_END) != 0)
        return false;
    const long length = std::ftell(raw);
    if (length <= 0 || static_cast<unsigned long>(length) >= std::numeric_limits<uint32_t>::max())
        return false;
    std::rewind(raw);
    try {
        buffer_.assign(static_cast<size_t>(length), 0);
    } catch (const std::bad_alloc&) {
        ReleaseBuffer();
        return false;
    }
    if (std::fread(buffer_.data(), static_cast<size_t>(length), 1, raw) != 1) {
        ReleaseBuffer();
        return false;
    }
    file.reset();
    return ParseHeldBuffer();
}

bool L3DS::OpenBytes(const void* data, size_t size)
{
    if (size == 0 || size >= std::numeric_limits<uint32_t>::max())
        return false;
    try {
        buffer_.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    } catch (const std::bad_alloc&) {
        ReleaseBuffer();
        return false;
    }
    return ParseHeldBuffer();
}

bool L3DS::ParseHeldBuffer()
{
    size_ = static_cast<uint32_t>(buffer_.size());
    Reset();
    bool parsed = false;
    try {
        parsed = ParseBuffer();
        // Finishing needs memory of its own and none of the file image.
        ReleaseBuffer();
        if (parsed)
            for (LMesh& mesh : meshes_)
                FinishMesh(mesh);
    } catch (const std::bad_alloc&) {
        parsed = false;
    }
    if (!parsed)
        Reset();
    ReleaseBuffer();
    return parsed;
}

void L3DS::ReleaseBuffer()
{
    std::vector<uint8_t>().swap(buffer_);
    size_ = 0;
    position_ = 0;
    objectName_.clear();
    materialIds_.clear();
}

bool L3DS::ParseBuffer()
{
    position_ = 0;
    const ChunkHeader main = ReadHeader();
    if (main.id != chunk::kMain)
        return false;
    ChunkHeader editor;
    if (!FindChild(main, chunk::kEditor, editor))
        return false;

    // Materials first, so that a face can name a material stored after its mesh.
    ChunkHeader child;
    Seek(editor.start);
    while (FindChild(editor, chunk::kMaterial, child)) {
        ReadMaterial(child);
        Seek(child.end);
    }
    for (const LMaterial& material : materials_)
        materialIds_.emplace(material.Name(), material.Id());  // the first of a name wins
    Seek(editor.start);
    while (FindChild(editor, chunk::kObject, child)) {
        ReadObject(child);
        Seek(child.end);
    }
    return true;
}

// ---- primitive reads ------------------------------------------------------

bool L3DS::Fits(uint32_t bytes) const
{
    return static_cast<uint64_t>(position_) + bytes < size_;
}

uint8_t L3DS::ReadByte()
{
    if (!Fits(1))
        return 0;
    return buffer_[position_++];
}

uint16_t L3DS::ReadShort()
{
    if (!Fits(2))
        return 0;
    const uint8_t* p = &buffer_[position_];
    position_ += 2;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t L3DS::ReadInt()
{
    if (!Fits(4))
        return 0;
    const uint8_t* p = &buffer_[position_];
    position_ += 4;
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

float L3DS::ReadFloat()
{
    if (!Fits(4))
        return 0;
    const uint32_t bits = ReadInt();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Takes bytes up to a zero, keeping at most limit - 1 of them. When the limit
// stops it, the byte just taken is dropped and the rest stays unread.
std::string L3DS::ReadText(size_t limit)
{
    std::string text;
    if (position_ >= size_)
        return text;
    for (;;) {
        const uint8_t c = ReadByte();
        if (c == 0 || text.size() + 1 >= limit)
            break;
        text.push_back(static_cast<char>(c));
    }
    return text;
}

void L3DS::Seek(uint32_t position)
{
    if (position >= size_)
        position = size_ == 0 ? 0 : size_ - 1;
    position_ = position;
}

// ---- chunk walking --------------------------------------------------------

ChunkHeader L3DS::ReadHeader()
{
    ChunkHeader header;
    header.id = ReadShort();
    const uint32_t length = ReadInt();
    header.start = position_;
    header.valid = length >= 6;
    const uint64_t end = static_cast<uint64_t>(header.start) + (header.valid ? length - 6 : 0);
    header.end = end > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                            : static_cast<uint32_t>(end);
    return header;
}

// A child must have a sane length and end inside its parent; anything else
// ends the walk, so that a bad length can never make it stand still or go back.
bool L3DS::NextChild(const ChunkHeader& parent, ChunkHeader& child)
{
    child = ReadHeader();
    return child.valid && child.end <= parent.end;
}

bool L3DS::FindChild(const ChunkHeader& parent, uint16_t id, ChunkHeader& found)
{
    if (position_ >= parent.end)
        return false;
    ChunkHeader header = ReadHeader();
    for (;;) {
        if (!header.valid)
            return false;
        if (header.id == id) {
            found = header;
            return true;
        }
        if (header.end > parent.end)
            return false;
        Seek(header.end);
        if (header.end >= parent.end)
            return false;
        header = ReadHeader();
    }
}

uint32_t L3DS::RecordsThatFit(const ChunkHeader& chunk, uint32_t count, uint32_t recordSize) const
{
    const uint32_t room = chunk.end > position_ ? chunk.end - position_ : 0;
    const uint32_t fit = room / recordSize;
    return count < fit ? count : fit;
}

// ---- materials ------------------------------------------------------------

void L3DS::ReadMaterial(const ChunkHeader& materialChunk)
{
    LMaterial material;
    Seek(materialChunk.start);
    ChunkHeader child;
    for (; NextChild(materialChunk, child); Seek(child.end)) {
        switch (child.id) {
        case chunk::kMaterialName:
            material.Rename(ReadText(kMaterialNameLimit));
            break;
        case chunk::kAmbient:
            material.SetAmbient(ReadColourChunk());
            break;
        case chunk::kDiffuse:
            material.SetDiffuse(ReadColourChunk());
            break;
        case chunk::kSpecular:
            material.SetSpecular(ReadColourChunk());
            break;
        case chunk::kShininess:
            material.SetShininess(ReadAmountChunk().value);
            break;
        case chunk::kTransparency:
            material.SetTransparency(ReadAmountChunk().value);
            break;
        case chunk::kShading: {
            const uint16_t shading = ReadShort();
            if (shading <= 4)
                material.SetShading(shading);
            break;
        }
        case chunk::kWireframe:
            material.SetShading(0);
            break;
        case chunk::kTextureMap1:
            ReadMap(child, material.MapAt(LMaterial::kTextureMap1));
            break;
        case chunk::kTextureMap2:
            ReadMap(child, material.MapAt(LMaterial::kTextureMap2));
            break;
        case chunk::kOpacityMap:
            ReadMap(child, material.MapAt(LMaterial::kOpacityMap));
            break;
        case chunk::kBumpMap:
            ReadMap(child, material.MapAt(LMaterial::kBumpMap));
            break;
        case chunk::kSpecularMap:
            ReadMap(child, material.MapAt(LMaterial::kSpecularMap));
            break;
        case chunk::kReflectionMap: {
            // A strength, then directly the file name; anything else drops the material.
            MapInfo& map = material.MapAt(LMaterial::kReflectionMap);
            const Amount strength = ReadAmountChunk();
            map.strength = strength.value;
            Seek(strength.chunk.end);
            if (ReadHeader().id != chunk::kMapFileName)
                return;
            map.fileName = ReadText(kReflectionNameLimit);
            if (map.fileName.empty())
                map.fileName = "auto";
            break;
        }
        default:
            break;
        }
    }
    material.SetId(static_cast<uint32_t>(materials_.size()));
    materials_.push_back(std::move(material));
}

void L3DS::ReadMap(const ChunkHeader& block, MapInfo& map)
{
    Seek(block.start);
    ChunkHeader child;
    for (; NextChild(block, child); Seek(child.end)) {
        switch (child.id) {
        case chunk::kAmountPercent:
            map.strength = static_cast<int16_t>(ReadShort()) / 100.0f;
            break;
        case chunk::kMapFileName:
            map.fileName = ReadText(kMapNameLimit);
            break;
        case chunk::kMapUScale:
            map.uScale = ReadFloat();
            break;
        case chunk::kMapVScale:
            map.vScale = ReadFloat();
            break;
        case chunk::kMapUOffset:
            map.uOffset = ReadFloat();
            break;
        case chunk::kMapVOffset:
            map.vOffset = ReadFloat();
            break;
        case chunk::kMapRotation:
            map.rotation = ReadFloat();
            break;
        default:
            break;
        }
    }
}

LVector3 L3DS::ReadColourValue(uint16_t id)
{
    LVector3 colour;
    if (id == chunk::kColourFloat || id == chunk::kColourFloatGamma) {
        colour.x = ReadFloat();
        colour.y = ReadFloat();
        colour.z = ReadFloat();
    } else if (id == chunk::kColourBytes || id == chunk::kColourBytesGamma) {
        colour.x = ReadByte() / 255.0f;
        colour.y = ReadByte() / 255.0f;
        colour.z = ReadByte() / 255.0f;
    }
    return colour;
}

LVector3 L3DS::ReadColourChunk()
{
    const ChunkHeader header = ReadHeader();
    return ReadColourValue(header.id);
}

L3DS::Amount L3DS::ReadAmountChunk()
{
    Amount amount;
    amount.chunk = ReadHeader();
    if (amount.chunk.id == chunk::kAmountPercent)
        amount.value = static_cast<int16_t>(ReadShort()) / 100.0f;
    else if (amount.chunk.id == chunk::kAmountFloat)
        amount.value = ReadFloat();
    return amount;
}

// ---- objects --------------------------------------------------------------

void L3DS::ReadObject(const ChunkHeader& object)
{
    objectName_ = ReadText(kObjectNameLimit);
    // Only the object's first child decides what it is; it must lie inside the object.
    const ChunkHeader first = ReadHeader();
    if (!first.valid || first.end > object.end)
        return;
    if (first.id == chunk::kTriangleMesh)
        ReadMesh(first);
    else if (first.id == chunk::kLight)
        ReadLight(first);
}

void L3DS::ReadMesh(const ChunkHeader& meshChunk)
{
    LMesh mesh;
    mesh.Rename(objectName_);
    Seek(meshChunk.start);
    ChunkHeader child;
    for (; NextChild(meshChunk, child); Seek(child.end)) {
        switch (child.id) {
        case chunk::kVertexList: {
            const uint32_t count = RecordsThatFit(child, ReadShort(), 12);
            mesh.SetVertexArraySize(count);
            for (uint32_t i = 0; i < count; ++i) {
                LVector4 p;
                p.x = ReadFloat();
                p.y = ReadFloat();
                p.z = ReadFloat();
                p.w = 1;
                mesh.SetPosition(i, p);
            }
            break;
        }
        case chunk::kFaceList:
            ReadFaceList(child, mesh);
            break;
        case chunk::kTexCoordList: {
            const uint32_t count = RecordsThatFit(child, ReadShort(), 8);
            if (mesh.VertexCount() == 0)
                mesh.SetVertexArraySize(count);
            for (uint32_t i = 0; i < count; ++i) {
                LVector2 uv;
                uv.x = ReadFloat();
                uv.y = ReadFloat();
                mesh.SetTexCoord(i, uv);  // pairs past the vertex count are dropped
            }
            break;
        }
        case chunk::kLocalMatrix: {
            // Rows (m0 m1 m2 0) (m3 m4 m5 0) (m6 m7 m8 0) (m9 m10 m11 1); kept, not applied.
            LMatrix4 matrix;
            for (int row = 0; row < 4; ++row)
                for (int column = 0; column < 3; ++column)
                    matrix.m[row * 4 + column] = ReadFloat();
            mesh.SetMatrix(matrix);
            break;
        }
        default:
            break;
        }
    }
    meshes_.push_back(std::move(mesh));
}

void L3DS::ReadFaceList(const ChunkHeader& faceList, LMesh& mesh)
{
    const uint32_t declared = ReadShort();
    const uint32_t count = RecordsThatFit(faceList, declared, 8);
    mesh.SetTriangleArraySize(count);
    for (uint32_t i = 0; i < count; ++i) {
        FaceInfo face;
        face.a = ReadShort();
        face.b = ReadShort();
        face.c = ReadShort();
        ReadShort();  // edge flags, unused
        face.smoothingGroup = 1;
        mesh.SetFace(i, face);
    }
    // A list that claims more faces than its chunk holds has no room left for sub-chunks.
    if (count < declared)
        return;
    ChunkHeader child;
    for (; NextChild(faceList, child); Seek(child.end)) {
        if (child.id == chunk::kFaceMaterial) {
            ReadFaceMaterial(child, mesh);
        } else if (child.id == chunk::kSmoothingList) {
            const uint32_t groups = RecordsThatFit(child, static_cast<uint32_t>(mesh.TriangleCount()), 4);
            for (uint32_t i = 0; i < groups; ++i)
                mesh.Face(i).smoothingGroup = ReadInt();
        }
    }
}

void L3DS::ReadFaceMaterial(const ChunkHeader& group, LMesh& mesh)
{
    const std::string name = ReadText(kGroupNameLimit);
    const auto material = materialIds_.find(name);
    if (material == materialIds_.end())
        return;  // a group naming no known material is skipped
    const uint32_t id = material->second;
    mesh.AddMaterial(id);
    const uint32_t count = RecordsThatFit(group, ReadShort(), 2);
    for (uint32_t i = 0; i < count; ++i) {
        const uint16_t face = ReadShort();
        if (face < mesh.TriangleCount())
            mesh.Face(face).materialId = id;
    }
}

void L3DS::ReadLight(const ChunkHeader& lightChunk)
{
    LLight light;
    light.Rename(objectName_);
    Seek(lightChunk.start);
    LVector3 position;
    position.x = ReadFloat();
    position.y = ReadFloat();
    position.z = ReadFloat();
    light.SetPosition(position);
    bool haveColour = false;
    ChunkHeader child;
    for (; NextChild(lightChunk, child); Seek(child.end)) {
        switch (child.id) {
        case chunk::kColourFloat:
        case chunk::kColourBytes:
        case chunk::kColourBytesGamma:
        case chunk::kColourFloatGamma:
            if (!haveColour)
                light.SetColour(ReadColourValue(child.id));
            haveColour = true;
            break;
        case chunk::kSpotlight: {
            LVector3 target;
            target.x = ReadFloat();
            target.y = ReadFloat();
            target.z = ReadFloat();
            light.SetTarget(target);
            light.SetHotspot(ReadFloat());
            light.SetFalloff(ReadFloat());
            break;
        }
        default:
            break;
        }
    }
    lights_.push_back(std::move(light));
}
