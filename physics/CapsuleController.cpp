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

// The deepest penetration of the grown capsule into anything but the controller's own actor.
struct OverlapCallback : btCollisionWorld::ContactResultCallback {
    OverlapCallback(const btCollisionObject* probe, const btCollisionObject* self) : probe(probe), self(self) {}

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
      grownShape(std::make_unique<btCapsuleShapeX>(settings.radius + settings.contactOffset, settings.height)),
      probe(std::make_unique<btCollisionObject>())
{
    actor.controller = this;
    actor.object->setCollisionFlags(btCollisionObject::CF_KINEMATIC_OBJECT);
    probe->setCollisionShape(grownShape.get());
    upDirection = glm::normalize(settings.upDirection);
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

    const glm::dvec3 start = position;
    bool touchedSteepFace = false;
    CollisionFlags flags = moveOnce(displacement, minDist, true, touchedSteepFace);
    if (touchedSteepFace) {
        // The step offset or a slide carried us onto a face too steep to walk:
        // do the move again with that face as a wall.
        position = start;
        bool ignored = false;
        flags = moveOnce(displacement, minDist, false, ignored);
    }
    syncActor();
    return flags;
}

CollisionFlags CapsuleController::moveOnce(vec3 displacement, float minDist, bool stepUp, bool& touchedSteepFace)
{
    // 1. Split the motion along the up direction.
    const vec3 up = upDirection;
    const float dn = glm::dot(displacement, up);
    const vec3 side = displacement - up * dn;
    const bool sideMotion = glm::any(glm::greaterThan(glm::abs(side), vec3(sideMotionEpsilon)));
    const float stepOffset = (stepUp && dn <= 0.0f && sideMotion) ? settings.stepOffset : 0.0f;
    const glm::dvec3 start = position;
    CollisionFlags flags = 0;
    touchedSteepFace = false;

    // 2. Up pass: the upward motion, or the step offset before a side motion.
    const vec3 upMotion = up * (std::max(dn, 0.0f) + stepOffset);
    if (slide(upMotion, minDist, sideMotion ? 1 : sidePassIterations, false, nullptr).touched) {
        flags |= collisionUp;
    }
    // Only the part of the step offset actually climbed (a ceiling may stop it) is taken off again.
    const float climbed =
        stepOffset > 0.0f ? std::clamp(float(glm::dot(position - start, glm::dvec3(up))), 0.0f, stepOffset) : 0.0f;

    // 3. Side pass: slide along walls and obstacles. A steep face met here counts
    // as in the down pass: a round capsule would otherwise slide up over its edge.
    if (sideMotion) {
        const PassResult sidePass = slide(side, minDist, sidePassIterations, !stepUp, stepUp ? &start : nullptr);
        if (sidePass.touched) {
            flags |= collisionSides;
        }
        touchedSteepFace = sidePass.touchedSteepFace;
    }

    // 4. Down pass: the downward motion and the step offset; a landing sets DOWN.
    const vec3 downMotion = up * (std::min(dn, 0.0f) - climbed);
    const PassResult down = slide(downMotion, minDist, 1, !stepUp, stepUp ? &start : nullptr);
    if (down.touched && dn <= 0.0f) {
        flags |= collisionDown;
    }
    touchedSteepFace = touchedSteepFace || down.touchedSteepFace;
    return flags;
}

CapsuleController::PassResult CapsuleController::slide(vec3 motion, float minDist, int maxIterations,
                                                       bool flattenNormals, const glm::dvec3* steepTestStart)
{
    PassResult result;
    const float motionLength = glm::length(motion);
    if (!(motionLength > 0.0f)) {
        return result;
    }
    const vec3 firstDirection = motion / motionLength;
    vec3 remaining = motion;
    for (int i = 0; i < maxIterations; ++i) {
        // Stop when what is left is too short or has turned against the pass.
        const float length = glm::length(remaining);
        if (length <= minDist || glm::dot(remaining, firstDirection) <= 0.0f) {
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

        // Advance to the contact offset in front of the surface, measured along the
        // motion; a slanted hit leaves less than that along the normal, so make it up.
        const float advance = std::max(hit.distance - settings.contactOffset, 0.0f);
        position += glm::dvec3(direction) * double(advance);
        const float gap = (hit.distance - advance) * glm::dot(-direction, hit.normal);
        if (gap < settings.contactOffset - skinTolerance) {
            position += glm::dvec3(hit.normal) * double(settings.contactOffset - gap);
        }
        result.touched = true;
        if (steepTestStart && isSteepFace(hit, *steepTestStart)) {
            result.touchedSteepFace = true;
        }
        const vec3 slideNormal = [&] {
            if (!flattenNormals) {
                return hit.normal;
            }
            const vec3 flat = hit.normal - upDirection * glm::dot(hit.normal, upDirection);
            const float flatLength = glm::length(flat);
            return flatLength > 1e-6f ? flat / flatLength : hit.normal;
        }();
        // The hit actor may be released by the report: nothing of it is used afterwards.
        report(hit, direction, length);

        // Continue with the rest of the motion along the surface.
        const vec3 rest = remaining - direction * advance;
        remaining = rest - slideNormal * glm::dot(rest, slideNormal);
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
        probe->setWorldTransform(btTransform(toBullet(rotation), toBullet(position)));
        OverlapCallback callback(probe.get(), actor->object.get());
        manager.getScene().getCollisionWorld().contactTest(probe.get(), callback);
        if (callback.depth <= recoveryTolerance) {
            break;
        }
        position += glm::dvec3(callback.normal) * double(callback.depth);
        moved = true;
    }
    return moved;
}

bool CapsuleController::isSteepFace(const Sweep& hit, const glm::dvec3& startPosition) const
{
    const glm::dvec3 up(upDirection);
    const double feet = glm::dot(startPosition, up) - (0.5 * settings.height + settings.radius);
    const auto steepAndHigh = [&](vec3 faceNormal, double top) {
        // Faces turned downward are ceilings, not slopes; vertical ones count as steep
        // even when the up direction from the ground is off by a rounding error.
        const float c = glm::dot(faceNormal, upDirection);
        return c >= -verticalTolerance && c < settings.slopeLimit && top - feet > settings.stepOffset;
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
        return steepAndHigh(toVec3(normal), std::max({heightOf(corners[0]), heightOf(corners[1]), heightOf(corners[2])}));
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
