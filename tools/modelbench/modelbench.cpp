// Times reading the large test models: this program's reader (reading the file
// and finishing every mesh) against lib3ds (loading and computing normals) and
// assimp (its 3DS importer, which works out smoothing-group normals itself).
// Prints a markdown table of the median of several runs in milliseconds.
//
//   modelbench [--runs N] [--dir DIR] [--ours]
//   modelbench --load ours|lib3ds|assimp FILE
//
// Each load runs in a fresh process of its own (the second form), timed from
// inside it, so that start-up and linking do not count. --ours times only this
// program's reader; the second form with perf profiles one load.
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_models.h"
#include "model/l3ds.h"
#include "model/chunk_writer.h"

namespace {

size_t LoadOurs(const std::string& path)
{
    L3DS model(path.c_str());
    size_t triangles = 0;
    for (size_t i = 0; i < model.MeshCount(); ++i)
        triangles += model.MeshAt(i).TriangleCount();
    return triangles;
}

size_t LoadLib3ds(const std::string& path)
{
    Lib3dsFile* file = lib3ds_file_load(path.c_str());
    if (!file)
        return 0;
    size_t triangles = 0;
    std::vector<float> normals;  // three corners of three floats per face
    for (Lib3dsMesh* mesh = file->meshes; mesh; mesh = mesh->next) {
        normals.resize(9 * static_cast<size_t>(mesh->faces));
        lib3ds_mesh_calculate_normals(mesh, reinterpret_cast<Lib3dsVector*>(normals.data()));
        triangles += mesh->faces;
    }
    lib3ds_file_free(file);
    return triangles;
}

size_t LoadAssimp(const std::string& path)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    if (!scene)
        return 0;
    size_t triangles = 0;
    for (unsigned i = 0; i < scene->mNumMeshes; ++i)
        triangles += scene->mMeshes[i]->mNumFaces;
    return triangles;
}

size_t Load(const std::string& kind, const std::string& path)
{
    if (kind == "ours")
        return LoadOurs(path);
    if (kind == "lib3ds")
        return LoadLib3ds(path);
    return LoadAssimp(path);
}

// One load in this fresh process: prints the milliseconds and the triangles.
int LoadOnce(const std::string& kind, const std::string& path)
{
    const auto start = std::chrono::steady_clock::now();
    const size_t triangles = Load(kind, path);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f %zu\n", ms, triangles);
    return triangles > 0 ? 0 : 1;
}

// The median over runs of a load, each in a process of its own, as a viewer's
// program meets the file: nothing of it cached in the heap yet.
double MedianMs(const std::string& self, const std::string& kind, const std::string& path, int runs,
                size_t& triangles)
{
    std::vector<double> samples;
    const std::string command = "'" + self + "' --load " + kind + " '" + path + "'";
    for (int i = 0; i < runs; ++i) {
        FILE* child = popen(command.c_str(), "r");
        double ms = 0;
        if (!child || std::fscanf(child, "%lf %zu", &ms, &triangles) != 2)
            triangles = 0;
        if (child)
            pclose(child);
        samples.push_back(ms);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = 15;
    std::string dir = "/tmp/modelbench";
    bool oursOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc)
            dir = argv[++i];
        else if (!std::strcmp(argv[i], "--ours"))
            oursOnly = true;
        else if (!std::strcmp(argv[i], "--load") && i + 2 < argc)
            return LoadOnce(argv[i + 1], argv[i + 2]);
        else {
            std::fprintf(stderr, "usage: modelbench [--runs N] [--dir DIR] [--ours]\n");
            return 1;
        }
    }
    if (std::system(("mkdir -p '" + dir + "'").c_str()) != 0)
        return 1;

    std::printf("| Model | Triangles | Ours (ms) | lib3ds (ms) | assimp (ms) |\n|---|---|---|---|---|\n");
    for (const BenchModel& model : BenchModels()) {
        const std::string path = dir + "/" + model.name + ".3ds";
        ChunkWriter writer;
        writer.Bytes() = model.bytes;
        if (!writer.Save(path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        size_t ours = 0, lib3ds = 0, assimp = 0;
        const double oursMs = MedianMs(argv[0], "ours", path, runs, ours);
        if (oursOnly) {
            std::printf("| %s (%s) | %zu | %.2f | | |\n", model.name.c_str(), model.description.c_str(), ours, oursMs);
            continue;
        }
        const double lib3dsMs = MedianMs(argv[0], "lib3ds", path, runs, lib3ds);
        const double assimpMs = MedianMs(argv[0], "assimp", path, runs, assimp);
        std::printf("| %s (%s) | %zu | %.2f | %.2f | %.2f |\n", model.name.c_str(), model.description.c_str(), ours,
                    oursMs, lib3dsMs, assimpMs);
        if (ours != lib3ds)
            std::fprintf(stderr, "%s: %zu triangles here, %zu in lib3ds\n", model.name.c_str(), ours, lib3ds);
    }
    return 0;
}
