#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/limporter.h"

// Where a chunk's data lies in the file buffer.
struct ChunkHeader {
    uint16_t id = 0;
    uint32_t start = 0;  // right after the 6-byte header
    uint32_t end = 0;    // start + length - 6
    // False for a length below 6: such a chunk cannot be skipped forwards.
    bool valid = false;
};

// Reader of 3D Studio chunk files (.3ds). The whole file is read into memory
// and parsed from there; reads past the end of the buffer give 0.
class L3DS : public LImporter {
public:
    L3DS() = default;
    // A file that cannot be read leaves the reader empty.
    explicit L3DS(const char* path) { Open(path); }

    bool Open(const char* path) override;
    // Parses a file image already in memory, replacing the contents.
    bool OpenBytes(const void* data, size_t size);

private:
    bool ReadFile(const char* path);
    bool ParseBuffer();
    void ReleaseBuffer();
    // Parses buffer_ as a whole file, then lets it go; false leaves the reader empty.
    bool ParseHeldBuffer();

    // Primitive reads: they succeed only if at least one byte follows the
    // value, and otherwise give 0 without moving.
    bool Fits(uint32_t bytes) const;
    uint8_t ReadByte();
    uint16_t ReadShort();
    uint32_t ReadInt();
    float ReadFloat();
    std::string ReadText(size_t limit);
    void Seek(uint32_t position);

    ChunkHeader ReadHeader();
    // Reads the next child header of parent; false when there is none left.
    bool NextChild(const ChunkHeader& parent, ChunkHeader& child);
    bool FindChild(const ChunkHeader& parent, uint16_t id, ChunkHeader& found);
    // How many records of recordSize fit between the position and the chunk's end.
    uint32_t RecordsThatFit(const ChunkHeader& chunk, uint32_t count, uint32_t recordSize) const;

    void ReadMaterial(const ChunkHeader& material);
    void ReadMap(const ChunkHeader& block, MapInfo& map);
    LVector3 ReadColourValue(uint16_t id);
    LVector3 ReadColourChunk();
    struct Amount {
        ChunkHeader chunk;
        float value = 0;
    };
    Amount ReadAmountChunk();
    void ReadObject(const ChunkHeader& object);
    void ReadMesh(const ChunkHeader& meshChunk);
    void ReadFaceList(const ChunkHeader& faceList, LMesh& mesh);
    void ReadFaceMaterial(const ChunkHeader& group, LMesh& mesh);
    void ReadLight(const ChunkHeader& lightChunk);

    std::vector<uint8_t> buffer_;
    uint32_t size_ = 0;
    uint32_t position_ = 0;
    std::string objectName_;  // up to 98 characters
    // While parsing: each material name with the id of its first material, so
    // that face groups find theirs without walking the list each time.
    std::unordered_map<std::string, uint32_t> materialIds_;
};
