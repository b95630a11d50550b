#include "ui/Panel.h"

#include <memory>

#include <GL/glew.h>
#include <gtest/gtest.h>

#include "tests/ui/UiTestScene.h"

using namespace frostline;
using namespace frostline::test;
using frostline::ui::Panel;

namespace {

/// A 64 x 32 picture in four quarters: red top left, green top right,
/// blue bottom left, white bottom right.
std::string writeQuarters(const TempDir& dir)
{
    const std::string path = (dir.path() / "quarters.png").string();
    writeImage(path, 64, 32, [](int x, int y) {
        if (y < 16) return x < 32 ? ImagePixel{255, 0, 0, 255} : ImagePixel{0, 255, 0, 255};
        return x < 32 ? ImagePixel{0, 0, 255, 255} : ImagePixel{255, 255, 255, 255};
    });
    return path;
}

}  // namespace

TEST(Panel, ShowsTheWholeImageUprightAtItsPixelSize)
{
    UiTestFolder folder(false, false);
    TempDir images;
    clearForUiTest();
    // A 200 x 100 panel in the middle of the 1024 x 768 window: x 412..612, y 334..434.
    auto panel = std::make_unique<Panel>(200.0f, 100.0f, writeQuarters(images));
    ASSERT_TRUE(panel->hasImage());
    EXPECT_EQ(panel->translateX, 0.0f);
    EXPECT_EQ(panel->translateY, 0.0f);
    panel->draw();
    saveScreenshot("panel_quarters");

    const auto color = [](int x, int y) {
        const Rgba p = readPixel(x, y);
        return std::array<int, 3>{p.r, p.g, p.b};
    };
    EXPECT_EQ(color(420, 425), (std::array<int, 3>{255, 0, 0}));      // top left
    EXPECT_EQ(color(604, 425), (std::array<int, 3>{0, 255, 0}));      // top right
    EXPECT_EQ(color(420, 342), (std::array<int, 3>{0, 0, 255}));      // bottom left
    EXPECT_EQ(color(604, 342), (std::array<int, 3>{255, 255, 255}));  // bottom right
    EXPECT_EQ(color(410, 384), (std::array<int, 3>{0, 0, 0}));        // just left of it
    EXPECT_EQ(color(512, 436), (std::array<int, 3>{0, 0, 0}));        // just above it

    // Moved to the upper right quarter of the screen and made half as large.
    clearForUiTest();
    panel->setPosition(0.5f, 0.5f);
    panel->setSize(100.0f, 50.0f);
    panel->update(0.016f);
    panel->draw();
    EXPECT_EQ(color(722, 596), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(color(814, 556), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(color(512, 384), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(Panel, TransparentPartsLetTheGameShowThrough)
{
    UiTestFolder folder(false, false);
    TempDir images;
    const std::string path = (images.path() / "half.png").string();
    writeImage(path, 8, 8, [](int x, int) {
        return x < 4 ? ImagePixel{255, 0, 0, 0} : ImagePixel{255, 0, 0, 128};
    });
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Panel panel(400.0f, 400.0f, path);
    panel.draw();
    // Fully transparent on the left: the blue game; half on the right: half red over it.
    const Rgba left = readPixel(400, 384);
    const Rgba right = readPixel(624, 384);
    EXPECT_EQ(left.r, 0);
    EXPECT_EQ(left.b, 255);
    EXPECT_NEAR(right.r, 128, 2);
    EXPECT_NEAR(right.b, 127, 2);
}

TEST(Panel, AMissingImageIsNamedAndThePanelStaysBlank)
{
    UiTestFolder folder(false, false);
    clearForUiTest();
    testing::internal::CaptureStdout();
    auto panel = std::make_unique<Panel>(300.0f, 300.0f, "models/nothing-here.png");
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(panel->hasImage());
    EXPECT_NE(output.find("Failed to load panel image: models/nothing-here.png"), std::string::npos)
        << output;
    panel->draw();
    EXPECT_EQ(readPixel(512, 384).r, 0);
    EXPECT_EQ(readPixel(512, 384).b, 0);

    // Destroying it twice over (panel, then the shared shader twice) is harmless.
    panel.reset();
    ui::releasePanelShader();
    ui::releasePanelShader();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
