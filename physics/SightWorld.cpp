#include "physics/SightWorld.h"

#include <cmath>

#include <btBulletCollisionCommon.h>
#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>

#include "physics/BulletConvert.h"
#include "physics/ConvexSweep.h"
#include "physics/TriangleMesh.h"

namespace frostline {

namespace {

/// How far up bodiesAround looks (world units): past the highest mountain. The ray
/// leans a little off the vertical so that it does not run along the grid lines of
/// the snow's mesh, where two triangles would both count one crossing.
constexpr float lookUpDistance = 4000.0f;
const vec3 lookUpDirection = glm::normalize(vec3(0.0123f, 1.0f, 0.0071f));

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
      collisionWorld(std::make_unique<btCollisionWorld>(dispatcher.get(), broadphase.get(), configuration.get()))
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

void SightWorld::addSurface(std::shared_ptr<const TriangleMesh> mesh, const mat4& modelMatrix, const void* owner)
{
    if (!mesh) {
        return;
    }
    auto object = std::make_unique<btCollisionObject>();
    object->setCollisionShape(mesh->getShape());
    const glm::mat3 turn(modelMatrix);
    object->setWorldTransform(btTransform(
        btMatrix3x3(turn[0][0], turn[1][0], turn[2][0], turn[0][1], turn[1][1], turn[2][1], turn[0][2],
                    turn[1][2], turn[2][2]),
        toBullet(vec3(modelMatrix[3]))));
    object->setUserPointer(const_cast<void*>(owner));
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

bool SightWorld::lineOfSight(vec3 from, vec3 to, const void* ignore) const
{
    FrontFaceRay ray(toBullet(from), toBullet(to), ignore);
    collisionWorld->rayTest(ray.m_rayFromWorld, ray.m_rayToWorld, ray);
    return !ray.hasHit();
}

int SightWorld::bodiesAround(vec3 point) const
{
    // Going out of a body crosses a face from behind, going into one from the front:
    // the count of the first less the second along a ray into the open sky.
    const btVector3 from = toBullet(point);
    const btVector3 to = toBullet(point + lookUpDirection * lookUpDistance);
    btCollisionWorld::AllHitsRayResultCallback ray(from, to);
    ray.m_flags = btTriangleRaycastCallback::kF_KeepUnflippedNormal;
    collisionWorld->rayTest(from, to, ray);
    int count = 0;
    for (int i = 0; i < ray.m_hitNormalWorld.size(); ++i) {
        count += ray.m_hitNormalWorld[i].dot(to - from) > 0 ? 1 : -1;
    }
    return count;
}

}  // namespace frostline
