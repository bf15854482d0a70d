#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>

#include <vector>

namespace Lumo::Graphics {

class ARenderNode;

/// What a pick hit: the node and the point (world coordinates) with its depth.
class IIntersection : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    ~IIntersection() override;
    ARenderNode* Node() const { return m_node; }
    const Lumo::Objects::vec3<double>& Point() const { return m_point; }
    double Depth() const { return m_depth; }
    void Depth(double d) { m_depth = d; }

    /// The nodes the walk came down from the picked world's root to the hit node (inclusive).
    const std::vector<Lumo::Objects::AutoPtr<ARenderNode>>& Path() const { return m_path; }
    void Path(std::vector<Lumo::Objects::AutoPtr<ARenderNode>> path);
    /// The geometry's placement in the world (row vectors); identity unless the stage set it.
    const Lumo::Objects::mat4<double>& WorldMatrix() const { return m_world; }
    void WorldMatrix(const Lumo::Objects::mat4<double>& m) { m_world = m; }
    /// The facet's unit normal in world coordinates; zero for edges, vertices and whole items.
    const Lumo::Objects::vec3<double>& Normal() const { return m_normal; }
    void Normal(const Lumo::Objects::vec3<double>& n) { m_normal = n; }

protected:
    IIntersection(ARenderNode* node, const Lumo::Objects::vec3<double>& point, double depth);

private:
    ARenderNode* m_node; // one reference
    Lumo::Objects::vec3<double> m_point;
    double m_depth;
    std::vector<Lumo::Objects::AutoPtr<ARenderNode>> m_path;
    Lumo::Objects::mat4<double> m_world;
    Lumo::Objects::vec3<double> m_normal;
};

/// The intersections of one pick, in the order the stage leaves them (nearest first).
class IntersectionList : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static IntersectionList* Make() { return new IntersectionList; }
    int Count() const { return int(m_items.size()); }
    IIntersection* At(int i) const { return m_items[std::size_t(i)].get(); }
    void Add(IIntersection* hit) { m_items.emplace_back(hit); }
    void Clear() { m_items.clear(); }
    /// Nearest first; equal depths keep their order.
    void SortByDepth();
    /// Keeps only the nearest.
    void KeepNearest();

protected:
    IntersectionList() = default;

private:
    std::vector<Lumo::Objects::AutoPtr<IIntersection>> m_items;
};

} // namespace Lumo::Graphics
