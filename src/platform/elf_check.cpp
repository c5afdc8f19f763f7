#include "platform/elf_check.h"

#include <elf.h>
#include <link.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/plain_file.h"

namespace {

#if defined(__x86_64__)
constexpr int kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr int kMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr int kMachine = EM_386;
#elif defined(__arm__)
constexpr int kMachine = EM_ARM;
#else
constexpr int kMachine = -1;  // any machine: the loader has the last word
#endif

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr unsigned char kByteOrder = ELFDATA2LSB;
#else
constexpr unsigned char kByteOrder = ELFDATA2MSB;
#endif

// ElfW picks the 32- or 64-bit structures of this build.
using Header = ElfW(Ehdr);
using Segment = ElfW(Phdr);
constexpr unsigned char kClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;

bool Check(FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return false;
    const long size = std::ftell(file);
    Header header;
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0 || std::fread(&header, sizeof header, 1, file) != 1)
        return false;
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != kClass ||
        header.e_ident[EI_DATA] != kByteOrder || header.e_type != ET_DYN ||
        (kMachine >= 0 && header.e_machine != kMachine) || header.e_phentsize != sizeof(Segment) ||
        header.e_phnum == 0)
        return false;
    const unsigned long fileSize = static_cast<unsigned long>(size);
    const unsigned long tableSize = static_cast<unsigned long>(header.e_phnum) * sizeof(Segment);
    if (header.e_phoff > fileSize || tableSize > fileSize - header.e_phoff)
        return false;
    std::vector<Segment> segments(header.e_phnum);
    if (std::fseek(file, static_cast<long>(header.e_phoff), SEEK_SET) != 0 ||
        std::fread(segments.data(), sizeof(Segment), segments.size(), file) != segments.size())
        return false;
    bool loadable = false;
    for (const Segment& segment : segments) {
        if (segment.p_type != PT_LOAD && segment.p_type != PT_DYNAMIC)
            continue;
        loadable = loadable || segment.p_type == PT_LOAD;
        if (segment.p_offset > fileSize || segment.p_filesz > fileSize - segment.p_offset)
            return false;
    }
    return loadable;
}

}  // namespace

bool IsCompleteSharedObject(const char* path)
{
    if (!IsPlainFile(path))
        return false;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    const bool complete = Check(file);
    std::fclose(file);
    return complete;
}
