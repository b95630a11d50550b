#include "ui/Hud.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <GL/glew.h>
#include <gtest/gtest.h>

#include "app/Globals.h"
#include "app/MainLoop.h"
#include "app/RaceState.h"
#include "physics/ControllerShape.h"
#include "render/World.h"
#include "tests/ui/SledWorld.h"
#include "tests/ui/UiTestScene.h"
#include "ui/Panel.h"
#include "ui/TextLabel.h"

using namespace frostline;
using namespace frostline::test;

namespace {

/// The HUD made from generated images (UiTestFolder), over a race that is
/// neither won nor lost, with every display off.
class HudTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = std::make_unique<UiTestFolder>();
        ui::initUserInterface();
        raceState = &race;
        showHelp = false;
        showFrameTime = false;
        ui::fpsAccumulator = 0.0f;
        // A race under way, its countdown long over.
        countdownDone = true;
        ui::goAge = 10.0f;
        clearForUiTest();
    }
    void TearDown() override
    {
        raceState = nullptr;
        showHelp = false;
        showFrameTime = false;
        folder.reset();
    }

    /// One frame of deltaTime seconds: clear, then the HUD.
    void frame(float seconds)
    {
        deltaTime = seconds;
        clearForUiTest();
        ui::drawHud();
    }

    /// Which character of the generated font is drawn at window pixel (x, y),
    /// for a label tinted with red share tintRed; '\0' where none is.
    static char characterAt(int x, int y, float tintRed)
    {
        const Rgba p = readPixel(x, y);
        if (p.r == 0 && p.g == 0 && p.b == 0) {
            return '\0';
        }
        return static_cast<char>(std::lround(p.r / (2.0f * tintRed)));
    }

    /// The characters of a line of 64-pixel characters centred on row y, from pixel x0.
    static std::string readLine(int x0, int y, int count)
    {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += characterAt(x0 + 32 + 64 * i, y, 0.99f);
        }
        return text;
    }

    std::unique_ptr<UiTestFolder> folder;
    RaceState race;
};

}  // namespace

TEST(HudFormats, PointsTimeAndFrameStatistics)
{
    // Points always show four digits.
    EXPECT_EQ(ui::formatPoints(0), "0000");
    EXPECT_EQ(ui::formatPoints(7), "0007");
    EXPECT_EQ(ui::formatPoints(42), "0042");
    EXPECT_EQ(ui::formatPoints(550), "0550");
    EXPECT_EQ(ui::formatPoints(1234), "1234");
    EXPECT_EQ(ui::formatPoints(12345), "12345");
    // Time: two digits before the point, two after, cut rather than rounded.
    EXPECT_EQ(ui::formatTimeLeft(0.0f), "00.00");
    EXPECT_EQ(ui::formatTimeLeft(12.5f), "12.50");
    EXPECT_EQ(ui::formatTimeLeft(9.876543f), "09.87");
    EXPECT_EQ(ui::formatTimeLeft(9.999f), "09.99");
    EXPECT_EQ(ui::formatTimeLeft(123.456f), "123.45");
    // At a steady 50 frames per second.
    EXPECT_EQ(ui::formatFrameRate(0.02f), "fps: 50");
    EXPECT_EQ(ui::formatFrameTime(0.02f), "frametime: 20.00 ms");
    EXPECT_EQ(ui::formatFrameTime(1.0f / 60.0f), "frametime: 16.66 ms");
    // Two frames within one timer tick have no rate; a tiny frame time does not overflow.
    EXPECT_EQ(ui::formatFrameRate(0.0f), "fps: 0");
    EXPECT_EQ(ui::formatFrameRate(1e-12f), "fps: 2147483647");
    EXPECT_EQ(ui::formatObjectCounts(17, 42), "drawing objects: 17/42");
}

TEST(HudResults, TheResultSaysWhatHappenedAndKeepsTheSessionsBest)
{
    // Three races won in one session, in 40, 36.5 and 38 seconds: each shows its finish
    // time and points; the second is marked best, and the best of the session stays 36.50.
    ui::sessionBestTime = 0.0f;
    const auto win = [](float time, uint32_t points) {
        RaceState race;
        race.points = points;
        race.raceTime = time;
        race.gameOver = true;
        race.events.push_back({RaceEventKind::Won, 5});
        ui::announceRaceEvents(race);
        return ui::resultLines(race);
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(win(40.0f, 650), (Lines{"Time 40.00 s", "Points 0650", "Best this session 40.00 s"}));
    EXPECT_EQ(win(36.5f, 100), (Lines{"Time 36.50 s  BEST", "Points 0100", "Best this session 36.50 s"}));
    EXPECT_EQ(win(38.0f, 0), (Lines{"Time 38.00 s", "Points 0000", "Best this session 36.50 s"}));

    // Lost: why, and how far the race got.
    RaceState timeUp;
    timeUp.gameOver = timeUp.lost = true;
    timeUp.missedGate = 3;
    EXPECT_EQ(ui::resultLines(timeUp), (Lines{"Time is up", "Gates passed: 2 of 5"}));
    RaceState wrongGate = timeUp;
    wrongGate.wrongGate = 3;
    wrongGate.missedGate = 2;
    EXPECT_EQ(ui::resultLines(wrongGate), (Lines{"Wrong gate: 3 - gate 2 was next", "Gates passed: 1 of 5"}));
    // While the race runs there is nothing to say.
    EXPECT_TRUE(ui::resultLines(RaceState{}).empty());
    ui::sessionBestTime = 0.0f;
}

TEST_F(HudTest, AMessageIsBlankedThreeSecondsAfterItWasSet)
{
    // The player toggles something: the message reads for three seconds, then goes.
    ui::showMessage("toggle Wireframe: 1");
    for (int i = 0; i < 5; ++i) {
        frame(0.5f);
    }
    EXPECT_EQ(ui::currentMessage(), "toggle Wireframe: 1");
    EXPECT_EQ(ui::messageText->text, "toggle Wireframe: 1");
    frame(0.5f);
    EXPECT_EQ(ui::currentMessage(), " ");
    EXPECT_EQ(ui::messageText->text, " ");

    // A second message within the three seconds restarts them.
    ui::showMessage("toggle Wireframe: 1");
    frame(1.0f);
    frame(1.0f);
    ui::showMessage("toggle Wireframe: 0");
    frame(1.0f);
    frame(1.0f);
    frame(0.5f);
    EXPECT_EQ(ui::currentMessage(), "toggle Wireframe: 0");
    frame(0.5f);
    EXPECT_EQ(ui::currentMessage(), " ");
}

TEST_F(HudTest, FrameStatisticsRefreshOnceASecond)
{
    // At a steady 50 frames per second with the display on, the three labels
    // change once a second; the object counts show which frame refreshed them.
    showFrameTime = true;
    totalObjectCount = 500;
    std::vector<int> refreshFrames;
    std::string shown = ui::cullingText->text;
    EXPECT_EQ(shown, "culling: ");
    for (int i = 1; i <= 200; ++i) {
        drawnObjectCount = i;
        frame(0.02f);
        if (ui::cullingText->text != shown) {
            shown = ui::cullingText->text;
            refreshFrames.push_back(i);
        }
    }
    ASSERT_GE(refreshFrames.size(), 3u);
    ASSERT_LE(refreshFrames.size(), 4u);
    EXPECT_NEAR(refreshFrames[0], 50, 1);
    for (size_t i = 1; i < refreshFrames.size(); ++i) {
        EXPECT_NEAR(refreshFrames[i] - refreshFrames[i - 1], 50, 1);
    }
    EXPECT_EQ(ui::fpsText->text, "fps: 50");
    EXPECT_EQ(ui::frameTimeText->text, "frametime: 20.00 ms");
    EXPECT_EQ(ui::cullingText->text, "drawing objects: " + std::to_string(refreshFrames.back()) + "/500");

    // Off for three seconds, the time still collects; switched on again the
    // labels catch up frame by frame until less than a second is left.
    showFrameTime = false;
    ui::fpsAccumulator = 0.0f;
    for (int i = 0; i < 150; ++i) {
        frame(0.02f);
    }
    showFrameTime = true;
    int refreshes = 0;
    for (int i = 1; i <= 10; ++i) {
        drawnObjectCount = 1000 + i;
        frame(0.02f);
        if (ui::cullingText->text != shown) {
            shown = ui::cullingText->text;
            ++refreshes;
        }
    }
    EXPECT_EQ(refreshes, 3);
}

TEST_F(HudTest, TheTimeAndThePointsReadInTheCorners)
{
    // 42 points and 12.5 seconds left: "12.50" at the top left edge, "0042" at the
    // bottom right edge, each in 64-pixel orange characters, over the game.
    race.points = 42;
    race.timeLeft = 12.5f;
    ui::showMessage("0");
    frame(0.016f);
    saveScreenshot("hud_time_and_points");
    EXPECT_EQ(readLine(0, 710, 5), "12.50");
    EXPECT_EQ(readLine(1024 - 4 * 64, 48, 4), "0042");
    // The HUD was drawn without the depth test and left it on.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

    // Whatever depth the world left behind, the HUD is drawn over it.
    race.timeLeft = 0.0f;
    glClearDepth(0.0);
    clearForUiTest();
    glClearDepth(1.0);
    deltaTime = 0.016f;
    ui::drawHud();
    EXPECT_EQ(readLine(0, 710, 5), "00.00");
}

TEST_F(HudTest, ALongMessageCrossesNeitherTheClockNorTheFrameTimeLines)
{
    // The longest message of the commands, with 12.50 on the clock and the frame-time
    // lines on: every pixel the message darkens on its own is still dark with the whole
    // HUD over it (nothing is drawn across it), and the clock reads as without it.
    race.timeLeft = 12.5f;
    showFrameTime = true;
    ui::fpsAccumulator = 1.0f;
    ui::showMessage("toggle View Frustum Culling: 1");
    const auto darkPixels = [] {
        std::vector<unsigned char> rgba(static_cast<size_t>(windowWidth) * windowHeight * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<bool> dark(rgba.size() / 4);
        for (size_t i = 0; i < dark.size(); ++i) {
            dark[i] = rgba[4 * i] + rgba[4 * i + 1] + rgba[4 * i + 2] < 30;
        }
        return dark;
    };
    const auto clearToSky = [] {
        clearForUiTest();
        glClearColor(0.49f, 0.73f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    };
    clearToSky();
    ui::drawMessage();
    const std::vector<bool> message = darkPixels();
    deltaTime = 0.016f;
    clearToSky();
    ui::drawHud();
    saveScreenshot("hud_long_message");
    const std::vector<bool> whole = darkPixels();
    int messagePixels = 0;
    int covered = 0;
    for (size_t i = 0; i < message.size(); ++i) {
        messagePixels += message[i];
        covered += message[i] && !whole[i];
    }
    EXPECT_GT(messagePixels, 3000);
    EXPECT_EQ(covered, 0);
    EXPECT_EQ(readLine(0, 710, 5), "12.50");
}

TEST_F(HudTest, HelpFailAndWinPanels)
{
    // Help on after a lost race: the help card lies over the fail panel (the player asked
    // for it), and the 900-pixel card reaches past the top and bottom of the 768-pixel screen.
    showHelp = true;
    race.gameOver = true;
    race.lost = true;
    frame(0.016f);
    saveScreenshot("hud_help_and_fail");
    const auto color = [](int x, int y) {
        const Rgba p = readPixel(x, y);
        return std::array<int, 3>{p.r, p.g, p.b};
    };
    const std::array<int, 3> blue{0, 0, 255}, red{255, 0, 0}, green{0, 255, 0}, black{0, 0, 0};
    EXPECT_EQ(color(512, 384), blue);
    EXPECT_EQ(color(512, 600), blue);
    EXPECT_EQ(color(512, 0), blue);
    EXPECT_EQ(color(512, 767), blue);
    EXPECT_EQ(color(40, 384), black);   // the help panel spans x 62..962

    // Help off: the fail panel, 703 pixels wide in the middle.
    showHelp = false;
    frame(0.016f);
    EXPECT_EQ(color(512, 384), red);
    EXPECT_EQ(color(150, 384), black);  // the fail panel spans x 160.5..863.5
    EXPECT_EQ(color(165, 384), red);
    EXPECT_EQ(color(860, 384), red);

    // Race won: only the win panel, 664 x 109 in the middle.
    race.lost = false;
    frame(0.016f);
    EXPECT_EQ(color(512, 384), green);
    EXPECT_EQ(color(512, 600), black);
    EXPECT_EQ(color(185, 384), green);
    EXPECT_EQ(color(175, 384), black);

    // During the race neither panel shows.
    race.gameOver = false;
    frame(0.016f);
    EXPECT_EQ(color(512, 384), black);
}

TEST_F(HudTest, TheCountdownIsLargeInTheMiddleAndWaitsForTheHelpCard)
{
    // "3" large in the middle of the screen in orange while the countdown runs; the
    // player opens help: the card, no countdown over it, and the countdown stands
    // still; help closed, it goes on to "GO!", which shows for a second.
    countdownTime = 3.0f;
    countdownDone = false;
    showHelp = false;
    const auto middle = [](int x) { return characterAt(x, 540, 0.99f); };
    deltaTime = 0.25f;
    EXPECT_FALSE(updateCountdown());
    frame(0.25f);
    saveScreenshot("hud_countdown");
    EXPECT_EQ(middle(512), '3');
    showHelp = true;
    for (int i = 0; i < 20; ++i) {
        deltaTime = 0.25f;
        EXPECT_FALSE(updateCountdown());
        frame(0.25f);
    }
    EXPECT_FLOAT_EQ(countdownTime, 2.75f);
    EXPECT_NE(middle(512), '3');
    showHelp = false;
    while (!countdownDone) {
        deltaTime = 0.25f;
        updateCountdown();
        frame(0.25f);
    }
    EXPECT_EQ(middle(416), 'G');
    EXPECT_EQ(middle(512), 'O');
    EXPECT_EQ(middle(608), '!');
    for (int i = 0; i < 4; ++i) {
        frame(0.25f);
    }
    EXPECT_EQ(middle(512), '\0');
}

TEST_F(HudTest, TheLoadingScreenShowsOnlyTheMessage)
{
    // "performing snowstorm..." in black on the sky while the level is built, on the
    // message line (centred 8 pixels below the clock's place, rows 606..654):
    // 23 characters of 24 pixels centred half a character left of the middle.
    glClearColor(0.49f, 0.73f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    race.points = 1234;
    ui::showMessage("performing snowstorm...");
    ui::drawMessage();
    saveScreenshot("hud_loading");
    const int row = 630;
    EXPECT_EQ(readPixel(236, row).b, 0);  // first character, x 224..248
    EXPECT_EQ(readPixel(764, row).b, 0);  // last character, x 752..776
    EXPECT_GT(readPixel(220, row).b, 200);
    EXPECT_GT(readPixel(780, row).b, 200);
    // No points or time on the loading screen.
    EXPECT_GT(readPixel(32, 710).b, 200);
    EXPECT_GT(readPixel(1000, 48).b, 200);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST(HudLifetime, ShutdownReleasesEverythingAndCanRunTwice)
{
    UiTestFolder folder;
    testing::internal::CaptureStdout();
    ui::initUserInterface();
    ui::initUserInterface();  // a second call makes nothing twice
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.find("init panel"), output.rfind("init panel"));
    // Labels first (the font), then the three panel images in their order.
    const size_t font = output.find("Models/font1.png");
    const size_t win = output.find("models/wintext.png");
    const size_t fail = output.find("models/failtext.png");
    const size_t help = output.find("models/help.png");
    EXPECT_LT(font, win);
    EXPECT_LT(win, fail);
    EXPECT_LT(fail, help);
    EXPECT_EQ(ui::messageText->x, 0.0f);
    // 8 pixels below the clock (centre 0.85, 96 pixels high) on the 768-pixel window.
    EXPECT_FLOAT_EQ(ui::messageText->y, 0.85f - (48.0f + 8.0f + 24.0f) * 2.0f / 768.0f);
    EXPECT_FLOAT_EQ(ui::pointsText->x, 0.85f);
    EXPECT_FLOAT_EQ(ui::timeLeftText->glyphWidth, 64.0f);

    ui::shutdownUserInterface();
    ui::shutdownUserInterface();
    EXPECT_FALSE(ui::textResourcesReady());
    EXPECT_EQ(ui::messageText, nullptr);
    EXPECT_EQ(ui::helpPanel, nullptr);
    // Without a HUD the frame still keeps the message clock.
    ui::showMessage("x");
    deltaTime = 3.0f;
    ui::drawHud();
    EXPECT_EQ(ui::currentMessage(), " ");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(HudAfterTheRace, TheSledIsBroughtToRest)
{
    test::SledWorld sled;
    ui::initUserInterface();
    scene::ControllerShape& player = *world->player;
    const float brakePerFrame = player.brakeFactor * player.acceleration * 0.1f;

    // During the race the HUD leaves the sled alone.
    player.speed = 10.0f;
    deltaTime = 0.1f;
    ui::drawHud();
    EXPECT_EQ(player.speed, 10.0f);

    // Lost: every frame brakes once, as the down key would, until the sled stands.
    sled.race.gameOver = true;
    sled.race.lost = true;
    ui::drawHud();
    EXPECT_FLOAT_EQ(player.speed, 10.0f - brakePerFrame);
    for (int i = 0; i < 20; ++i) {
        ui::drawHud();
    }
    EXPECT_EQ(player.speed, 0.0f);

    // Won: the same; a sled already at rest stays at rest.
    sled.race.lost = false;
    player.speed = 1.0f;
    ui::drawHud();
    EXPECT_FLOAT_EQ(player.speed, std::max(1.0f - brakePerFrame, 0.0f));
    ui::drawHud();
    ui::drawHud();
    EXPECT_EQ(player.speed, 0.0f);

    // Sliding backwards when the race ends: braked to a stop just the same.
    player.speed = -6.0f;
    ui::drawHud();
    EXPECT_FLOAT_EQ(player.speed, -6.0f + brakePerFrame);
    for (int i = 0; i < 20; ++i) {
        ui::drawHud();
    }
    EXPECT_EQ(player.speed, 0.0f);
    ui::shutdownUserInterface();
}

TEST(HudAfterTheRace, TheGameHudOverARenderedFrame)
{
    // The game's own font and panels over a frame of the World: time, points, the
    // frame statistics, and after a loss the fail panel over the help.
    test::SledWorld sled;
    ui::initUserInterface();
    sled.race.points = 550;
    sled.race.timeLeft = 7.25f;
    showFrameTime = true;
    ui::fpsAccumulator = 1.0f;
    deltaTime = 1.0f / 60.0f;
    clearForUiTest();  // the game's blending and culling
    glClearColor(0.49f, 0.73f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    world->renderFrame();
    ui::showMessage("toggle Wireframe: 0");
    ui::drawHud();
    saveScreenshot("game_hud_racing");
    EXPECT_EQ(readPixel(512, 600).b, 255);  // the sky in the middle while racing
    EXPECT_EQ(ui::fpsText->text, "fps: 59");
    EXPECT_EQ(ui::timeLeftText->text, "07.25");
    EXPECT_EQ(ui::pointsText->text, "0550");

    // Motion blur off (F6): the world is drawn straight to the window, on the same
    // sky, and the black message reads on it.
    motionBlur = false;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    world->renderFrame();
    ui::showMessage("toggle Motion Blur: 0");
    ui::drawHud();
    motionBlur = true;
    saveScreenshot("game_hud_blur_off");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const test::Rgba sky = readPixel(512, 600);
    EXPECT_EQ(sky.r, 125);
    EXPECT_EQ(sky.g, 186);
    EXPECT_EQ(sky.b, 255);
    // Along the message line's middle row: the letters' black strokes with the sky between them.
    int black = 0;
    int skyBetween = 0;
    for (int x = 248; x < 752; ++x) {
        const test::Rgba p = readPixel(x, 630);
        black += p.r + p.g + p.b < 60;
        skyBetween += p.r == 125 && p.g == 186 && p.b == 255;
    }
    EXPECT_GT(black, 60);
    EXPECT_GT(skyBetween, 150);

    showHelp = true;
    sled.race.gameOver = true;
    sled.race.lost = true;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    world->renderFrame();
    ui::drawHud();
    saveScreenshot("game_hud_help_and_fail");
    // Where the sky showed in the middle of the screen, the panels now lie.
    const auto isSky = [](Rgba p) { return p.r == 125 && p.g == 186 && p.b == 255; };
    EXPECT_FALSE(isSky(readPixel(512, 384)));
    EXPECT_FALSE(isSky(readPixel(512, 600)));
    EXPECT_FALSE(isSky(readPixel(300, 200)));
    showHelp = false;
    showFrameTime = false;
    ui::shutdownUserInterface();
}
