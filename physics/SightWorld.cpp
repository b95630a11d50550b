#include "physics/SightWorld.h"

#include <cmath>

#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>
#include <btBulletCollisionCommon.h>

#include "physics/BulletConvert.h"
#include "physics/ConvexSweep.h"
#include "physics/TriangleMesh.h"

namespace frostline {

namespace {

/// How far inTheOpen looks from a point (world units): past the highest mountain and
/// out of the land. Its rays lean a little off the axes so that they do not run along
/// the grid lines of the snow's mesh or the faces of a box, where two triangles would
/// both count one crossing.
constexpr float lookOutDistance = 4000.0f;
const vec3 lookUp = glm::normalize(vec3(0.0123f, 1.0f, 0.0071f));
const vec3 lookOut[] = {lookUp, glm::normalize(vec3(-0.0093f, -1.0f, 0.0137f)),
                        glm::normalize(vec3(1.0f, 0.0111f, 0.0151f)),
                        glm::normalize(vec3(-0.0131f, 0.0089f, -1.0f))};

/// Every crossing of the surfaces of one kind along a ray, both ways.
class Crossings : public btCollisionWorld::AllHitsRayResultCallback {
public:
    Crossings(const btVector3& from, const btVector3& to, SightWorld::Kind kind)
        : AllHitsRayResultCallback(from, to), kind(kind)
    {
        m_flags = btTriangleRaycastCallback::kF_KeepUnflippedNormal;
    }

    bool needsCollision(btBroadphaseProxy* proxy) const override
    {
        const auto* object = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        return object->getUserIndex() == static_cast<int>(kind) &&
               AllHitsRayResultCallback::needsCollision(proxy);
    }

    /// Surfaces left (crossed from behind) less surfaces entered (crossed from the front).
    int winding() const
    {
        int count = 0;
        for (int i = 0; i < m_hitNormalWorld.size(); ++i) {
            count += m_hitNormalWorld[i].dot(m_rayToWorld - m_rayFromWorld) > 0 ? 1 : -1;
        }
        return count;
    }

private:
    SightWorld::Kind kind;
};

/// The winding of the surfaces of kind round point, along one direction.
int windingAlong(btCollisionWorld& world, vec3 point, vec3 direction, SightWorld::Kind kind)
{
    Crossings ray(toBullet(point), toBullet(point + direction * lookOutDistance), kind);
    world.rayTest(ray.m_rayFromWorld, ray.m_rayToWorld, ray);
    return ray.winding();
}

/// The closest front face along a ray, leaving out one owner's surfaces.
class FrontFaceRay : public btCollisionWorld::ClosestRayResultCallback {
public:
    FrontFaceRay(const btVector3& from, const btVector3& to, const void* ignore)
        : ClosestRayResultCallback(from, to), ignore(ignore)
    {
        m_flags = btTriangleRaycastCallback::kF_FilterBackfaces;
    }

    bool needsCollision(btBroadphaseProxy* proxy) const override
    {
        const auto* object = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        return object->getUserPointer() != ignore && ClosestRayResultCallback::needsCollision(proxy);
    }

private:
    const void* ignore;
};

}  // namespace

SightWorld::SightWorld()
    : configuration(std::make_unique<btDefaultCollisionConfiguration>()),
      dispatcher(std::make_unique<btCollisionDispatcher>(configuration.get())),
      broadphase(std::make_unique<btDbvtBroadphase>()),
      collisionWorld(
          std::make_unique<btCollisionWorld>(dispatcher.get(), broadphase.get(), configuration.get()))
{
}

SightWorld::~SightWorld()
{
    // The objects leave the world before they, their shapes and the world go.
    for (const std::unique_ptr<btCollisionObject>& object : objects) {
        collisionWorld->removeCollisionObject(object.get());
    }
    objects.clear();
    meshes.clear();
}

void SightWorld::addSurface(std::shared_ptr<const TriangleMesh> mesh, const mat4& modelMatrix,
                            const void* owner, Kind kind)
{
    if (!mesh) {
        return;
    }
    auto object = std::make_unique<btCollisionObject>();
    object->setCollisionShape(mesh->getShape());
    const glm::mat3 turn(modelMatrix);
    object->setWorldTransform(
        btTransform(btMatrix3x3(turn[0][0], turn[1][0], turn[2][0], turn[0][1], turn[1][1], turn[2][1],
                                turn[0][2], turn[1][2], turn[2][2]),
                    toBullet(vec3(modelMatrix[3]))));
    object->setUserPointer(const_cast<void*>(owner));
    object->setUserIndex(static_cast<int>(kind));
    collisionWorld->addCollisionObject(object.get());
    objects.push_back(std::move(object));
    meshes.push_back(std::move(mesh));
}

float SightWorld::clearance(vec3 from, vec3 to, float radius) const
{
    const float distance = glm::length(to - from);
    if (distance <= 0.0f) {
        return 0.0f;
    }
    btSphereShape ball(radius);
    const btTransform start(btQuaternion::getIdentity(), toBullet(from));
    const btTransform end(btQuaternion::getIdentity(), toBullet(to));
    SweepHit hit;
    if (!sweepClosest(*collisionWorld, ball, start, end, nullptr, hit, true)) {
        return distance;
    }
    return hit.fraction * distance;
}

float SightWorld::reach(vec3 from, vec3 to, const void* ignore) const
{
    FrontFaceRay ray(toBullet(from), toBullet(to), ignore);
    collisionWorld->rayTest(ray.m_rayFromWorld, ray.m_rayToWorld, ray);
    return (ray.hasHit() ? ray.m_closestHitFraction : 1.0f) * glm::length(to - from);
}

bool SightWorld::lineOfSight(vec3 from, vec3 to, const void* ignore) const
{
    FrontFaceRay ray(toBullet(from), toBullet(to), ignore);
    collisionWorld->rayTest(ray.m_rayFromWorld, ray.m_rayToWorld, ray);
    return !ray.hasHit();
}

bool SightWorld::inTheOpen(vec3 point) const
{
    // Going out of a body crosses a face from behind, going into one from the front:
    // the first count less the second along a ray into the open is the number of
    // bodies round the point. Under the ground the ray up leaves it once.
    if (windingAlong(*collisionWorld, point, lookUp, Kind::Ground) > 0) {
        return false;
    }
    // A body holds the point only if it does so every way out.
    for (const vec3& direction : lookOut) {
        if (windingAlong(*collisionWorld, point, direction, Kind::Body) <= 0) {
            return true;
        }
    }
    return false;
}

}  // namespace frostline
