// The PNG check in front of the decoder: whole files pass, every cut-short one and every other
// kind of file is refused before the decoder sees it.
#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "support/headless.h"
#include "support/play.h"
#include "support/png_writer.h"

namespace {

std::vector<Uint8> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

void putBigEndian(std::vector<Uint8>& data, size_t at, Uint32 value) {
    for (int i = 0; i < 4; ++i) {
        data[at + i] = static_cast<Uint8>(value >> (24 - 8 * i));
    }
}

class PngFile : public ::testing::Test {
  protected:
    void SetUp() override {
        enterScratchFolder(false);
        SDL_Surface* picture = makeRgbaSurface(7, 5, 10, 20, 30, 200);
        ASSERT_TRUE(savePng(picture, "small.png"));
        SDL_FreeSurface(picture);
        png = bytesOf(readWhole("small.png"));
    }
    std::vector<Uint8> png;
};

} // namespace

TEST_F(PngFile, AWholeFileDecodesAndEveryCutOfItIsRefused) {
    ASSERT_TRUE(isCompletePng(png.data(), png.size()));
    SDL_Surface* image = decodePngImage(png.data(), png.size());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->w, 7);
    EXPECT_EQ(image->h, 5);
    SDL_FreeSurface(image);
    for (size_t size = 0; size < png.size(); ++size) {
        ASSERT_FALSE(isCompletePng(png.data(), size)) << size;
        ASSERT_EQ(decodePngImage(png.data(), size), nullptr) << size;
    }
    EXPECT_FALSE(isCompletePng(nullptr, 0));
}

TEST_F(PngFile, ChunkLengthsPastTheEndAndOddHeadersAreRefused) {
    // IHDR sits at byte 8: length, "IHDR", width, height, ...
    std::vector<Uint8> data = png;
    putBigEndian(data, 8, 0x7FFFFFF0); // the header claims more than the file holds
    EXPECT_FALSE(isCompletePng(data.data(), data.size()));
    data = png;
    putBigEndian(data, 16, 0); // no width
    EXPECT_FALSE(isCompletePng(data.data(), data.size()));
    data = png;
    putBigEndian(data, 16, 4097); // 4097 x 4096 is one column past the limit
    putBigEndian(data, 20, 4096);
    EXPECT_FALSE(isCompletePng(data.data(), data.size()));
    putBigEndian(data, 16, 4096);
    EXPECT_TRUE(isCompletePng(data.data(), data.size()));
    putBigEndian(data, 16, 0xFFFFFFFF); // overflow of width x height must not slip through
    putBigEndian(data, 20, 0xFFFFFFFF);
    EXPECT_FALSE(isCompletePng(data.data(), data.size()));
    data = png;
    data[12] = 'X'; // the first chunk is not IHDR
    EXPECT_FALSE(isCompletePng(data.data(), data.size()));
    // The last chunk must be IEND: with it renamed the file ends without one.
    data = png;
    data[data.size() - 8] = 'X';
    EXPECT_FALSE(isCompletePng(data.data(), data.size()));
}

TEST_F(PngFile, OtherKindsOfFileAndTheOnesThatHungTheDecoderAreRefused) {
    const std::string regressions = std::string(GLIMM_SOURCE_DIR) + "/fuzz/regressions/fuzz_image/";
    for (const char* name : {"gif-decoder-loops-forever.png", "cut-short-text-chunk-spins.png"}) {
        EXPECT_EQ(readPngImage((regressions + name).c_str()), nullptr) << name;
    }
    SDL_Surface* picture = makeRgbaSurface(3, 3, 1, 2, 3, 255);
    ASSERT_EQ(SDL_SaveBMP(picture, "bitmap.png"), 0);
    SDL_FreeSurface(picture);
    EXPECT_EQ(readPngImage("bitmap.png"), nullptr);
    EXPECT_EQ(readPngImage("no such file.png"), nullptr);
    std::filesystem::create_directory("folder.png");
    EXPECT_EQ(readPngImage("folder.png"), nullptr);
}

TEST_F(PngFile, FilesPastTheSizeLimitAreNotReadWhole) {
    SDL_Surface* image = readPngImage("small.png");
    ASSERT_NE(image, nullptr);
    SDL_FreeSurface(image);
    // A whole PNG followed by padding up to just past the limit is refused unread.
    std::filesystem::resize_file("small.png", PngFileMaxBytes + 1);
    EXPECT_EQ(readPngImage("small.png"), nullptr);
    std::filesystem::resize_file("small.png", PngFileMaxBytes);
    image = readPngImage("small.png"); // trailing bytes after IEND do not matter
    ASSERT_NE(image, nullptr);
    SDL_FreeSurface(image);
}
