// The scene's two textures: the star sprite and the white overlay image.
#include "render/textures.h"

#include <cstdlib>

#include "render/bmp.h"

GLuint texture[2] = {0, 0};

namespace {

void upload(GLuint *name, const TextureImage &image)
{
    glGenTextures(1, name);
    glBindTexture(GL_TEXTURE_2D, *name);
    // Rows are packed without padding; GL must not assume four-byte rows.
    bool packed_rows = (image.width * 3) % 4 != 0;
    if (packed_rows)
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image.data);
    if (packed_rows)
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

}  // namespace

void deleteTextures()
{
    glDeleteTextures(2, texture);
    texture[0] = texture[1] = 0;
}

int LoadGLTextures()
{
    const char *files[2] = {"Data/Star.bmp", "Data/white.bmp"};
    int status = 0;
    TextureImage image = {0, 0, nullptr};
    for (int i = 0; i < 2; i++) {
        if (LoadBMP(files[i], &image)) {
            status = 1;
            upload(&texture[i], image);
        }
        // GL holds its own copy now.
        free(image.data);
        image.data = nullptr;
    }
    return status;
}
