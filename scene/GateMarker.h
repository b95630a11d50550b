// The number sign standing on a gate. All gates share one model, so the number is
// a shape of its own, placed with its gate; it shows where the gate is in the race:
// plain for a later gate, bright for the gate to pass next, dim once passed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "scene/Shape.h"

namespace frostline {
class RaceState;
}

namespace frostline::scene {

/// The three looks of a gate's sign.
enum class GateLook { Plain, Next, Passed };

/// Model of gate number's sign: "models/gatesign2.obj".
std::string gateSignModelPath(std::int32_t number);
/// Picture of gate number's sign in a look: "models/gatesign2_next.png".
std::string gateSignPicturePath(std::int32_t number, GateLook look);
/// The look of gate number while nextGate is the one to pass next.
GateLook gateLookFor(std::int32_t number, std::int32_t nextGate);

class GateMarker : public Shape {
public:
    /// Loads the sign of gate number and the pictures of its three looks; it shows Plain
    /// until the race is set. A look whose picture does not load shows the default image.
    GateMarker(ShaderProgram* program, ShaderProgram* motionBlurProgram, std::int32_t number);
    /// Gives the sign's faces back their own picture, which the mesh list releases.
    ~GateMarker() override;
    GateMarker(const GateMarker&) = delete;
    GateMarker& operator=(const GateMarker&) = delete;

    /// Shows the look of the race's progress (Plain while no race is set).
    void update(float dt) override;
    /// Shows look.
    void show(GateLook look);

    std::int32_t number = 0;            ///< the gate's number (1 for the first)
    GateLook look = GateLook::Plain;    ///< the look shown now
    const RaceState* race = nullptr;    ///< the race whose progress the sign shows (not owned)

private:
    static constexpr std::size_t noFaces = ~std::size_t{0};
    /// The mesh that shows the picture (the model's plain one); noFaces in a model without it.
    std::size_t facesMesh = noFaces;
    std::array<Texture*, 3> pictures{};                   ///< each look's picture, by GateLook
    std::array<std::unique_ptr<Texture>, 2> ownPictures;  ///< the Next and Passed pictures (owned)
};

}  // namespace frostline::scene
