#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "model/chunk_ids.h"

// Builds 3DS chunk files in memory: Begin a chunk, write its data and its
// children, End it and its length is filled in. Used by the asset generator,
// the tests and the fuzzing seeds; the raw helpers also make broken files.
class ChunkWriter {
public:
    // Starts a chunk and returns the offset of its header.
    size_t Begin(uint16_t id)
    {
        const size_t offset = bytes_.size();
        U16(id);
        U32(0);
        open_.push_back(offset);
        return offset;
    }
    // Closes the innermost chunk, writing its length (header included).
    void End()
    {
        const size_t offset = open_.back();
        open_.pop_back();
        SetLength(offset, static_cast<uint32_t>(bytes_.size() - offset));
    }
    // Overwrites the length field of the chunk whose header is at offset.
    void SetLength(size_t offset, uint32_t length)
    {
        for (int i = 0; i < 4; ++i)
            bytes_[offset + 2 + i] = static_cast<uint8_t>(length >> (8 * i));
    }

    void U8(uint8_t v) { bytes_.push_back(v); }
    void U16(uint16_t v)
    {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v)
    {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void F32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        U32(bits);
    }
    // The text and its terminating zero.
    void Text(const std::string& text)
    {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        U8(0);
    }

    // A whole chunk holding one 16-bit value, or three floats, and so on.
    void ChunkU16(uint16_t id, uint16_t v)
    {
        Begin(id);
        U16(v);
        End();
    }
    void ChunkText(uint16_t id, const std::string& text)
    {
        Begin(id);
        Text(text);
        End();
    }
    void ChunkColour(uint16_t id, float r, float g, float b)
    {
        Begin(id);
        Begin(chunk::kColourFloat);
        F32(r);
        F32(g);
        F32(b);
        End();
        End();
    }
    void ChunkPercent(uint16_t id, int16_t percent)
    {
        Begin(id);
        ChunkU16(chunk::kAmountPercent, static_cast<uint16_t>(percent));
        End();
    }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t>& Bytes() { return bytes_; }

    bool Save(const std::string& path) const
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file)
            return false;
        const bool written = std::fwrite(bytes_.data(), 1, bytes_.size(), file) == bytes_.size();
        return std::fclose(file) == 0 && written;
    }

private:
    std::vector<uint8_t> bytes_;
    std::vector<size_t> open_;
};
