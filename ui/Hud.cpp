#include "ui/Hud.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <span>

#include <GL/glew.h>

#include "app/Globals.h"
#include "app/GhostRace.h"
#include "app/RaceState.h"
#include "controls/Gamepad.h"
#include "physics/ControllerShape.h"
#include "render/World.h"
#include "scene/Collectable.h"
#include "ui/GatePointer.h"
#include "ui/Panel.h"
#include "ui/TextLabel.h"

namespace frostline::ui {

float messageAge = 0.0f;
float fpsAccumulator = 0.0f;
float goAge = 0.0f;
float sessionBestTime = 0.0f;
bool bestBeaten = false;

TextLabel* fpsText = nullptr;
TextLabel* frameTimeText = nullptr;
TextLabel* cullingText = nullptr;
TextLabel* renderScaleText = nullptr;
TextLabel* ghostNoteText = nullptr;
TextLabel* timeLeftText = nullptr;
TextLabel* pointsText = nullptr;
Panel* winPanel = nullptr;
Panel* failPanel = nullptr;
Panel* winPadPanel = nullptr;
Panel* failPadPanel = nullptr;
TextLabel* messageText = nullptr;
Panel* helpPanel = nullptr;
TextLabel* gateCountText = nullptr;
TextLabel* gateNumberText = nullptr;
GatePointer* gatePointer = nullptr;
TextLabel* countdownText = nullptr;
TextLabel* resultText = nullptr;

namespace {

/// The message line's text; kept here too so that messages set before the HUD
/// exists (and tests without a GL context) are not lost.
std::string messageString = "message";
/// The line holds a passing notice, which the countdown may replace.
bool messagePassing = true;

void setMessageText(const std::string& text)
{
    messageString = text.empty() ? " " : text;
    if (messageText) {
        messageText->setText(messageString);
    }
}

/// Colours of the countdown (the clock's orange, apart from the arrow's amber) and of the
/// result lines, and the shade drawn under them so that they read on the snow: their
/// shadow falls this many pixels right and down.
const vec3 countdownOrange(0.99f, 0.29f, 0.01f);
const vec3 resultWhite(1.0f, 1.0f, 1.0f);
const vec3 shade(0.05f, 0.04f, 0.1f);
constexpr float countdownShadow = 6.0f;
constexpr float resultShadow = 2.0f;
/// Where the countdown stands (NDC, its middle: above the sled and most of the slope ahead,
/// below the message line), and where the result lines start above the result panel
/// (clear of the sled below it), a line apart (NDC).
constexpr float countdownY = 0.38f;
constexpr float resultTopY = 0.42f;
constexpr float resultLineStep = 0.1f;

/// Draws label's text centred on (0, y) in colour over its shade, which lies shadePixels
/// down and right of it, and, with outline, round it on every side.
void drawShaded(TextLabel& label, const std::string& text, float y, vec3 colour, float shadePixels,
                bool outline)
{
    label.setText(text);
    // A line of n glyphs spans x - (n + 1) sx to x + (n - 1) sx: its middle is x - sx.
    const float middle = label.glyphWidth / static_cast<float>(windowWidth);
    const vec2 pixel(2.0f / static_cast<float>(windowWidth), 2.0f / static_cast<float>(windowHeight));
    label.red = shade.r;
    label.green = shade.g;
    label.blue = shade.b;
    const vec2 offsets[] = {{1, -1}, {-1, -1}, {1, 1}, {-1, 1}};
    for (const vec2& offset : outline ? std::span(offsets) : std::span(offsets, 1)) {
        label.x = middle + offset.x * shadePixels * pixel.x;
        label.y = y + offset.y * shadePixels * pixel.y;
        label.draw();
    }
    label.red = colour.r;
    label.green = colour.g;
    label.blue = colour.b;
    label.x = middle;
    label.y = y;
    label.draw();
}

/// Keeps the time since GO: 0 while the countdown runs.
void ageGo()
{
    goAge = countdownDone ? goAge + deltaTime : 0.0f;
}

/// A message is blanked three seconds after it was set.
void ageMessage()
{
    messageAge += deltaTime;
    if (messageAge >= messageShowTime) {
        setMessageText(" ");
    }
}

/// Once the race is over the sled is brought to rest: one brake per frame, as
/// if the player held the down key, also when it slides backwards.
void brakeAfterRace()
{
    if (!raceState || !raceState->gameOver || !world || !world->player) {
        return;
    }
    if (world->player->speed != 0.0f) {
        world->player->brake(deltaTime);
    }
}

/// Collects frame time; true when a second has passed and the labels refresh.
bool frameTimeRefreshDue()
{
    fpsAccumulator += deltaTime;
    if (!showFrameTime || fpsAccumulator < 1.0f) {
        return false;
    }
    fpsAccumulator -= 1.0f;
    return true;
}

TextLabel* makeLabel(float glyphWidth, float glyphHeight, vec3 color, const std::string& text, float x,
                     float y)
{
    auto* label = new TextLabel(glyphWidth, glyphHeight, color, text);
    label->x = x;
    label->y = y;
    return label;
}

/// The arrow toward the next gate and the gate's number just inside it (not over the help).
void drawGatePointer(const GateGuide& guide)
{
    if (!guide.pointer || showHelp) {
        return;
    }
    gatePointer->draw(guide);
    // The number sits on the screen's side of the arrow, a glyph and a half in.
    const float radians = guide.angle * degreesToRadians;
    const float inward = 72.0f;
    gateNumberText->x =
        guide.pointerPosition.x - std::cos(radians) * inward * 2.0f / static_cast<float>(windowWidth);
    gateNumberText->y =
        guide.pointerPosition.y - std::sin(radians) * inward * 2.0f / static_cast<float>(windowHeight);
    gateNumberText->setText(std::to_string(guide.gate));
    gateNumberText->draw();
}

/// Lower edge of a label on screen (normalised device coordinates).
float bottomOf(const TextLabel& label)
{
    return label.y - label.glyphHeight / static_cast<float>(windowHeight);
}

/// Centre line of the message line: centred across the screen, 8 pixels below the
/// clock and the frame-time lines, so that a message of any length crosses neither.
float messageLineY(float glyphHeight)
{
    const float gap = 16.0f / static_cast<float>(windowHeight);
    const float halfHeight = glyphHeight / static_cast<float>(windowHeight);
    return std::min(bottomOf(*timeLeftText), bottomOf(*cullingText)) - gap - halfHeight;
}

template <typename T>
void destroy(T*& object)
{
    delete object;
    object = nullptr;
}

}  // namespace

void showMessage(const std::string& text)
{
    messageAge = 0.0f;
    messagePassing = false;
    setMessageText(text);
}

void showPassingMessage(const std::string& text)
{
    showMessage(text);
    messagePassing = true;
}

bool messageLineFree()
{
    return messagePassing || messageString == " ";
}

std::string countdownCaption(float countdownTime, bool countdownDone, float goAge)
{
    if (!countdownDone) {
        return std::to_string(static_cast<int>(countdownTime) + 1);
    }
    return goAge < goShowTime ? "GO!" : "";
}

void recordFinish(float finishTime)
{
    bestBeaten = sessionBestTime > 0.0f && finishTime < sessionBestTime;
    if (sessionBestTime <= 0.0f || finishTime < sessionBestTime) {
        sessionBestTime = finishTime;
    }
}

std::vector<std::string> resultLines(const RaceState& race)
{
    if (!race.gameOver) {
        return {};
    }
    if (!race.lost) {
        return {"Time " + cutToTwoDecimals(race.raceTime) + " s" + (bestBeaten ? "  BEST" : ""),
                "Points " + formatPoints(race.points),
                "Best this session " + cutToTwoDecimals(sessionBestTime) + " s"};
    }
    const std::string why = race.wrongGate != 0
                                ? "Wrong gate: " + std::to_string(race.wrongGate) + " - gate " +
                                      std::to_string(race.missedGate) + " was next"
                                : "Time is up";
    return {why, "Gates passed: " + std::to_string(std::max(race.missedGate - 1, 0)) + " of " +
                     std::to_string(race.lastCheckpoint)};
}

const std::string& currentMessage()
{
    return messageString;
}

std::string formatPoints(uint32_t points)
{
    std::string text = std::to_string(points);
    if (points < 1000) text = "0" + text;
    if (points < 100) text = "0" + text;
    if (points < 10) text = "0" + text;
    return text;
}

std::string cutToTwoDecimals(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%f", value);
    std::string text = buffer;
    const size_t point = text.find('.');
    if (point != std::string::npos) {
        text.resize(point + 3);
    }
    return text;
}

std::string formatTimeLeft(float timeLeft)
{
    const std::string text = cutToTwoDecimals(timeLeft);
    return timeLeft < 10.0f ? "0" + text : text;
}

std::string formatFrameRate(float frameTime)
{
    // The rate of this one frame, not an average. A frame time of zero (two frames
    // within one timer tick) has no rate, and a huge one must not overflow the int.
    int rate = 0;
    if (frameTime > 0.0f) {
        const double perSecond = 1.0 / static_cast<double>(frameTime);
        rate = perSecond >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(perSecond);
    }
    return "fps: " + std::to_string(rate);
}

std::string formatFrameTime(float frameTime)
{
    return "frametime: " + cutToTwoDecimals(frameTime * 1000.0f) + " ms";
}

std::string formatRenderScale(float scale, bool adaptive)
{
    return "scale: " + std::to_string(static_cast<int>(std::lround(scale * 100.0f))) + " % " +
           (adaptive ? "adaptive" : "fixed");
}

std::string formatObjectCounts(int drawn, int total)
{
    return "drawing objects: " + std::to_string(drawn) + "/" + std::to_string(total);
}

std::string formatGateCount(std::int32_t nextGate, std::int32_t lastGate)
{
    return "GATE " + std::to_string(std::min(nextGate, lastGate)) + "/" + std::to_string(lastGate);
}

std::pair<std::string, int> raceEventMessage(const RaceEvent& event, const RaceState& race)
{
    switch (event.kind) {
    case RaceEventKind::WrongGate:
        return {"Wrong gate: " + std::to_string(event.gate) + " - gate " + std::to_string(event.expected) +
                    " was next",
                3};
    case RaceEventKind::TimeUp:
        return {"Time is up", 3};
    case RaceEventKind::GatePassed:
        return {"Gate " + std::to_string(event.gate) + " of " + std::to_string(race.lastCheckpoint) + "  +" +
                    std::to_string(static_cast<int>(std::lround(race.checkpointTimeBonus))) + " s",
                2};
    case RaceEventKind::PickedUp:
        // After the race the outcome stays on the line; the points still count.
        if (race.gameOver) {
            return {"", 0};
        }
        return {"+" + std::to_string(event.points) + (event.pickupKind == scene::Cow ? "  BOOST" : ""),
                1};
    case RaceEventKind::Won:        // the last gate's own message says it; the panel follows
    case RaceEventKind::Respawned:  // the sled's jump back is message enough
    case RaceEventKind::CountdownTick:  // the countdown shows its own numbers
    case RaceEventKind::ObstacleHit:    // heard, not read
        break;
    }
    return {"", 0};
}

void announceRaceEvents(const RaceState& race)
{
    std::string text;
    int weight = 0;
    for (const RaceEvent& event : race.events) {
        auto [message, rank] = raceEventMessage(event, race);
        // Of equal weight the later one wins, as a newer message replaces an older one.
        if (rank > 0 && rank >= weight) {
            text = std::move(message);
            weight = rank;
        }
    }
    if (weight > 0) {
        showMessage(text);
    }
    for (const RaceEvent& event : race.events) {
        if (event.kind == RaceEventKind::Won) {
            recordFinish(race.raceTime);
        }
    }
}

void initUserInterface()
{
    if (messageText) {
        return;
    }
    const vec3 green(0.0f, 1.0f, 0.0f);
    const vec3 orange(0.99f, 0.29f, 0.01f);
    fpsText = makeLabel(12.0f, 24.0f, green, "fps: ", 0.75f, 0.92f);
    frameTimeText = makeLabel(12.0f, 24.0f, green, "frametime: ", 0.75f, 0.87f);
    cullingText = makeLabel(12.0f, 24.0f, green, "culling: ", 0.75f, 0.82f);
    renderScaleText = makeLabel(12.0f, 24.0f, green, "scale: ", 0.75f, 0.77f);
    ghostNoteText = makeLabel(16.0f, 32.0f, vec3(0.0f), "ghost: guide", 0.0f, -0.22f);
    timeLeftText = makeLabel(64.0f, 96.0f, orange, "timeleft", -0.8f, 0.85f);
    pointsText = makeLabel(64.0f, 96.0f, orange, "points", 0.85f, -0.9f);
    winPanel = new Panel(664.0f, 109.0f, "models/wintext.png");
    failPanel = new Panel(703.0f, 102.0f, "models/failtext.png");
    winPadPanel = new Panel(664.0f, 109.0f, "models/wintext_pad.png");
    failPadPanel = new Panel(703.0f, 102.0f, "models/failtext_pad.png");
    messageText = makeLabel(24.0f, 48.0f, vec3(0.0f), messageString, 0.0f, messageLineY(48.0f));
    helpPanel = new Panel(900.0f, 900.0f, "models/help.png");
    // The way to the next gate: the count bottom left, clear of the clock, the points and
    // the message line; the arrow and its number at the screen's edge.
    gateCountText = makeLabel(36.0f, 54.0f, orange, "GATE", -0.64f, -0.9f);
    gateNumberText = makeLabel(28.0f, 42.0f, orange, "1", 0.0f, 0.0f);
    gatePointer = new GatePointer();
    // The countdown large in the middle, the result's lines under its panel.
    countdownText = makeLabel(96.0f, 144.0f, countdownOrange, "3", 0.0f, countdownY);
    resultText = makeLabel(18.0f, 34.0f, resultWhite, " ", 0.0f, resultTopY);
}

void drawMessage()
{
    if (!messageText) {
        return;
    }
    glDisable(GL_DEPTH_TEST);
    messageText->draw();
    glEnable(GL_DEPTH_TEST);
}

void drawHud()
{
    if (!messageText) {
        ageMessage();
        ageGo();
        frameTimeRefreshDue();
        brakeAfterRace();
        return;
    }
    // 1. The HUD lies over the world whatever its depth.
    glDisable(GL_DEPTH_TEST);

    // 2 and 3. The message line.
    ageMessage();
    messageText->draw();

    // 4 and 5. Points and time left.
    if (raceState) {
        pointsText->setText(formatPoints(raceState->points));
        pointsText->draw();
        timeLeftText->setText(formatTimeLeft(raceState->timeLeft));
        timeLeftText->draw();
    }

    // The gate count and, while the next gate is out of sight, the arrow toward it.
    if (raceState && world) {
        gateCountText->setText(formatGateCount(raceState->nextCheckpoint, raceState->lastCheckpoint));
        gateCountText->draw();
        drawGatePointer(guideToNextGate(*world, *raceState));
    }

    // The countdown, large in the middle; not over the help card, not once the race is decided.
    ageGo();
    const std::string caption = countdownCaption(countdownTime, countdownDone, goAge);
    if (raceState && !raceState->gameOver && !showHelp && !caption.empty()) {
        drawShaded(*countdownText, caption, countdownY, countdownOrange, countdownShadow, false);
    }

    // 6. Frame-time statistics, refreshed once a second, drawn every frame while on.
    if (frameTimeRefreshDue()) {
        fpsText->setText(formatFrameRate(deltaTime));
        frameTimeText->setText(formatFrameTime(deltaTime));
        cullingText->setText(formatObjectCounts(drawnObjectCount, totalObjectCount));
        renderScaleText->setText(formatRenderScale(renderScale.state.scale, renderScale.adaptive));
    }
    if (showFrameTime) {
        fpsText->draw();
        frameTimeText->draw();
        cullingText->draw();
        renderScaleText->draw();
    }

    // 7. The end of the race: its panel and what happened above it.
    if (raceState && raceState->gameOver) {
        // With a gamepad plugged in, the panel names its buttons.
        const bool pad = controls::playerGamepad().connected();
        (raceState->lost ? (pad ? failPadPanel : failPanel) : (pad ? winPadPanel : winPanel))->draw();
        // Below the win panel: which run the next race's ghost rides.
        if (!raceState->lost) {
            ghostNoteText->setText(nextGhostNote());
            ghostNoteText->draw();
        }
        float y = resultTopY;
        for (const std::string& line : resultLines(*raceState)) {
            drawShaded(*resultText, line, y, resultWhite, resultShadow, true);
            y -= resultLineStep;
        }
    }

    // 8. Help over everything: the player asked for it.
    if (showHelp) {
        helpPanel->draw();
    }
    brakeAfterRace();

    // 9. The world after this frame needs its depth test back.
    glEnable(GL_DEPTH_TEST);
}

void shutdownUserInterface()
{
    // 1. The shared text resources.
    releaseTextResources();
    // 2. The shared panel shader.
    releasePanelShader();
    // 3. The HUD labels.
    destroy(fpsText);
    destroy(frameTimeText);
    destroy(cullingText);
    destroy(renderScaleText);
    destroy(ghostNoteText);
    destroy(timeLeftText);
    destroy(pointsText);
    destroy(messageText);
    destroy(gateCountText);
    destroy(gateNumberText);
    destroy(gatePointer);
    destroy(countdownText);
    destroy(resultText);
    // 4. The panels, each with its buffer, vertex array and texture.
    destroy(winPanel);
    destroy(failPanel);
    destroy(winPadPanel);
    destroy(failPadPanel);
    destroy(helpPanel);
}

}  // namespace frostline::ui
