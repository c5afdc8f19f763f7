#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The large models the reader is timed on, built with the chunk writer. Their
// sizes follow real files: a textured figure of 53,893 triangles in 21
// material groups with a few smoothing groups, a 48,000-triangle scan with
// neither materials nor a smoothing chunk, and a 45,792-triangle faceted
// model whose faces are in many smoothing groups.
struct BenchModel {
    std::string name;
    std::string description;
    std::vector<uint8_t> bytes;
};

std::vector<BenchModel> BenchModels();
