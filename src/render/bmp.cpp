// The BMP reader. Every header field is checked before anything is
// allocated, and nothing is read beyond what the file holds.
#include "render/bmp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Reads one little-endian header field; a file that ends before it is
// reported.
int read_field(FILE *file, int bytes, int32_t *value)
{
    unsigned char b[4];
    if (fread(b, 1, bytes, file) != static_cast<size_t>(bytes)) {
        printf("Error reading file!\n");
        return 0;
    }
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--)
        v = (v << 8) | b[i];
    // Sign-extend 16-bit fields.
    *value = bytes == 2 ? static_cast<int16_t>(v) : static_cast<int32_t>(v);
    return 1;
}

// Sizes and offsets are worked out in 64 bits whatever the width of long:
// from 32-bit header fields they cannot overflow there.

// The file's length in bytes, or -1 when it cannot be told.
int64_t file_length(FILE *file)
{
    long here = ftell(file);
    if (here < 0 || fseek(file, 0, SEEK_END) != 0)
        return -1;
    long length = ftell(file);
    if (fseek(file, here, SEEK_SET) != 0)
        return -1;
    return length;
}

// Rows are stored padded to a multiple of four bytes; the image keeps
// exactly three bytes per pixel.
int64_t row_stride(int64_t width) { return (width * 3 + 3) & ~int64_t{3}; }

// Whether the file holds every row the header promises (the last row's
// padding may be missing). Every offset read from is then within the
// file's length, which fits in a long.
int pixels_fit(FILE *file, int64_t offset, int64_t width, int64_t height)
{
    int64_t needed = offset + row_stride(width) * (height - 1) + width * 3;
    int64_t length = file_length(file);
    return offset >= 0 && length >= 0 && needed <= length;
}

int read_pixels(FILE *file, int64_t offset, const TextureImage *image)
{
    int64_t row_bytes = image->width * int64_t{3};
    int64_t stride = row_stride(image->width);
    for (int row = 0; row < image->height; row++) {
        if (fseek(file, static_cast<long>(offset + stride * row), SEEK_SET) != 0)
            return 0;
        if (fread(image->data + row_bytes * row, 1, row_bytes, file) != static_cast<size_t>(row_bytes))
            return 0;
    }
    return 1;
}

int load(FILE *file, TextureImage *image)
{
    int32_t signature, file_size, reserved, offset, info_size, width, height, planes, bpp;
    if (!read_field(file, 2, &signature))
        return 0;
    if (static_cast<uint16_t>(signature) != 0x4D42) {
        printf("Not a Bitmap-File!\n");
        return 0;
    }
    // The stored file size is not trusted: the pixels are checked against
    // the real length below. The reserved field has no meaning.
    if (!read_field(file, 4, &file_size) || !read_field(file, 4, &reserved))
        return 0;
    if (!read_field(file, 4, &offset))
        return 0;
    printf("Data at Offset: %ld\n", static_cast<long>(offset));
    // Every info header version begins with width, height, planes and bits
    // per pixel, so its size does not matter here.
    if (!read_field(file, 4, &info_size))
        return 0;
    if (!read_field(file, 4, &width))
        return 0;
    image->width = width;
    printf("Width of Bitmap: %d\n", image->width);
    if (!read_field(file, 4, &height))
        return 0;
    image->height = height;
    printf("Height of Bitmap: %d\n", image->height);
    if (!read_field(file, 2, &planes))
        return 0;
    if (planes != 1) {
        printf("Error: number of Planes not 1!\n");
        return 0;
    }
    if (!read_field(file, 2, &bpp))
        return 0;
    printf("Bits per Pixel: %d\n", bpp);
    if (bpp != 24) {
        printf("Bits per Pixel not 24\n");
        return 0;
    }
    if (width < 0 || height < 0) {
        printf("Error: negative bitmap sizes (top-down bitmaps) not supported!\n");
        return 0;
    }
    // Both are at most 2^31 - 1, so their product fits in 64 bits.
    int64_t pixels = int64_t(width) * height;
    if (pixels > INT32_MAX / 3) {
        printf("Error: bitmap too large!\n");
        return 0;
    }
    int64_t size = pixels * 3;
    printf("Size of the image data: %ld\n", static_cast<long>(size));
    // Nothing is allocated for pixels that the file does not hold.
    if (size == 0 || !pixels_fit(file, offset, width, height)) {
        printf("Error loading file!\n");
        return 0;
    }
    image->data = static_cast<unsigned char *>(malloc(size));
    if (!image->data) {
        printf("Error: out of memory for the bitmap data!\n");
        return 0;
    }
    if (!read_pixels(file, offset, image)) {
        printf("Error loading file!\n");
        return 0;
    }
    for (int64_t i = 0; i < size; i += 3) {
        unsigned char blue = image->data[i];
        image->data[i] = image->data[i + 2];
        image->data[i + 2] = blue;
    }
    return 1;
}

// Opened without blocking: a FIFO or a device in place of an image would
// otherwise hang the program. Only a regular file is read.
FILE *open_regular_file(const char *path)
{
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        printf("File not found : %s\n", path);
        return nullptr;
    }
    struct stat status;
    FILE *file = nullptr;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        file = fdopen(fd, "rb");
    if (!file) {
        printf("Not a regular file : %s\n", path);
        close(fd);
    }
    return file;
}

}  // namespace

int LoadBMP(const char *path, TextureImage *image)
{
    FILE *file = open_regular_file(path);
    if (!file)
        return 0;
    int ok = load(file, image);
    fclose(file);
    return ok;
}
