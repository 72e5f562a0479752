// Writes the benchmark inputs into OUTDIR, each with the tree d88unpack
// should make from it (bench_inputs.h says what they hold):
//   full.d88     full.expected/
//   hostile.d88  hostile.expected/
//   scattered.d88  scattered.expected/
//   coll/DISK0000.d88 ...  coll.expected/DISK0000/000/...
// (a collection's damaged files and those that are not D88 files have no
// expected tree).
//   make_bench_inputs OUTDIR
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "bench_inputs.h"

namespace fs = std::filesystem;
using namespace benchinputs;

namespace {

void writeInput(const fs::path& out, const std::string& name, const Input& input)
{
    d88build::writeFile((out / (name + ".d88")).string(), input.file);
    const fs::path root = out / (name + ".expected");
    fs::remove_all(root);
    long long files = 0;
    long long bytes = 0;
    for (std::size_t i = 0; i < input.images.size(); ++i) {
        char subdirectory[24];
        std::snprintf(subdirectory, sizeof subdirectory, "%03zu", i);
        fs::create_directories(root / subdirectory);
        for (const auto& [file, data] : input.images[i]) {
            d88build::writeFile((root / subdirectory / file).string(), data);
            ++files;
            bytes += static_cast<long long>(data.size());
        }
    }
    std::printf("%s.d88: %zu bytes, %zu images, %lld files, %lld bytes of files\n", name.c_str(),
                input.file.size(), input.images.size(), files, bytes);
}

// The collection: 1,000 files, 10 of them not D88 files.
constexpr int kCollectionFiles = 1000;
constexpr int kNotD88Files = 10;

void writeCollection(const fs::path& out)
{
    const fs::path files = out / "coll";
    const fs::path expected = out / "coll.expected";
    fs::remove_all(files);
    fs::remove_all(expected);
    fs::create_directories(files);
    long long bytes = 0;
    long long images = 0;
    int damaged = 0;
    for (int i = 0; i < kCollectionFiles; ++i) {
        const CollectionFile file = collectionFile(i, kCollectionFiles, kNotD88Files);
        d88build::writeFile((files / file.name).string(), file.bytes);
        bytes += static_cast<long long>(file.bytes.size());
        images += static_cast<long long>(file.images.size());
        damaged += file.damaged;
        if (!file.d88 || file.damaged) {
            continue;
        }
        const fs::path folder = expected / file.name.substr(0, file.name.rfind('.'));
        for (std::size_t image = 0; image < file.images.size(); ++image) {
            char subdirectory[24];
            std::snprintf(subdirectory, sizeof subdirectory, "%03zu", image);
            fs::create_directories(folder / subdirectory);
            for (const auto& [name, data] : file.images[image]) {
                d88build::writeFile((folder / subdirectory / name).string(), data);
            }
        }
    }
    std::printf("coll/: %d files, %lld bytes, %lld images, %d damaged, %d not D88 files\n",
                kCollectionFiles, bytes, images, damaged, kNotD88Files);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 1;
    }
    try {
        const fs::path out = argv[1];
        fs::create_directories(out);
        writeInput(out, "full", fullArchive());
        writeInput(out, "hostile", hostileInput());
        writeInput(out, "scattered", scatteredInput());
        std::printf("hostile.d88: each image %lld empty records before the wanted sectors, "
                    "%d entries on one %d-cluster chain\n",
                    hostileFiller(kHostileBytes / kHostileImages), kHostileEntries,
                    kHostileChainClusters);
        writeCollection(out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
