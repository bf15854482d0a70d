#include <Host/Model/Mesh.h>

#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>

#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace Host {

using Lumo::Devices::IndexBufferBuilder;
using Lumo::Devices::SimpleMesh;
using Lumo::Devices::VertexBufferBuilder;
using Lumo::Objects::AutoPtr;

struct Mesh::Cache {
    std::mutex lock;
    AutoPtr<SimpleMesh> faces[16];
    bool tried[16] = {};
    AutoPtr<SimpleMesh> edges;
};

Mesh::Mesh() : m_cache(std::make_shared<Cache>()) {}
Mesh::Mesh(const Mesh& o)
    : positions(o.positions), normals(o.normals), triangles(o.triangles), edges(o.edges),
      m_cache(std::make_shared<Cache>()) {}
Mesh& Mesh::operator=(const Mesh& o) {
    if (this != &o) {
        positions = o.positions;
        normals = o.normals;
        triangles = o.triangles;
        edges = o.edges;
        m_cache = std::make_shared<Cache>();
    }
    return *this;
}
Mesh::~Mesh() = default;

void Mesh::bounds(vec3f& lo, vec3f& hi) const {
    lo = hi = vec3f();
    if (positions.empty())
        return;
    lo = hi = positions.front();
    for (const vec3f& p : positions)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], p[k]);
            hi[k] = std::max(hi[k], p[k]);
        }
}

bool Mesh::valid() const {
    const std::size_t n = positions.size();
    if (n == 0 || normals.size() != n || triangles.size() % 3 || edges.size() % 2 || triangles.empty())
        return false;
    auto inRange = [n](std::uint32_t i) { return i < n; };
    return std::all_of(triangles.begin(), triangles.end(), inRange) && std::all_of(edges.begin(), edges.end(), inRange);
}

std::size_t Mesh::memoryBytes() const {
    return (positions.capacity() + normals.capacity()) * sizeof(vec3f) +
           (triangles.capacity() + edges.capacity()) * sizeof(std::uint32_t);
}

namespace {

/// Triangles kept at each simplified level, as a share of the full mesh.
float ShareOf(int level) {
    switch (level) {
    case 13:
        return 0.5f;
    case 11:
        return 0.2f;
    case 8:
        return 0.05f;
    default:
        return 1.f;
    }
}

AutoPtr<SimpleMesh> MakeFaces(const Mesh& m, const std::vector<std::uint32_t>& triangles) {
    // Only the vertices the level uses, so coarse levels are small on the device too. Corners
    // that share a place but not a normal stay apart.
    constexpr std::uint32_t kUnused = ~0u;
    std::vector<std::uint32_t> remap(m.positions.size(), kUnused);
    std::size_t used = 0;
    for (std::uint32_t i : triangles)
        if (remap[i] == kUnused)
            remap[i] = std::uint32_t(used++);
    std::vector<vec3f> positions(used), normals(used);
    for (std::size_t i = 0; i < remap.size(); ++i)
        if (remap[i] != kUnused) {
            positions[remap[i]] = m.positions[i];
            normals[remap[i]] = m.normals[i];
        }
    VertexBufferBuilder vb(Lumo::Devices::eVertexPosition | Lumo::Devices::eVertexNormal);
    for (std::size_t i = 0; i < used; ++i)
        vb.AddVertex(positions[i], normals[i]);
    IndexBufferBuilder ib;
    ib.Reserve(int(triangles.size()));
    for (std::uint32_t i : triangles)
        ib.AddIndex(remap[i]);
    return AutoPtr<SimpleMesh>(SimpleMesh::Make(vb, ib));
}

} // namespace

SimpleMesh* Mesh::facesAt(int level) const {
    // Views ask for these levels only; any other falls back to the closest one made.
    if (level != 15 && level != 13 && level != 11 && level != 8)
        return nullptr;
    const float share = ShareOf(level);
    if (share < 1.f && triangleCount() < kLODThreshold)
        return nullptr;
    std::lock_guard<std::mutex> lock(m_cache->lock);
    if (m_cache->tried[level])
        return m_cache->faces[level].get();
    m_cache->tried[level] = true;
    if (!valid())
        return nullptr;
    if (share >= 1.f) {
        m_cache->faces[level] = MakeFaces(*this, triangles);
        return m_cache->faces[level].get();
    }
    std::vector<std::uint32_t> out(triangles.size());
    const std::size_t target = std::max<std::size_t>(3, std::size_t(float(triangles.size()) * share) / 3 * 3);
    std::size_t count = meshopt_simplify(out.data(), triangles.data(), triangles.size(), &positions[0].x,
                                         positions.size(), sizeof(vec3f), target, 0.02f, 0, nullptr);
    if (count > target * 2) // the shape resists: take the sloppy simplifier's answer
        count = meshopt_simplifySloppy(out.data(), triangles.data(), triangles.size(), &positions[0].x,
                                       positions.size(), sizeof(vec3f), target, 0.05f, nullptr);
    if (count < 3)
        return nullptr;
    out.resize(count);
    m_cache->faces[level] = MakeFaces(*this, out);
    return m_cache->faces[level].get();
}

SimpleMesh* Mesh::edgeMesh() const {
    if (edges.empty())
        return nullptr;
    std::lock_guard<std::mutex> lock(m_cache->lock);
    if (!m_cache->edges && valid()) {
        VertexBufferBuilder vb(Lumo::Devices::eVertexPosition);
        // Only the edge vertices: most of a body's vertices are inside its faces.
        std::unordered_map<std::uint32_t, std::uint32_t> index;
        IndexBufferBuilder ib;
        ib.Reserve(int(edges.size()));
        for (std::uint32_t i : edges) {
            auto [it, fresh] = index.try_emplace(i, std::uint32_t(index.size()));
            if (fresh)
                vb.AddVertex(positions[i]);
            ib.AddIndex(it->second);
        }
        m_cache->edges = AutoPtr<SimpleMesh>(SimpleMesh::Make(vb, ib, Lumo::Devices::ePrimLineList));
    }
    return m_cache->edges.get();
}

namespace {

struct Key {
    float x, y, z;
    bool operator==(const Key&) const = default;
};
struct KeyHash {
    std::size_t operator()(const Key& k) const {
        std::uint32_t a, b, c;
        std::memcpy(&a, &k.x, 4);
        std::memcpy(&b, &k.y, 4);
        std::memcpy(&c, &k.z, 4);
        return (std::size_t(a) * 73856093u) ^ (std::size_t(b) * 19349663u) ^ (std::size_t(c) * 83492791u);
    }
};

vec3f FaceNormal(const std::vector<vec3f>& p, const std::uint32_t* t) {
    return (p[t[1]] - p[t[0]]).Cross(p[t[2]] - p[t[0]]);
}

} // namespace

std::vector<std::uint32_t> FeatureEdges(const std::vector<vec3f>& positions,
                                        const std::vector<std::uint32_t>& triangles, float creaseDegrees) {
    // Weld: every position maps to the first vertex at the same place (-0 and 0 alike).
    std::vector<std::uint32_t> weld(positions.size());
    std::unordered_map<Key, std::uint32_t, KeyHash> first;
    first.reserve(positions.size());
    for (std::uint32_t i = 0; i < positions.size(); ++i) {
        const vec3f& p = positions[i];
        weld[i] = first.try_emplace(Key{p.x + 0.f, p.y + 0.f, p.z + 0.f}, i).first->second;
    }
    struct Use {
        std::uint32_t a, b;     // the original indices of the first use, for output
        std::int64_t face = -1; // first triangle
        std::int64_t other = -1;
        int count = 0;
    };
    std::unordered_map<std::uint64_t, Use> uses;
    uses.reserve(triangles.size());
    const std::size_t faces = triangles.size() / 3;
    for (std::size_t f = 0; f < faces; ++f)
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t a = triangles[f * 3 + k], b = triangles[f * 3 + (k + 1) % 3];
            if (a >= positions.size() || b >= positions.size())
                continue;
            const std::uint32_t wa = weld[a], wb = weld[b];
            if (wa == wb)
                continue; // degenerate
            const std::uint64_t key = (std::uint64_t(std::min(wa, wb)) << 32) | std::max(wa, wb);
            Use& u = uses[key];
            if (u.count++ == 0) {
                u.a = a;
                u.b = b;
                u.face = std::int64_t(f);
            } else if (u.count == 2) {
                u.other = std::int64_t(f);
            }
        }
    const float cosLimit = std::cos(creaseDegrees * 3.14159265f / 180.f);
    std::vector<std::pair<std::uint64_t, const Use*>> found;
    for (const auto& [key, u] : uses) {
        bool edge = u.count != 2;
        if (!edge) {
            const vec3f n1 = FaceNormal(positions, &triangles[std::size_t(u.face) * 3]).Normalized();
            const vec3f n2 = FaceNormal(positions, &triangles[std::size_t(u.other) * 3]).Normalized();
            edge = n1.Dot(n2) < cosLimit;
        }
        if (edge)
            found.emplace_back(key, &u);
    }
    // Deterministic order whatever the hash map did.
    std::sort(found.begin(), found.end(), [](const auto& l, const auto& r) { return l.first < r.first; });
    std::vector<std::uint32_t> out;
    out.reserve(found.size() * 2);
    for (const auto& [key, u] : found) {
        out.push_back(u->a);
        out.push_back(u->b);
    }
    return out;
}

std::vector<vec3f> VertexNormals(const std::vector<vec3f>& positions, const std::vector<std::uint32_t>& triangles) {
    std::vector<vec3f> n(positions.size());
    for (std::size_t f = 0; f + 2 < triangles.size(); f += 3) {
        const std::uint32_t* t = &triangles[f];
        if (t[0] >= positions.size() || t[1] >= positions.size() || t[2] >= positions.size())
            continue;
        const vec3f fn = FaceNormal(positions, t);
        for (int k = 0; k < 3; ++k)
            n[t[k]] += fn;
    }
    for (vec3f& v : n)
        v = v.Normalized();
    return n;
}

} // namespace Host

namespace Host {

MeshPtr BuildMesh(const std::vector<vec3f>& positions, const std::vector<std::uint32_t>& triangles,
                  float creaseDegrees) {
    const std::size_t n = positions.size();
    // Weld coincident corners so smoothing sees across seams.
    std::vector<std::uint32_t> weld(n);
    std::vector<vec3f> welded;
    {
        std::unordered_map<Key, std::uint32_t, KeyHash> first;
        first.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            const vec3f& p = positions[i];
            auto [it, fresh] = first.try_emplace(Key{p.x + 0.f, p.y + 0.f, p.z + 0.f}, std::uint32_t(welded.size()));
            if (fresh)
                welded.push_back(p);
            weld[i] = it->second;
        }
    }
    std::vector<std::uint32_t> tris;
    std::vector<vec3f> faceNormal; // area-weighted
    tris.reserve(triangles.size());
    for (std::size_t f = 0; f + 2 < triangles.size(); f += 3) {
        const std::uint32_t a = triangles[f], b = triangles[f + 1], c = triangles[f + 2];
        if (a >= n || b >= n || c >= n)
            continue;
        const std::uint32_t wa = weld[a], wb = weld[b], wc = weld[c];
        if (wa == wb || wb == wc || wa == wc)
            continue;
        const vec3f fn = (welded[wb] - welded[wa]).Cross(welded[wc] - welded[wa]);
        if (!(fn.Dot(fn) > 0.f))
            continue; // zero area (or not a number)
        tris.insert(tris.end(), {wa, wb, wc});
        faceNormal.push_back(fn);
    }
    if (tris.empty())
        return nullptr;
    // Triangles around each welded vertex (compressed adjacency).
    std::vector<std::uint32_t> start(welded.size() + 1, 0);
    for (std::uint32_t v : tris)
        ++start[v + 1];
    for (std::size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    std::vector<std::uint32_t> around(tris.size()), fill(start.begin(), start.end() - 1);
    for (std::size_t i = 0; i < tris.size(); ++i)
        around[fill[tris[i]]++] = std::uint32_t(i / 3);
    const float cosLimit = std::cos(creaseDegrees * 3.14159265f / 180.f);
    std::vector<vec3f> unit(faceNormal.size());
    for (std::size_t f = 0; f < faceNormal.size(); ++f)
        unit[f] = faceNormal[f].Normalized();

    auto mesh = std::make_shared<Mesh>();
    std::unordered_map<std::uint64_t, std::uint32_t> corner; // (vertex, normal key) -> output index
    corner.reserve(tris.size());
    mesh->triangles.reserve(tris.size());
    for (std::size_t i = 0; i < tris.size(); ++i) {
        const std::uint32_t v = tris[i], f = std::uint32_t(i / 3);
        vec3f sum;
        for (std::uint32_t k = start[v]; k < start[v + 1]; ++k)
            if (unit[around[k]].Dot(unit[f]) >= cosLimit)
                sum += faceNormal[around[k]];
        const vec3f normal = sum.Normalized();
        // Corners whose smoothing groups agree share a vertex: the group's first face names it.
        std::uint32_t group = f;
        for (std::uint32_t k = start[v]; k < start[v + 1]; ++k)
            if (unit[around[k]].Dot(unit[f]) >= cosLimit) {
                group = std::min(group, around[k]);
                break;
            }
        const std::uint64_t key = (std::uint64_t(v) << 32) | group;
        auto [it, fresh] = corner.try_emplace(key, std::uint32_t(mesh->positions.size()));
        if (fresh) {
            mesh->positions.push_back(welded[v]);
            mesh->normals.push_back(normal);
        }
        mesh->triangles.push_back(it->second);
    }
    mesh->edges = FeatureEdges(mesh->positions, mesh->triangles, creaseDegrees);
    return mesh;
}

} // namespace Host
