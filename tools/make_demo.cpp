// Writes the demo D88 file shipped in examples/: two disk images with a few
// files each, one of them spread over clusters on both heads and tracks.
//   make_demo examples/demo.d88
#include <cstdio>
#include <exception>
#include <string>

#include "d88_builder.h"

using namespace d88build;

namespace {

Bytes text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

Bytes firstDisk()
{
    DiskBuilder disk("DEMO DISK 1");
    disk.addFile(0, "README   ", {4},
                 withHeader(0x0000, 0x0000,
                            text("This disk was made by make_demo for d88unpack.\r\n"
                                 "GAME is spread over three clusters on two tracks.\r\n")),
                 {0x24, 0x03, 0x15, 0x09, 0x30});
    disk.addFile(1, "GAME     ", {10, 11, 40}, withHeader(0x6000, 0x6000, pattern(5000, 7)),
                 {0x24, 0x03, 0x16, 0x18, 0x05});
    // Entry 2 was deleted: its first byte is 0 and it is skipped.
    disk.setEntry(2, std::string("\0LD     ", 9), 20, {0x23, 0x12, 0x31, 0x23, 0x59});
    disk.addFile(3, "PICTURE", {12, 13, 14, 15, 16}, withHeader(0xC000, 0x0000, pattern(9000, 9)),
                 {0x23, 0x11, 0x02, 0x07, 0x45});
    disk.addFile(4, "DATA.BIN", {41}, withHeader(0x8000, 0x8000, pattern(300, 11)),
                 {0x99, 0x01, 0x01, 0x00, 0x00});
    return disk.image().build();
}

Bytes secondDisk()
{
    DiskBuilder disk("DEMO DISK 2");
    disk.addFile(0, "MUSIC    ", {6, 7}, withHeader(0x9000, 0x9000, pattern(3000, 13)),
                 {0x24, 0x04, 0x01, 0x12, 0x00});
    disk.addFile(1, "SCORES", {8},
                 withHeader(0x0000, 0x0000, text("AAA 9900\r\nBBB 5000\r\nCCC 1200\r\n")),
                 {0x24, 0x04, 0x02, 0x20, 0x15});
    return disk.image().build();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.d88\n", argv[0]);
        return 1;
    }
    try {
        writeFile(argv[1], concat({firstDisk(), secondDisk()}));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
