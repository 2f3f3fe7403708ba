// libFuzzer target: any byte string, handed to the BMP reader as a file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/bmp.h"

namespace {
// The input lives in an anonymous in-memory file, reached by path through
// /proc: nothing is left behind when the fuzzer ends.
int input_fd = -1;
std::string path;
volatile unsigned sink;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    input_fd = memfd_create("starmill-bmp-fuzz", 0);
    if (input_fd < 0)
        abort();
    path = "/proc/self/fd/" + std::to_string(input_fd);
    // The reader talks on standard output; the fuzzer's own report goes to stderr.
    if (!freopen("/dev/null", "w", stdout))
        abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (ftruncate(input_fd, 0) != 0 || pwrite(input_fd, data, size, 0) != static_cast<ssize_t>(size))
        abort();
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
