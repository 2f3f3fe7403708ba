// Reading 24-bit uncompressed BMP files.
#ifndef STARMILL_RENDER_BMP_H
#define STARMILL_RENDER_BMP_H

struct TextureImage {
    int width;
    int height;
    unsigned char *data;  // width * height * 3 bytes, red-green-blue, bottom row first
};

// Reads the file at `path` into `image`; returns 1 on success, 0 on any
// failure, with one line on standard output saying why. The pixel buffer
// stored in image->data belongs to the caller, also after a failed read.
int LoadBMP(const char *path, TextureImage *image);

#endif
