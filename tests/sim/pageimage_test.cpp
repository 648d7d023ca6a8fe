// The page image and its PNG form, read back with libpng.
#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <filesystem>

#include "sim/pageimage.h"

namespace {

struct Png {
    int width = 0, height = 0;
    std::vector<uint8_t> grey;  // one byte per pixel
};

Png ReadPng(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Png out;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return out;
    image.format = PNG_FORMAT_GRAY;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.grey.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.grey.data(), 0, nullptr))
        out = Png{};
    return out;
}

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "_" + name)).string();
}

}  // namespace

TEST(PageImage, GrowsWithTheDotsAndIgnoresDotsOffThePage)
{
    CPageImage page;
    page.Reset(10);
    EXPECT_TRUE(page.Set(9, 4));
    EXPECT_FALSE(page.Set(10, 0));
    EXPECT_FALSE(page.Set(-1, 0));
    EXPECT_EQ(page.Height(), 5);
    EXPECT_TRUE(page.Get(9, 4));
    EXPECT_FALSE(page.Get(8, 4));
    page.EnsureHeight(3);
    EXPECT_EQ(page.Height(), 5);
    EXPECT_EQ(page.DotCount(), 1);

    CPageImage capped;
    capped.Reset(16, true, 4);  // two rows of storage
    EXPECT_TRUE(capped.Set(0, 1));
    EXPECT_FALSE(capped.Set(0, 2));
    EXPECT_EQ(capped.LostDots(), 1);
    EXPECT_EQ(capped.Height(), 3);
}

TEST(PageImage, WritesBlackDotsOnWhiteAsOneBitPng)
{
    CPageImage page;
    page.Reset(11);
    const std::pair<int, int> dots[] = {{0, 0}, {7, 0}, {8, 1}, {10, 2}};
    for (auto [x, y] : dots)
        page.Set(x, y);
    const std::string path = TempPath("tessaline_page_test.png");
    std::string error;
    ASSERT_TRUE(page.WritePng(path, &error)) << error;
    Png png = ReadPng(path);
    ASSERT_EQ(png.width, 11);
    ASSERT_EQ(png.height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 11; ++x)
            EXPECT_EQ(png.grey[static_cast<size_t>(y * 11 + x)], page.Get(x, y) ? 0 : 255) << x << "," << y;
    std::filesystem::remove(path);
}

TEST(PageImage, EmptyPageIsOneWhiteRowAndBadPathsFail)
{
    CPageImage page;
    page.Reset(0);
    const std::string path = TempPath("tessaline_empty_page.png");
    ASSERT_TRUE(page.WritePng(path));
    Png png = ReadPng(path);
    EXPECT_EQ(png.width, 1);
    EXPECT_EQ(png.height, 1);
    EXPECT_EQ(png.grey.at(0), 255);
    std::filesystem::remove(path);

    std::string error;
    EXPECT_FALSE(page.WritePng("/nonexistent-dir/x.png", &error));
    EXPECT_NE(error.find("/nonexistent-dir/x.png"), std::string::npos);
}
