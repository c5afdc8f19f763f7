#include "ogg_serial.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace {

constexpr uint32_t kSerial = 0x47524156;  // "GRAV"
constexpr size_t kHeaderSize = 27;

uint32_t OggCrc(const uint8_t* data, size_t size)
{
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= static_cast<uint32_t>(data[i]) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 0x80000000u ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

void PutLe32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

void FixOggSerial(const std::string& path)
{
    std::vector<uint8_t> bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < kHeaderSize || bytes[at] != 'O' || bytes[at + 1] != 'g' || bytes[at + 2] != 'g' ||
            bytes[at + 3] != 'S')
            throw std::runtime_error("unexpected Ogg page layout in " + path);
        const size_t segments = bytes[at + 26];
        if (bytes.size() - at < kHeaderSize + segments)
            throw std::runtime_error("truncated Ogg page in " + path);
        size_t pageSize = kHeaderSize + segments;
        for (size_t s = 0; s < segments; ++s)
            pageSize += bytes[at + kHeaderSize + s];
        if (bytes.size() - at < pageSize)
            throw std::runtime_error("truncated Ogg page in " + path);
        PutLe32(&bytes[at + 14], kSerial);
        PutLe32(&bytes[at + 22], 0);
        PutLe32(&bytes[at + 22], OggCrc(&bytes[at], pageSize));
        at += pageSize;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot rewrite " + path);
}
