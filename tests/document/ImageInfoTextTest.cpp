#include "document/ImageInfoText.h"
#include "image/BmpFile.h"
#include "image/CDib.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

DibBlock Blank(int width, int height, int bits)
{
    BitmapInfoHeader h;
    h.bitCount = static_cast<std::uint16_t>(bits);
    return *MakeDib(h, width, height, nullptr);
}

TEST(ImageInfoText, TwentyFourBitBitmapShowsSixteenMillionColours)
{
    TempDir dir;
    const DibBlock dib = Blank(120, 45, 24);
    const std::string path = dir.File("plot.bmp");
    ASSERT_TRUE(WriteBmpFile(path, dib.data(), dib.size()));
    CDib image;
    ASSERT_TRUE(image.LoadFile(path));
    const std::string folder =
        std::filesystem::path(path).parent_path().lexically_normal().string();
    EXPECT_EQ(ImageInfoText(path, image, true),
              "File Path: " + folder +
                  "\r\nFile Name: plot.bmp\r\nFile Format: BMP\r\nImage Width: 120\r\n"
                  "Image Height: 45\r\nNumber of Planes: 1\r\nBit Depth: 24\r\n"
                  "Number of Colors: 16 million\r\nImage Modified: Yes\r\n");
}

TEST(ImageInfoText, NoPathAndNoImageGiveEmptyNamesAndZeros)
{
    EXPECT_EQ(ImageInfoText("", CDib(), false),
              "File Path: \r\nFile Name: \r\nFile Format: Unknown\r\nImage Width: 0\r\n"
              "Image Height: 0\r\nNumber of Planes: 0\r\nBit Depth: 0\r\n"
              "Number of Colors: 0\r\nImage Modified: No\r\n");
    EXPECT_STREQ(ImageFormatName(7), "Unknown");
    EXPECT_STREQ(ImageFormatName(-1), "Unknown");
}

TEST(ImageInfoText, RelativePathsAreMadeFull)
{
    const DibBlock dib = Blank(3, 3, 8);
    const CDib image(dib.data(), dib.size());
    const std::string text = ImageInfoText("sub/../pic.bmp", image, false);
    const std::string cwd = std::filesystem::current_path().lexically_normal().string();
    EXPECT_NE(text.find("File Path: " + cwd + "\r\nFile Name: pic.bmp\r\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Number of Colors: 256\r\n"), std::string::npos);
    EXPECT_NE(text.find("File Format: Unknown\r\n"), std::string::npos);
    const DibBlock deep = Blank(2, 2, 32);
    EXPECT_NE(ImageInfoText("", CDib(deep.data(), deep.size()), false)
                  .find("Bit Depth: 32\r\nNumber of Colors: 0\r\n"),
              std::string::npos);
}

} // namespace
