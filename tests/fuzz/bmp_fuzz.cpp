// libFuzzer target: any byte string, handed to the BMP reader as a file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/bmp.h"

namespace {
std::string path;
volatile unsigned sink;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    path = "/tmp/starmill-bmp-fuzz-" + std::to_string(getpid()) + ".bmp";
    // The reader talks on standard output; the fuzzer's own report goes to stderr.
    if (!freopen("/dev/null", "w", stdout))
        abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        abort();
    fwrite(data, 1, size, file);
    fclose(file);
    TextureImage image = {0, 0, nullptr};
    if (LoadBMP(path.c_str(), &image)) {
        // Touch every byte the reader claims to have filled.
        unsigned sum = 0;
        for (long i = 0; i < long(image.width) * image.height * 3; i++)
            sum += image.data[i];
        sink = sum;
    }
    free(image.data);
    return 0;
}
