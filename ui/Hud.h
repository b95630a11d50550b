// The heads-up display: message line, points, time left, frame-time labels and
// the help, win and fail panels (the last two in a gamepad's words while one is
// plugged in), drawn over every frame.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/RaceEvents.h"

namespace frostline {
class RaceState;
}

namespace frostline::ui {

class TextLabel;
class Panel;
class GatePointer;

extern float messageAge;      ///< seconds since the message text was last set
extern float fpsAccumulator;  ///< seconds collected for the once-a-second frame-time refresh
extern float goAge;           ///< seconds since the countdown ended (0 while it runs)
extern float sessionBestTime;  ///< the best finish time of this session (s); 0 before the first win
extern bool bestBeaten;        ///< the last race won beat the session's best time before it

/// Seconds a message stays on the line before it is blanked.
inline constexpr float messageShowTime = 3.0f;
/// Seconds "GO!" stays in the middle of the screen once the countdown is over.
inline constexpr float goShowTime = 1.0f;

// --- the HUD objects, made by initUserInterface, deleted by shutdownUserInterface
extern TextLabel* fpsText;        ///< "fps: 50", green, top right, while showFrameTime
extern TextLabel* frameTimeText;  ///< "frametime: 20.00 ms", below fpsText
extern TextLabel* cullingText;    ///< "drawing objects: drawn/total", below frameTimeText
extern TextLabel* renderScaleText;  ///< "scale: 70 % adaptive" (the render scale), below cullingText
extern TextLabel* timeLeftText;   ///< race time left, orange, top left
extern TextLabel* pointsText;     ///< points, orange, bottom right
extern Panel* winPanel;           ///< "models/wintext.png", centred, when the race is won
extern TextLabel* ghostNoteText;  ///< "ghost: your best" or "ghost: guide", below winPanel
extern Panel* failPanel;          ///< "models/failtext.png", centred, when the race is lost
extern Panel* winPadPanel;        ///< "models/wintext_pad.png": winPanel naming a gamepad's buttons
extern Panel* failPadPanel;       ///< "models/failtext_pad.png": failPanel naming a gamepad's buttons
extern TextLabel* messageText;    ///< the message line, black, centred just below the clock
extern Panel* helpPanel;          ///< "models/help.png", centred, while showHelp
extern TextLabel* gateCountText;  ///< "GATE 2/5": the gate to pass next of all, orange, bottom left
extern TextLabel* gateNumberText; ///< the next gate's number beside the arrow
extern GatePointer* gatePointer;  ///< the arrow toward the next gate while its sign cannot be seen
extern TextLabel* countdownText;  ///< the countdown, large in the middle: 3, 2, 1, GO!
extern TextLabel* resultText;     ///< the race's result above its panel, drawn a line at a time

/// Sets the message line and restarts its three seconds.
void showMessage(const std::string& text);
/// Sets the message line to a passing notice (the loading line, a countdown number), which
/// the countdown's next number may replace, as any message may.
void showPassingMessage(const std::string& text);
/// True while the message line is blank or holds a passing notice.
bool messageLineFree();
/// The text the message line holds now (" " once blanked).
const std::string& currentMessage();

/// "GATE 2/5": the gate to pass next (the last once all are passed) of lastGate.
std::string formatGateCount(std::int32_t nextGate, std::int32_t lastGate);

/// Puts the most telling of the race's new events on the message line: an outcome
/// ("Wrong gate: 3 - gate 2 was next", "Time is up") over a gate passed ("Gate 2 of
/// 5  +10 s") over a pick-up ("+50", "+500  BOOST"; only while the race runs); a won
/// race's finish time is recorded for the session. Does not clear the events.
void announceRaceEvents(const RaceState& race);
/// The message line's text for one event ("" for none) and its weight (higher wins).
std::pair<std::string, int> raceEventMessage(const RaceEvent& event, const RaceState& race);

/// The countdown in the middle of the screen: "3", "2", "1" while it runs (countdownTime
/// seconds left), "GO!" for goShowTime once it is over (goAge seconds ago), then "".
std::string countdownCaption(float countdownTime, bool countdownDone, float goAge);
/// The lines above the result panel. Won: "Time 36.12 s" (with "  BEST" when it beat the
/// session's best before it), "Points 0650", "Best this session 34.50 s". Lost: why ("Time
/// is up" or "Wrong gate: 3 - gate 2 was next") and "Gates passed: 2 of 5".
std::vector<std::string> resultLines(const RaceState& race);
/// Keeps finishTime (s) as the session's best when it is (bestBeaten says whether it beat one).
void recordFinish(float finishTime);

/// Creates the HUD labels and panels (needs the GL context and GLEW); the first
/// label also creates the shared text resources. Does nothing when they exist.
void initUserInterface();
/// Draws the message line alone, without depth testing (the loading screen).
void drawMessage();
/// Updates and draws the whole HUD for this frame without depth testing (left
/// enabled afterwards): message, points, time, gate count and arrow, the countdown,
/// frame-time labels, the result panel with its lines, and the help card above all;
/// brakes the sled once the race is over. Without initUserInterface it only keeps the
/// clocks (message age, GO, frame-time refresh).
void drawHud();
/// Releases the shared text resources, then the panel shader, then the HUD
/// labels, then the panels. Safe to call twice.
void shutdownUserInterface();

// --- how the HUD writes its numbers ---------------------------------------
/// Points padded to four digits: 7 -> "0007", 1234 -> "1234".
std::string formatPoints(uint32_t points);
/// value with six decimals, cut (not rounded) after the second: 9.876543 -> "9.87".
std::string cutToTwoDecimals(double value);
/// Seconds left with two decimals, padded to two integer digits: 9.876543 -> "09.87".
std::string formatTimeLeft(float timeLeft);
/// "fps: " and the rate of one frame of frameTime seconds, truncated; "fps: 0"
/// for a frame time of zero or less.
std::string formatFrameRate(float frameTime);
/// "scale: 70 % adaptive" (or "fixed"): the scale in whole percent.
std::string formatRenderScale(float scale, bool adaptive);
/// "frametime: " and frameTime in milliseconds with two decimals, then " ms".
std::string formatFrameTime(float frameTime);
/// "drawing objects: " drawn "/" total.
std::string formatObjectCounts(int drawn, int total);

}  // namespace frostline::ui
