#include "scene/GateMarker.h"

#include "app/RaceState.h"
#include "render/Texture.h"

namespace frostline::scene {

namespace {

/// File name of gate number's sign without folder and extension, in look.
std::string gateSignName(std::int32_t number, GateLook look)
{
    const char* suffix = look == GateLook::Next ? "_next" : look == GateLook::Passed ? "_passed" : "";
    return "gatesign" + std::to_string(number) + suffix;
}

}  // namespace

std::string gateSignModelPath(std::int32_t number)
{
    return "models/" + gateSignName(number, GateLook::Plain) + ".obj";
}

std::string gateSignPicturePath(std::int32_t number, GateLook look)
{
    return "models/" + gateSignName(number, look) + ".png";
}

GateLook gateLookFor(std::int32_t number, std::int32_t nextGate)
{
    if (number < nextGate) {
        return GateLook::Passed;
    }
    return number == nextGate ? GateLook::Next : GateLook::Plain;
}

GateMarker::GateMarker(ShaderProgram* program, ShaderProgram* motionBlurProgram, std::int32_t number)
    : Shape(program, motionBlurProgram, gateSignModelPath(number)), number(number)
{
    // The looks differ in the faces' picture alone: the mesh that shows the plain one.
    for (std::size_t m = 0; m < meshes->size(); ++m) {
        if ((*meshes)[m].texture->path == gateSignPicturePath(number, GateLook::Plain)) {
            facesMesh = m;
            pictures[static_cast<int>(GateLook::Plain)] = (*meshes)[m].texture;
        }
    }
    for (GateLook other : {GateLook::Next, GateLook::Passed}) {
        std::unique_ptr<Texture>& picture = ownPictures[static_cast<int>(other) - 1];
        picture.reset(loadTextureOrDefault(gateSignPicturePath(number, other)));
        pictures[static_cast<int>(other)] = picture.get();
    }
}

GateMarker::~GateMarker()
{
    show(GateLook::Plain);
}

void GateMarker::update(float /*dt*/)
{
    show(race ? gateLookFor(number, race->nextCheckpoint) : GateLook::Plain);
}

void GateMarker::show(GateLook newLook)
{
    look = newLook;
    if (facesMesh != noFaces) {
        (*meshes)[facesMesh].texture = pictures[static_cast<int>(newLook)];
    }
}

}  // namespace frostline::scene
