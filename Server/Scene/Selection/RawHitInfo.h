#pragma once
#include <Scene/View/ViewFragmentTransformer.h>
#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeRay3d.h>
#include <ZoGe/ZoGeVector3d.h>

namespace Brio {
class Object;
}
namespace Lumo::Graphics {
class GroupNode;
}

namespace Brio::Scene {

class ViewFragment;

/// The full description of one hit in the hit node's local space, with the view it came from;
/// the host fills it from what its sorter received and keeps it with a selection. Made by
/// make(), released by destroy().
class RawHitInfo {
public:
    static RawHitInfo* make();
    /// A deep copy of every field (a null original gives the defaults).
    static RawHitInfo* make(const RawHitInfo* other);
    void destroy();

    int id() const;
    void id(int id);
    const ZoGePoint3d& localHitPoint() const;
    void localHitPoint(const ZoGePoint3d& p);
    const ZoGePoint3d& localRayPoint() const;
    void localRayPoint(const ZoGePoint3d& p);
    const ZoGeRay3d& localRay() const;
    void localRay(const ZoGeRay3d& ray);
    const ZoGeVector3d& localNormal() const;
    void localNormal(const ZoGeVector3d& n);
    const ZoGeMatrix3d& localToWorldTransform() const;
    void localToWorldTransform(const ZoGeMatrix3d& m);
    const ViewFragmentTransformer& viewFragmentTransformer() const;
    void viewFragmentTransformer(const ViewFragmentTransformer& t);
    int hitPriority() const;
    void hitPriority(int p);
    int hitDepthPriority() const;
    void hitDepthPriority(int p);
    double hitTolerance() const;
    void hitTolerance(double t);
    // The view the hit came from; not owned, valid while the view exists.
    Brio::Object* view() const;
    void view(Brio::Object* view);
    ViewFragment* viewFragment() const;
    void viewFragment(ViewFragment* fragment);
    Lumo::Graphics::GroupNode* viewNode() const;
    void viewNode(Lumo::Graphics::GroupNode* node);
    Lumo::Graphics::GroupNode* viewFragmentNode() const;
    void viewFragmentNode(Lumo::Graphics::GroupNode* node);

    /// From the local ray's origin to the local ray point; computed once and kept.
    double localHitDistance() const;
    /// From the world ray's origin to the world ray point moved toward the viewer by the hit's
    /// depth priority (each unit a fixed step of screen depth, 2^-20 x 10); computed once and kept.
    double worldHitDistance() const;
    /// Re-expresses the hit in a new local space: points, ray and normal transformed by m, the
    /// local-to-world transform followed by m's inverse; the kept distances are dropped.
    void transform(const ZoGeMatrix3d& m);

private:
    RawHitInfo();
    ~RawHitInfo();
    RawHitInfo(const RawHitInfo&) = delete;
    RawHitInfo& operator=(const RawHitInfo&) = delete;
    struct Record;
    Record* m_record;
};

} // namespace Brio::Scene
