// The BMP reader against files written byte by byte, and the two textures
// made from the Data directory.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gl_recorder.h"
#include "render/bmp.h"
#include "render/textures.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

void put(Bytes &b, size_t at, int64_t value, int size)
{
    if (b.size() < at + size)
        b.resize(at + size);
    for (int i = 0; i < size; i++)
        b[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// A bottom-up 24-bit file whose pixel (x, y) is blue x, green y, red 200,
// with rows padded to four bytes.
Bytes bitmap(int width, int height, int bits = 24)
{
    Bytes b;
    int stride = (width * 3 + 3) & ~3;
    put(b, 0, 0x4D42, 2);
    put(b, 2, 54 + stride * height, 4);
    put(b, 10, 54, 4);
    put(b, 14, 40, 4);
    put(b, 18, width, 4);
    put(b, 22, height, 4);
    put(b, 26, 1, 2);
    put(b, 28, bits, 2);
    b.resize(54);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++)
            b.insert(b.end(), {static_cast<unsigned char>(x), static_cast<unsigned char>(y), 200});
        b.resize(b.size() + stride - width * 3, 0xEE);
    }
    return b;
}

class BmpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("starmill-bmp-" + std::to_string(getpid()));
        fs::create_directories(dir / "Data");
        old_cwd = fs::current_path();
        fs::current_path(dir);
        gl_recorder::reset();
    }
    void TearDown() override
    {
        free(image.data);
        fs::current_path(old_cwd);
        fs::remove_all(dir);
    }
    void write(const std::string &name, const Bytes &bytes)
    {
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    }
    // Loads `bytes` and returns what the reader printed.
    std::string load(const Bytes &bytes, int expect)
    {
        write("image.bmp", bytes);
        testing::internal::CaptureStdout();
        int ok = LoadBMP("image.bmp", &image);
        fflush(stdout);
        EXPECT_EQ(ok, expect);
        return testing::internal::GetCapturedStdout();
    }

    fs::path dir, old_cwd;
    TextureImage image = {-7, -7, nullptr};
};

}  // namespace

TEST_F(BmpTest, ValidFilePrintsItsHeaderAndSwapsBlueAndRedKeepingRowOrder)
{
    EXPECT_EQ(load(bitmap(4, 2), 1),
              "Data at Offset: 54\nWidth of Bitmap: 4\nHeight of Bitmap: 2\n"
              "Bits per Pixel: 24\nSize of the image data: 24\n");
    ASSERT_NE(image.data, nullptr);
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.height, 2);
    // First file row (bottom of the picture) first; red-green-blue.
    EXPECT_EQ(Bytes(image.data, image.data + 6), (Bytes{200, 0, 0, 200, 0, 1}));
    EXPECT_EQ(Bytes(image.data + 12, image.data + 15), (Bytes{200, 1, 0}));
}

TEST_F(BmpTest, PaddedRowsLoseTheirPadding)
{
    load(bitmap(3, 2), 1);
    // 3 pixels make 9 bytes a row in the file, padded to 12; the image
    // holds 18 bytes and no padding byte (0xEE).
    Bytes expected = {200, 0, 0, 200, 0, 1, 200, 0, 2, 200, 1, 0, 200, 1, 1, 200, 1, 2};
    EXPECT_EQ(Bytes(image.data, image.data + 18), expected);

    // Many writers leave the last row unpadded; its pixels are all there.
    Bytes unpadded = bitmap(3, 2);
    unpadded.resize(unpadded.size() - 3);
    free(image.data);
    load(unpadded, 1);
    ASSERT_NE(image.data, nullptr);
    EXPECT_EQ(Bytes(image.data, image.data + 18), expected);
}

TEST_F(BmpTest, HeaderThatIsNotA24BitBitmapIsRefused)
{
    EXPECT_NE(load(bitmap(2, 2, 32), 0).find("Bits per Pixel: 32\nBits per Pixel not 24\n"), std::string::npos);
    EXPECT_NE(load(bitmap(2, 2, 8), 0).find("Bits per Pixel: 8\nBits per Pixel not 24\n"), std::string::npos);
    // 16-bit fields are signed, as the format defines them.
    EXPECT_NE(load(bitmap(2, 2, 0xFFFF), 0).find("Bits per Pixel: -1\nBits per Pixel not 24\n"), std::string::npos);

    Bytes swapped = bitmap(2, 2);
    std::swap(swapped[0], swapped[1]);
    EXPECT_EQ(load(swapped, 0), "Not a Bitmap-File!\n");

    Bytes planes = bitmap(2, 2);
    put(planes, 26, 2, 2);
    EXPECT_NE(load(planes, 0).find("Error: number of Planes not 1!\n"), std::string::npos);
    EXPECT_EQ(image.data, nullptr);
}

TEST_F(BmpTest, FileCutShortAnywhereFailsWithoutActingOnUnreadFields)
{
    Bytes full = bitmap(4, 4);
    struct Cut {
        size_t length;
        const char *last_line;
    } cuts[] = {{1, "Error reading file!\n"},   {12, "Error reading file!\n"},
                {20, "Error reading file!\n"},  {24, "Error reading file!\n"},
                {27, "Error reading file!\n"},  {29, "Error reading file!\n"},
                {54 + 20, "Error loading file!\n"}};
    for (const Cut &c : cuts) {
        std::string out = load(Bytes(full.begin(), full.begin() + c.length), 0);
        EXPECT_EQ(out.substr(out.size() - std::string(c.last_line).size()), c.last_line) << c.length;
        // An unread width or height is never printed.
        EXPECT_EQ(out.find("-7"), std::string::npos) << c.length;
    }
    EXPECT_EQ(load(Bytes(), 0), "Error reading file!\n");
}

TEST_F(BmpTest, SizesThatDoNotDescribeAnImageInTheFileAreRefusedBeforeAllocating)
{
    Bytes zero = bitmap(0, 5);
    EXPECT_NE(load(zero, 0).find("Size of the image data: 0\nError loading file!\n"), std::string::npos);

    for (auto [w, h] : {std::pair{-4, 4}, std::pair{4, -4}, std::pair{INT32_MIN, 1}}) {
        Bytes negative = bitmap(4, 4);
        put(negative, 18, w, 4);
        put(negative, 22, h, 4);
        EXPECT_NE(load(negative, 0).find("not supported"), std::string::npos);
    }

    Bytes huge = bitmap(1, 1);
    put(huge, 18, 0x7fffffff, 4);
    put(huge, 22, 0x7fffffff, 4);
    std::string out = load(huge, 0);
    EXPECT_NE(out.find("Error: bitmap too large!\n"), std::string::npos) << out;

    // The limit is a third of the largest int: one row more than fits is
    // refused, the size just below it is read on.
    put(huge, 18, 32768, 4);
    put(huge, 22, 21846, 4);
    out = load(huge, 0);
    EXPECT_NE(out.find("Height of Bitmap: 21846\nBits per Pixel: 24\nError: bitmap too large!\n"), std::string::npos) << out;
    put(huge, 22, 21845, 4);
    out = load(huge, 0);
    EXPECT_NE(out.find("Size of the image data: 2147450880\nError loading file!\n"), std::string::npos) << out;

    // About 1.5 GB promised by a 60-byte file.
    Bytes greedy = bitmap(1, 1);
    put(greedy, 18, 23000, 4);
    put(greedy, 22, 23000, 4);
    EXPECT_NE(load(greedy, 0).find("Error loading file!\n"), std::string::npos);
    EXPECT_EQ(image.data, nullptr);

    Bytes far = bitmap(2, 2);
    put(far, 10, 1 << 20, 4);
    EXPECT_NE(load(far, 0).find("Data at Offset: 1048576\n"), std::string::npos);
    EXPECT_EQ(image.data, nullptr);

    // A row, a size or an offset that overflows 32-bit arithmetic, in a
    // file of a few bytes: {width, height, offset, file length}.
    for (auto [w, h, offset, length] : {std::array{715827882, 1, 54, 54}, std::array{1, 715827882, 54, 57},
                                        std::array{1, 1, INT32_MAX, 58}}) {
        Bytes b = bitmap(1, 1);
        b.resize(length);
        put(b, 10, offset, 4);
        put(b, 18, w, 4);
        put(b, 22, h, 4);
        EXPECT_NE(load(b, 0).find("Error loading file!\n"), std::string::npos) << w << "x" << h;
        EXPECT_EQ(image.data, nullptr);
    }
}

TEST_F(BmpTest, MissingFileIsReportedAndWhatIsNotARegularFileIsRefusedWithoutBlocking)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(LoadBMP("nowhere.bmp", &image), 0);
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File not found : nowhere.bmp\n");

    // A FIFO with no writer would block a plain open for ever.
    ASSERT_EQ(mkfifo((dir / "fifo.bmp").c_str(), 0600), 0);
    for (const char *path : {"fifo.bmp", "Data", "/dev/zero"}) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(LoadBMP(path, &image), 0);
        fflush(stdout);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("Not a regular file : ") + path + "\n");
    }
}

TEST_F(BmpTest, TexturesAreMadeFromWhicheverImagesLoad)
{
    texture[0] = texture[1] = 0;
    write("Data/white.bmp", bitmap(4, 4));
    testing::internal::CaptureStdout();
    EXPECT_EQ(LoadGLTextures(), 1);
    fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("File not found : Data/Star.bmp\n", 0), 0u);
    EXPECT_EQ(texture[0], 0u);  // never made
    EXPECT_NE(texture[1], 0u);
    std::vector<GlCall> expected = {
        {"glGenTextures", {1}, ""},
        {"glBindTexture", {GL_TEXTURE_2D, double(texture[1])}, ""},
        {"glTexImage2D", {GL_TEXTURE_2D, 0, 3, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE}, ""},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}, ""},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}, ""}};
    auto calls = gl_recorder::calls();
    ASSERT_EQ(calls.size(), expected.size());
    calls[2].text.clear();
    EXPECT_EQ(calls, expected);

    // A padded width is uploaded with byte alignment, then GL's default again.
    write("Data/Star.bmp", bitmap(3, 2));
    gl_recorder::reset();
    testing::internal::CaptureStdout();
    EXPECT_EQ(LoadGLTextures(), 1);
    testing::internal::GetCapturedStdout();
    auto stores = gl_recorder::calls_named("glPixelStorei");
    ASSERT_EQ(stores.size(), 2u);
    EXPECT_EQ(stores[0].args, (std::vector<double>{GL_UNPACK_ALIGNMENT, 1}));
    EXPECT_EQ(stores[1].args, (std::vector<double>{GL_UNPACK_ALIGNMENT, 4}));
    EXPECT_EQ(gl_recorder::calls_named("glTexImage2D").at(0).text.size(), 18u);

    // Only the star image: its pixels are freed once, and the missing one
    // does not touch them again.
    fs::remove(dir / "Data/white.bmp");
    gl_recorder::reset();
    testing::internal::CaptureStdout();
    EXPECT_EQ(LoadGLTextures(), 1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("File not found : Data/white.bmp\n"), std::string::npos);
    EXPECT_EQ(gl_recorder::count("glTexImage2D"), 1);

    fs::remove(dir / "Data/Star.bmp");
    testing::internal::CaptureStdout();
    EXPECT_EQ(LoadGLTextures(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "File not found : Data/Star.bmp\nFile not found : Data/white.bmp\n");
}

TEST(ProjectImages, ArePowerOfTwoSquaresTheReaderAccepts)
{
    const std::string root = STARMILL_SOURCE_DIR;
    for (const char *name : {"Data/Star.bmp", "Data/white.bmp"}) {
        TextureImage image = {0, 0, nullptr};
        testing::internal::CaptureStdout();
        EXPECT_EQ(LoadBMP((root + "/" + name).c_str(), &image), 1) << name;
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(image.width % 4, 0);
        EXPECT_EQ(image.width & (image.width - 1), 0) << "power of two";
        EXPECT_EQ(image.width, image.height);
        free(image.data);
    }
}
