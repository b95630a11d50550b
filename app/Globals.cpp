#include "app/Globals.h"

namespace frostline {

int windowWidth = 1024;
int windowHeight = 768;
GLFWwindow* window = nullptr;

bool running = true;
double lastFrameTime = 0.0;
float deltaTime = 0.0f;
bool raceStarted = RaceStart{}.raceStarted;
float countdownTime = RaceStart{}.countdownTime;
bool countdownDone = RaceStart{}.countdownDone;

RenderScaleControl renderScale;
FrameCostMeter frameCost;
int renderScaleWarmUpFrames = 0;

World* world = nullptr;
RaceState* raceState = nullptr;
controls::Controller* activeController = nullptr;
Sound* sound = nullptr;

bool freeCameraMode = false;
bool showHelp = false;
bool showFrameTime = false;
bool wireframe = false;
bool motionBlur = true;
bool frustumCulling = false;
bool alphaBlending = true;
bool soundOn = true;
bool ghostVisible = true;

GhostSession ghostSession;

}  // namespace frostline
