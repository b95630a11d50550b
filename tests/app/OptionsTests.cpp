#include "app/Options.h"

#include <gtest/gtest.h>

#include "tests/support/TestFiles.h"

using frostline::readProfileInt;
using frostline::readWindowOptions;
using frostline::test::TempDir;

TEST(Options, MissingFileGivesDefaults)
{
    // No options file at all: the window is 1024 x 768.
    const auto options = readWindowOptions("/nonexistent/options.ini");
    EXPECT_EQ(options.width, 1024);
    EXPECT_EQ(options.height, 768);
}

TEST(Options, WidthOnlyKeepsDefaultHeight)
{
    TempDir dir;
    const auto path = dir.write("options.ini", "[Window]\nwidth=1280\n");
    const auto options = readWindowOptions(path);
    EXPECT_EQ(options.width, 1280);
    EXPECT_EQ(options.height, 768);
}

TEST(Options, ValuesParseLikeThePrivateProfileReader)
{
    TempDir dir;
    // Case-insensitive names, blanks around the value, CRLF line ends, other sections ignored.
    const auto path = dir.write("options.ini",
                                "; comment\r\n[Other]\r\nwidth=1\r\n[ window ]\r\n  WIDTH =  800 \r\n"
                                "Height=600px\r\n[Later]\r\nheight=2\r\n");
    EXPECT_EQ(readProfileInt(path, "Window", "width", 7), 800);
    EXPECT_EQ(readProfileInt(path, "Window", "height", 7), 600);
    EXPECT_EQ(readProfileInt(path, "Window", "depth", 7), 7);
    EXPECT_EQ(readProfileInt(path, "Missing", "width", 7), 7);

    const auto signs = dir.write("signs.ini", "[Window]\nwidth=-20\nheight=+30\n");
    EXPECT_EQ(readProfileInt(signs, "Window", "width", 7), -20);
    EXPECT_EQ(readProfileInt(signs, "Window", "height", 7), 30);

    const auto garbage = dir.write("garbage.ini", "[Window]\nwidth=abc\nheight=99999999999999999999\n");
    EXPECT_EQ(readProfileInt(garbage, "Window", "width", 7), 0);
    EXPECT_EQ(readProfileInt(garbage, "Window", "height", 7), 2147483647);
}

TEST(Options, OutOfRangeSizesFallBackToDefaults)
{
    TempDir dir;
    for (const char* text : {"[Window]\nwidth=0\nheight=-5\n", "[Window]\nwidth=garbage\nheight=20000\n"}) {
        const auto path = dir.write("options.ini", text);
        testing::internal::CaptureStdout();
        const auto options = readWindowOptions(path);
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(options.width, 1024) << text;
        EXPECT_EQ(options.height, 768) << text;
        EXPECT_NE(output.find("width"), std::string::npos) << output;
        EXPECT_NE(output.find("height"), std::string::npos) << output;
    }
}

TEST(Options, RenderScaleIsAPercentOrAdapts)
{
    // 50 to 100 fixes the render scale; 0 or no key adapts it quietly; anything else
    // adapts it too, and the console says why.
    TempDir dir;
    const struct {
        const char* file;
        int percent;
        bool told;
    } cases[] = {
        {"[Window]\nwidth=800\n", 0, false},
        {"[Graphics]\nrenderScale=0\n", 0, false},
        {"[graphics]\n RenderScale = 75 \n", 75, false},
        {"[Graphics]\nrenderScale=50\n", 50, false},
        {"[Graphics]\nrenderScale=100\n", 100, false},
        {"[Graphics]\nrenderScale=49\n", 0, true},
        {"[Graphics]\nrenderScale=-70\n", 0, true},
        {"[Graphics]\nrenderScale=1000\n", 0, true},
        {"[Graphics]\nrenderScale=high\n", 0, true},
        {"[Graphics]\nrenderScale=0.75\n", 0, true},
        {"[Graphics]\nrenderScale=\n", 0, true},
    };
    for (const auto& c : cases) {
        const auto path = dir.write("options.ini", c.file);
        testing::internal::CaptureStdout();
        const auto options = frostline::readGraphicsOptions(path);
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(options.renderScalePercent, c.percent) << c.file;
        EXPECT_EQ(output.find("renderScale") != std::string::npos, c.told) << c.file << output;
    }
}
