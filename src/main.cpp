// d88unpack: copies every file of every disk image in a D88 file to the host.
#include "extract/extract_command.h"
#include "image/d88_image.h"

// The one reader. Being static, its destruction at exit closes the D88 file
// on every way out.
static d88::D88Image image;

int main(int argc, char** argv)
{
    return d88::runExtraction(image, argc, argv);
}
