#include "scene/GateMarker.h"

#include "app/RaceState.h"

namespace frostline::scene {

std::string gateSignModelPath(std::int32_t number, GateLook look)
{
    const char* suffix = look == GateLook::Next ? "_next" : look == GateLook::Passed ? "_passed" : "";
    return "models/gatesign" + std::to_string(number) + suffix + ".obj";
}

GateLook gateLookFor(std::int32_t number, std::int32_t nextGate)
{
    if (number < nextGate) {
        return GateLook::Passed;
    }
    return number == nextGate ? GateLook::Next : GateLook::Plain;
}

GateMarker::GateMarker(ShaderProgram* program, ShaderProgram* motionBlurProgram, std::int32_t number)
    : Shape(program, motionBlurProgram, gateSignModelPath(number, GateLook::Plain)), number(number)
{
    looks[static_cast<int>(GateLook::Plain)] = meshes;
    for (GateLook other : {GateLook::Next, GateLook::Passed}) {
        const Shape sign(program, motionBlurProgram, gateSignModelPath(number, other));
        looks[static_cast<int>(other)] = sign.meshes;
    }
}

void GateMarker::update(float /*dt*/)
{
    show(race ? gateLookFor(number, race->nextCheckpoint) : GateLook::Plain);
}

void GateMarker::show(GateLook newLook)
{
    look = newLook;
    meshes = looks[static_cast<int>(newLook)];
}

}  // namespace frostline::scene
