// The per-frame input handler: turns held keys and mouse motion into motion.
#pragma once

struct GLFWwindow;

namespace frostline::controls {

class Controller {
public:
    virtual ~Controller() = default;
    /// Reads the window's key and cursor state and applies it for frameTime seconds.
    /// Returns true; the caller ignores the result.
    virtual bool update(GLFWwindow* window, float frameTime) = 0;
};

}  // namespace frostline::controls
