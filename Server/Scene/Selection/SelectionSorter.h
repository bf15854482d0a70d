#pragma once
#include <Scene/Selection/SelectionHit.h>

#include <vector>

class ZoGeMatrix3d;
class ZoGeRay3d;

namespace Brio::Scene {

class NodePath;
class ViewFragmentTransformer;

/// The host's collector of a pick's hits: the selector hands it every accepted intersection;
/// ranking, keeping the closest or keeping all is the host's business.
class SelectionSorter {
public:
    virtual ~SelectionSorter();
    /// One accepted intersection: the path from the view node to the hit node, one hit for a
    /// point pick (none for a rectangle), the pick ray in the hit node's space, the hit node's
    /// local-to-world transform and the fragment's transformer.
    virtual void addHits(const NodePath& path, const std::vector<SelectionHit>& hits, const ZoGeRay3d& localRay,
                         const ZoGeMatrix3d& localToWorld, const ViewFragmentTransformer& transformer) = 0;
    /// The host's own use (ordering what it kept); the selector never calls it.
    virtual void sortHits() = 0;
};

} // namespace Brio::Scene
