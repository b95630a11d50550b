#include "ui/Hud.h"

#include "app/Globals.h"

namespace frostline::ui {

float messageAge = 0.0f;
float fpsAccumulator = 0.0f;

namespace {
std::string messageString = "message";
}

void showMessage(const std::string& text)
{
    messageAge = 0.0f;
    messageString = text.empty() ? " " : text;
}

const std::string& currentMessage() { return messageString; }

void initUserInterface() {}

void drawMessage() {}

void drawHud()
{
    messageAge += deltaTime;
    if (messageAge >= 3.0f) {
        messageString = " ";
    }
    fpsAccumulator += deltaTime;
}

void shutdownUserInterface() {}

}  // namespace frostline::ui
