#include "physics/CapsuleController.h"

#include <algorithm>
#include <cmath>

#include <btBulletCollisionCommon.h>

#include "physics/Actor.h"
#include "physics/BulletConvert.h"
#include "physics/ConvexSweep.h"
#include "physics/ControllerManager.h"
#include "physics/HitReport.h"
#include "physics/Scene.h"
#include "physics/TriangleMesh.h"

namespace frostline {

namespace {

constexpr std::uint32_t noTriangle = 0xffffffffu;
// A side motion with no component above this is no side motion (world units).
constexpr float sideMotionEpsilon = 1e-6f;
// A sweep that touches within this distance started in contact (world units).
constexpr float touchingDistance = 1e-4f;
// Overlap recovery ignores penetrations below this depth (world units).
constexpr float recoveryTolerance = 1e-4f;
constexpr int recoveryAttempts = 4;
// A gap to a surface this much below the contact offset is restored (world units).
constexpr float skinTolerance = 1e-5f;
constexpr int sidePassIterations = 10;
// How far a box hit point may lie from a face plane and still be on that face:
// Bullet rounds box edges by its 0.04 margin (world units).
constexpr float boxFaceTolerance = 0.05f;
// Cosine below which a face counts as turned downward rather than vertical.
constexpr float verticalTolerance = 1e-3f;
// How far above the capsule's centre a surface is looked for that may have it
// inside, under the ground (world units).
constexpr btScalar groundSearchHeight = 1000;
// A wall's level normal serves to keep the contact offset while it is at least this
// cosine from the contact normal; beyond (touched from above, on its edge) the
// contact normal does.
constexpr float wallPushLimit = 0.5f;

// The rotation that turns (1, 0, 0) onto the unit vector to by the shortest arc.
vec4 shortestArcFromX(vec3 to)
{
    const float c = to.x;
    if (c < -0.999999f) {
        return vec4(0.0f, 0.0f, 1.0f, 0.0f);  // half a turn about Z
    }
    const float s = std::sqrt((1.0f + c) * 2.0f);
    const vec3 axis(0.0f, -to.z, to.y);  // (1, 0, 0) x to
    return glm::normalize(vec4(axis / s, 0.5f * s));
}

bool isFinite(vec3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The closest thing a ray meets, but for the object ignore: which, where, and
// which triangle of a mesh.
struct FirstHit : btCollisionWorld::RayResultCallback {
    explicit FirstHit(const btCollisionObject* ignore) : ignore(ignore) {}

    bool needsCollision(btBroadphaseProxy* proxy) const override
    {
        return proxy->m_clientObject != ignore && RayResultCallback::needsCollision(proxy);
    }

    btScalar addSingleResult(btCollisionWorld::LocalRayResult& result, bool /*normalInWorldSpace*/) override
    {
        m_closestHitFraction = result.m_hitFraction;
        m_collisionObject = result.m_collisionObject;
        triangle = result.m_localShapeInfo ? result.m_localShapeInfo->m_triangleIndex : -1;
        return result.m_hitFraction;
    }

    const btCollisionObject* ignore;
    int triangle = -1;
};

// The deepest penetration of the grown capsule into anything but the controller's own actor.
struct OverlapCallback : btCollisionWorld::ContactResultCallback {
    OverlapCallback(const btCollisionObject* probe, const btCollisionObject* self) : probe(probe), self(self)
    {
    }

    bool needsCollision(btBroadphaseProxy* proxy) const override
    {
        return proxy->m_clientObject != self && ContactResultCallback::needsCollision(proxy);
    }

    btScalar addSingleResult(btManifoldPoint& point, const btCollisionObjectWrapper* wrap0, int /*partId0*/,
                             int /*index0*/, const btCollisionObjectWrapper* /*wrap1*/, int /*partId1*/,
                             int /*index1*/) override
    {
        const bool probeIsA = wrap0->getCollisionObject() == probe;
        const float penetration = -point.getDistance();
        if (penetration > depth) {
            depth = penetration;
            // The normal on B points from B toward A; the capsule moves along it.
            normal = toVec3(probeIsA ? point.m_normalWorldOnB : -point.m_normalWorldOnB);
        }
        return 0;
    }

    const btCollisionObject* probe;
    const btCollisionObject* self;
    float depth = 0.0f;
    vec3 normal{0.0f};
};

}  // namespace

struct CapsuleController::Sweep {
    const btCollisionObject* object = nullptr;  ///< what was hit; not to be used after report()
    float distance = 0.0f;                      ///< travel until the capsule touches (world units)
    vec3 normal{0.0f};                          ///< unit, pointing toward the capsule
    glm::dvec3 point{0.0};                      ///< contact point (world units)
    std::uint32_t triangleIndex = noTriangle;
};

CapsuleController::CapsuleController(ControllerManager& manager, Actor& actor,
                                     const CapsuleControllerSettings& settings)
    : manager(manager),
      actor(&actor),
      settings(settings),
      position(settings.position),
      sweepShape(static_cast<btConvexShape*>(actor.shape.get())),
      grownShape(
          std::make_unique<btCapsuleShapeX>(settings.radius + settings.contactOffset, settings.height)),
      probe(std::make_unique<btCollisionObject>())
{
    actor.controller = this;
    actor.object->setCollisionFlags(btCollisionObject::CF_KINEMATIC_OBJECT);
    probe->setCollisionShape(grownShape.get());
    worldUp = glm::normalize(settings.upDirection);
    upDirection = worldUp;
    rotation = shortestArcFromX(upDirection);
    syncActor();
}

CapsuleController::~CapsuleController() = default;

void CapsuleController::release()
{
    manager.releaseController(*this);
}

void CapsuleController::setPosition(const glm::dvec3& newPosition)
{
    position = newPosition;
    mayOverlap = true;
    syncActor();
}

void CapsuleController::setUpDirection(vec3 up)
{
    const float upLength = glm::length(up);
    if (!(upLength > 0.0f) || !isFinite(up)) {
        return;
    }
    const vec3 newUp = up / upLength;
    // Turning the capsule moves its ends; far enough, and they may end up inside something.
    if (0.5f * settings.height * glm::length(newUp - upDirection) > 0.5f * settings.contactOffset) {
        mayOverlap = true;
    }
    upDirection = newUp;
    rotation = shortestArcFromX(upDirection);
    syncActor();
}

CollisionFlags CapsuleController::move(vec3 displacement, float minDist, float /*elapsedTime*/)
{
    if (!isFinite(displacement)) {
        return 0;
    }
    // Start outside everything: after setPosition, a turn or new actors nearby.
    recoveredThisMove = false;
    const Scene& scene = manager.getScene();
    if (mayOverlap || sceneRevision != scene.getRevision()) {
        recoveredThisMove = recoverFromOverlap();
        mayOverlap = false;
        sceneRevision = scene.getRevision();
    }

    // Standing on a face too steep to walk (the up direction is its normal), the
    // capsule moves as against a wall from the start.
    const glm::dvec3 start = position;
    const bool onWall = !isWalkable(upDirection);
    bool touchedSteepFace = false;
    CollisionFlags flags = moveOnce(displacement, minDist, onWall, touchedSteepFace);
    if (touchedSteepFace && !onWall) {
        // The step offset or a slide carried us onto a face too steep to walk:
        // do the move again with that face as a wall.
        position = start;
        flags = moveOnce(displacement, minDist, true, touchedSteepFace);
    }
    syncActor();
    return flags;
}

CollisionFlags CapsuleController::moveOnce(vec3 displacement, float minDist, bool againstWalls,
                                          bool& touchedSteepFace)
{
    // 1. Split the motion along the up direction; against walls the side part may not rise.
    const vec3 up = upDirection;
    const float dn = glm::dot(displacement, up);
    const vec3 side = againstWalls ? withoutRise(displacement - up * dn) : displacement - up * dn;
    const bool sideMotion = glm::any(glm::greaterThan(glm::abs(side), vec3(sideMotionEpsilon)));
    const float stepOffset = (!againstWalls && dn <= 0.0f && sideMotion) ? settings.stepOffset : 0.0f;
    const glm::dvec3 start = position;
    CollisionFlags flags = 0;
    touchedSteepFace = false;

    // 2. Up pass: the upward motion, or the step offset before a side motion.
    const vec3 upMotion = up * (std::max(dn, 0.0f) + stepOffset);
    if (slide(upMotion, minDist, sideMotion ? 1 : sidePassIterations, Pass::up, start, false).touched) {
        flags |= collisionUp;
    }
    // Only the part of the step offset actually climbed (a ceiling may stop it) is taken off again.
    const float climbed =
        stepOffset > 0.0f ? std::clamp(float(glm::dot(position - start, glm::dvec3(up))), 0.0f, stepOffset)
                          : 0.0f;

    // 3. Side pass: slide along walls and obstacles. A steep face met here counts
    // as in the down pass: a round capsule would otherwise slide up over its edge.
    if (sideMotion) {
        const PassResult sidePass = slide(side, minDist, sidePassIterations, Pass::side, start, againstWalls);
        if (sidePass.touched) {
            flags |= collisionSides;
        }
        touchedSteepFace = sidePass.touchedSteepFace;
    }

    // 4. Down pass: the downward motion and the step offset; a landing sets DOWN.
    // Against walls the capsule falls down them on the way; standing on one, it
    // falls down that one straight away rather than into it.
    const vec3 fallDirection = isWalkable(up) ? -up : fallLine(up);
    const vec3 downMotion = fallDirection * (climbed - std::min(dn, 0.0f));
    const PassResult down =
        slide(downMotion, minDist, againstWalls ? sidePassIterations : 1, Pass::down, start, againstWalls);
    if (down.touched && dn <= 0.0f) {
        flags |= collisionDown;
    }
    touchedSteepFace = touchedSteepFace || down.touchedSteepFace;
    return flags;
}

bool CapsuleController::isWalkable(vec3 normal) const
{
    return glm::dot(normal, worldUp) >= settings.slopeLimit;
}

vec3 CapsuleController::withoutRise(vec3 side) const
{
    return side - worldUp * std::max(glm::dot(side, worldUp), 0.0f);
}

vec3 CapsuleController::fallLine(vec3 normal) const
{
    const vec3 down = normal * glm::dot(normal, worldUp) - worldUp;
    const float downLength = glm::length(down);
    return downLength > 1e-6f ? down / downLength : vec3(0.0f);
}

vec3 CapsuleController::levelPart(vec3 normal) const
{
    const vec3 level = normal - worldUp * glm::dot(normal, worldUp);
    const float levelLength = glm::length(level);
    return levelLength > 1e-6f ? level / levelLength : normal;
}

CapsuleController::PassResult CapsuleController::slide(vec3 motion, float minDist, int maxIterations,
                                                       Pass pass, const glm::dvec3& start,
                                                       bool steepFacesAreWalls)
{
    PassResult result;
    const float motionLength = glm::length(motion);
    if (!(motionLength > 0.0f)) {
        return result;
    }
    const vec3 firstDirection = motion / motionLength;
    vec3 remaining = motion;
    bool fallingDownWall = false;
    for (int i = 0; i < maxIterations; ++i) {
        // Stop when what is left is too short or has turned against the pass.
        const float length = glm::length(remaining);
        if (length <= minDist || (!fallingDownWall && glm::dot(remaining, firstDirection) <= 0.0f)) {
            break;
        }
        const vec3 direction = remaining / length;
        Sweep hit;
        if (!sweep(direction, length, hit)) {
            position += glm::dvec3(direction) * double(length);
            break;
        }
        // A touch at distance 0 means we started inside: push out once and sweep again.
        if (hit.distance < touchingDistance && !recoveredThisMove) {
            recoveredThisMove = true;
            if (recoverFromOverlap()) {
                --i;
                continue;
            }
        }

        // A steep face treated as a wall is slid along level, never up. Falling, any
        // face too steep to stand on is a wall, however low it reaches.
        const bool steep = pass != Pass::up && isSteepFace(hit, start, false);
        const bool wall =
            steepFacesAreWalls && (steep || (pass == Pass::down && isSteepFace(hit, start, true)));
        result.touchedSteepFace = result.touchedSteepFace || steep;
        const vec3 slideNormal = wall ? levelPart(hit.normal) : hit.normal;

        // Advance to the contact offset in front of the surface, measured along the
        // motion; a slanted hit leaves less than that along the normal, so make it up,
        // along the slide normal: pushed off a leaning wall along its own normal, the
        // sled would creep up the wall a little every frame.
        const float advance = std::max(hit.distance - settings.contactOffset, 0.0f);
        position += glm::dvec3(direction) * double(advance);
        const float gap = (hit.distance - advance) * glm::dot(-direction, hit.normal);
        if (gap < settings.contactOffset - skinTolerance) {
            const vec3 pushNormal =
                glm::dot(slideNormal, hit.normal) >= wallPushLimit ? slideNormal : hit.normal;
            position += glm::dvec3(pushNormal) *
                        double((settings.contactOffset - gap) / glm::dot(pushNormal, hit.normal));
        }
        result.touched = true;
        // The hit actor may be released by the report: nothing of it is used afterwards.
        report(hit, direction, length);

        // Continue with the rest of the motion along the surface. Nothing stands on a
        // wall: the rest of a fall runs down it, since the capsule's own up (the last
        // ground normal, maybe the wall's) need not have any part along it.
        const vec3 rest = remaining - direction * advance;
        if (pass == Pass::down) {
            const vec3 downWall = wall ? fallLine(hit.normal) : vec3(0.0f);
            fallingDownWall = downWall != vec3(0.0f);
            if (!fallingDownWall) {
                break;  // landed
            }
            remaining = downWall * glm::length(rest);
        } else {
            remaining = rest - slideNormal * glm::dot(rest, slideNormal);
        }
    }
    return result;
}

bool CapsuleController::sweep(vec3 direction, float distance, Sweep& hit) const
{
    const float reach = distance + settings.contactOffset;
    const btVector3 from = toBullet(position);
    const btQuaternion turn = toBullet(rotation);
    SweepHit closest;
    if (!sweepClosest(manager.getScene().getCollisionWorld(), *sweepShape, btTransform(turn, from),
                      btTransform(turn, from + toBullet(direction) * reach), actor->object.get(), closest)) {
        return false;
    }
    hit.object = closest.object;
    hit.distance = closest.fraction * reach;
    const vec3 normal = toVec3(closest.normal);
    hit.normal = glm::dot(normal, direction) > 0.0f ? -normal : normal;
    hit.point = glm::dvec3(toVec3(closest.point));
    hit.triangleIndex = closest.triangleIndex >= 0 ? std::uint32_t(closest.triangleIndex) : noTriangle;
    return true;
}

bool CapsuleController::recoverFromOverlap()
{
    bool moved = false;
    for (int attempt = 0; attempt < recoveryAttempts; ++attempt) {
        // Out of the ground first (a push out of something else may have put us there).
        moved = liftOutOfGround() || moved;
        probe->setWorldTransform(btTransform(toBullet(rotation), toBullet(position)));
        OverlapCallback callback(probe.get(), actor->object.get());
        manager.getScene().getCollisionWorld().contactTest(probe.get(), callback);
        if (callback.depth <= recoveryTolerance) {
            return moved;
        }
        position += glm::dvec3(callback.normal) * double(callback.depth);
        moved = true;
    }
    return liftOutOfGround() || moved;
}

bool CapsuleController::liftOutOfGround()
{
    // The first surface straight above the centre.
    const btVector3 from = toBullet(position);
    const btVector3 to = from + toBullet(worldUp) * groundSearchHeight;
    FirstHit hit(actor->object.get());
    manager.getScene().getCollisionWorld().rayTest(from, to, hit);
    if (!hit.hasHit() || hit.triangle < 0) {
        return false;
    }
    const auto* owner = static_cast<const Actor*>(hit.m_collisionObject->getUserPointer());
    const auto* mesh = std::get_if<TriangleMeshGeometry>(&owner->getGeometry());
    if (!mesh || !mesh->mesh) {
        return false;
    }

    // Met from behind, it has the centre inside: lift it out in front, at the contact offset.
    const btTransform& transform = hit.m_collisionObject->getWorldTransform();
    btVector3 corners[3];
    for (int k = 0; k < 3; ++k) {
        corners[k] = transform * toBullet(mesh->mesh->getCorner(std::uint32_t(hit.triangle), k));
    }
    const btVector3 winding = (corners[1] - corners[0]).cross(corners[2] - corners[0]);
    if (winding.length2() <= SIMD_EPSILON || winding.dot(to - from) <= 0) {
        return false;
    }
    const vec3 front = toVec3(winding.normalized());
    const double reach = settings.radius + settings.contactOffset +
                         0.5 * settings.height * std::abs(glm::dot(upDirection, front));
    position += glm::dvec3(worldUp) * double(hit.m_closestHitFraction * groundSearchHeight) +
                glm::dvec3(front) * reach;
    return true;
}

bool CapsuleController::isSteepFace(const Sweep& hit, const glm::dvec3& startPosition, bool anyHeight) const
{
    // Heights and slopes against the world's up, whatever way the capsule is turned.
    const glm::dvec3 up(worldUp);
    const double lowestReach =
        0.5 * settings.height * std::abs(glm::dot(upDirection, worldUp)) + settings.radius;
    const double feet = glm::dot(startPosition, up) - lowestReach;
    const auto steepAndHigh = [&](vec3 faceNormal, double top) {
        // Faces turned downward are ceilings, not slopes; vertical ones count as steep
        // even when the up direction from the ground is off by a rounding error.
        const bool high = anyHeight || top - feet > settings.stepOffset;
        return glm::dot(faceNormal, worldUp) >= -verticalTolerance && !isWalkable(faceNormal) && high;
    };
    const auto heightOf = [&](const btVector3& p) { return glm::dot(glm::dvec3(toVec3(p)), up); };

    const Actor& touched = *static_cast<const Actor*>(hit.object->getUserPointer());
    const btTransform& transform = hit.object->getWorldTransform();

    // A mesh: the triangle's own normal and its highest corner.
    const auto* mesh = std::get_if<TriangleMeshGeometry>(&touched.getGeometry());
    if (mesh && hit.triangleIndex != noTriangle) {
        btVector3 corners[3];
        for (int k = 0; k < 3; ++k) {
            corners[k] = transform * toBullet(mesh->mesh->getCorner(hit.triangleIndex, k));
        }
        btVector3 normal = (corners[1] - corners[0]).cross(corners[2] - corners[0]);
        if (normal.length2() <= 0.0f) {
            return false;
        }
        normal.normalize();
        if (glm::dot(toVec3(normal), hit.normal) < 0.0f) {
            normal = -normal;
        }
        return steepAndHigh(toVec3(normal),
                            std::max({heightOf(corners[0]), heightOf(corners[1]), heightOf(corners[2])}));
    }

    // A box: every face the hit point lies on that faces us; at an edge the steep one counts.
    if (const auto* box = std::get_if<BoxGeometry>(&touched.getGeometry())) {
        const btVector3 extents = toBullet(box->halfExtents);
        const btVector3 local = transform.invXform(toBullet(vec3(hit.point)));
        bool onAFace = false;
        for (int axis = 0; axis < 3; ++axis) {
            for (const float sign : {-1.0f, 1.0f}) {
                if (std::abs(sign * local[axis] - extents[axis]) > boxFaceTolerance) {
                    continue;
                }
                btVector3 faceNormal(0, 0, 0);
                faceNormal[axis] = sign;
                const vec3 worldNormal = toVec3(transform.getBasis() * faceNormal);
                if (glm::dot(worldNormal, hit.normal) <= 0.0f) {
                    continue;
                }
                onAFace = true;
                // The face's highest corner.
                double top = -INFINITY;
                for (const float a : {-1.0f, 1.0f}) {
                    for (const float b : {-1.0f, 1.0f}) {
                        btVector3 corner = faceNormal * extents[axis];
                        corner[(axis + 1) % 3] = a * extents[(axis + 1) % 3];
                        corner[(axis + 2) % 3] = b * extents[(axis + 2) % 3];
                        top = std::max(top, heightOf(transform * corner));
                    }
                }
                if (steepAndHigh(worldNormal, top)) {
                    return true;
                }
            }
        }
        if (onAFace) {
            return false;
        }
    }

    // Anything else (a capsule): the contact normal at the contact point.
    return steepAndHigh(hit.normal, glm::dot(hit.point, up));
}

void CapsuleController::report(const Sweep& hit, vec3 direction, float length)
{
    if (!settings.report) {
        return;
    }
    auto* touched = static_cast<Actor*>(hit.object->getUserPointer());
    const auto fill = [&](ControllerHit& out) {
        out.controller = this;
        out.worldPos = hit.point;
        out.worldNormal = hit.normal;
        out.dir = direction;
        out.length = length;
    };
    if (touched->getController()) {
        ControllersHit controllersHit;
        fill(controllersHit);
        controllersHit.other = touched->getController();
        settings.report->onControllerHit(controllersHit);
        return;
    }
    ControllerShapeHit shapeHit;
    fill(shapeHit);
    shapeHit.actor = touched;
    shapeHit.triangleIndex = hit.triangleIndex;
    settings.report->onShapeHit(shapeHit);
}

void CapsuleController::syncActor()
{
    actor->pose = Pose(vec3(position), rotation);
    actor->object->setWorldTransform(btTransform(toBullet(rotation), toBullet(position)));
    if (actor->scene) {
        actor->scene->getCollisionWorld().updateSingleAabb(actor->object.get());
    }
}

}  // namespace frostline
