#include <Host/Model/Body.h>
#include <Host/Model/Component.h>
#include <Host/Model/Model.h>

#include <Lumo/Graphics/GroupNode.h>

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace Host {

Model::Model(std::string name) : m_name(std::move(name)) {
    addComponent(m_name);
}

Model::~Model() {
    // Assemblies before the parts they place, so no instance outlives its target.
    while (!m_components.empty())
        m_components.pop_back();
}

Component* Model::addComponent(const std::string& name) {
    m_components.push_back(std::make_unique<Component>(*this, nextId(), name));
    return m_components.back().get();
}

Component* Model::component(const std::string& name) const {
    for (const auto& c : m_components)
        if (c->name() == name)
            return c.get();
    return nullptr;
}

std::vector<Instance*> Model::instances() const {
    std::vector<Instance*> all;
    for (const auto& c : m_components)
        for (const auto& i : c->instances())
            all.push_back(i.get());
    return all;
}

namespace {

/// How many times each component is placed in the assembly, the root once.
std::unordered_map<const Component*, std::size_t> Placements(const Model& model) {
    std::unordered_map<const Component*, std::vector<const Component*>> parents;
    for (const auto& c : model.components())
        for (const auto& i : c->instances())
            parents[&i->target()].push_back(c.get());
    std::unordered_map<const Component*, std::size_t> memo;
    auto count = [&](auto&& self, const Component* c) -> std::size_t {
        if (auto it = memo.find(c); it != memo.end())
            return it->second;
        std::size_t n = c == &model.root() ? 1 : 0;
        for (const Component* p : parents[c])
            n += self(self, p);
        return memo[c] = n;
    };
    for (const auto& c : model.components())
        count(count, c.get());
    return memo;
}

struct Box {
    double lo[3] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                    std::numeric_limits<double>::max()};
    double hi[3] = {-std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                    -std::numeric_limits<double>::max()};
    bool empty() const { return lo[0] > hi[0]; }
    void add(double x, double y, double z) {
        const double p[3] = {x, y, z};
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], p[k]);
            hi[k] = std::max(hi[k], p[k]);
        }
    }
};

} // namespace

ModelCounts Model::counts() const {
    ModelCounts n;
    const auto placed = Placements(*this);
    n.components = m_components.size();
    for (const auto& c : m_components) {
        n.instances += c->instances().size();
        n.bodies += c->bodies().size();
        const std::size_t times = placed.at(c.get());
        for (const auto& b : c->bodies()) {
            n.uniqueTriangles += b->mesh()->triangleCount();
            n.triangles += b->mesh()->triangleCount() * times;
            n.occurrences += times;
            n.meshBytes += b->mesh()->memoryBytes();
        }
    }
    return n;
}

bool Model::bounds(double lo[3], double hi[3]) const {
    std::unordered_map<const Component*, Box> memo;
    auto boxOf = [&](auto&& self, const Component& c) -> Box {
        if (auto it = memo.find(&c); it != memo.end())
            return it->second;
        Box box;
        for (const auto& b : c.bodies()) {
            vec3f l, h;
            b->mesh()->bounds(l, h);
            box.add(l.x, l.y, l.z);
            box.add(h.x, h.y, h.z);
        }
        for (const auto& i : c.instances()) {
            const Box t = self(self, i->target());
            if (t.empty())
                continue;
            for (int k = 0; k < 8; ++k) {
                const Lumo::Objects::vec3<double> p(k & 1 ? t.hi[0] : t.lo[0], k & 2 ? t.hi[1] : t.lo[1],
                                                    k & 4 ? t.hi[2] : t.lo[2]);
                const auto q = i->transform().TransformPoint(p);
                box.add(q.x, q.y, q.z);
            }
        }
        return memo[&c] = box;
    };
    const Box all = boxOf(boxOf, root());
    if (all.empty())
        return false;
    std::copy(all.lo, all.lo + 3, lo);
    std::copy(all.hi, all.hi + 3, hi);
    return true;
}

Lumo::Graphics::GroupNode* Model::scene() {
    root().createScene();
    return root().groupNode();
}

} // namespace Host
