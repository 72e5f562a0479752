// Helpers shared by the reader and layout tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "d88_builder.h"
#include "d88_image.h"

// Writes `bytes` to a real file and opens it with `image`, so the reader's
// stdio path is exercised; the open handle keeps the file readable after its
// name is gone.
inline void openBytes(d88::D88Image& image, const d88build::Bytes& bytes)
{
    const std::string path =
        ::testing::TempDir() + "d88unpack_test_" + std::to_string(::getpid()) + ".d88";
    d88build::writeFile(path, bytes);
    ASSERT_TRUE(image.open(path.c_str()));
    std::remove(path.c_str());
}

// The data of sectors (track, r) of `disk`, one after another.
inline d88build::Bytes sectorsOf(d88build::DiskBuilder& disk,
                                 const std::vector<std::pair<int, int>>& sectors)
{
    d88build::Bytes out;
    for (auto [track, r] : sectors) {
        const d88build::Bytes& s = disk.sector(track, r);
        out.insert(out.end(), s.begin(), s.end());
    }
    return out;
}
