#include <Lumo/Graphics/MeshBVH.h>

#ifdef BRIO_HAVE_EMBREE
#include <embree3/rtcore.h>
#endif

#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexFormat.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

namespace Lumo::Graphics {

using Lumo::Devices::SimpleMesh;
using Lumo::Objects::AutoPtr;
using vec3f = Lumo::Objects::vec3<float>;
using vec3d = MeshBVH::vec3d;

namespace {

std::atomic<std::uint64_t> s_builds{0};
constexpr std::uint32_t kLeafSize = 4;

vec3d D(const vec3f& v) {
    return {v.x, v.y, v.z};
}

/// The primitives of a mesh as a plain list: strips and fans unrolled, indices checked.
void Primitives(const SimpleMesh& mesh, int& corners, std::vector<std::uint32_t>& out) {
    using namespace Lumo::Devices;
    const std::uint32_t vertices = std::uint32_t(mesh.VertexCount());
    std::vector<std::uint32_t> idx;
    if (mesh.IsIndexed())
        idx.assign(mesh.IndexData(), mesh.IndexData() + mesh.IndexCount());
    else
        for (std::uint32_t i = 0; i < vertices; ++i)
            idx.push_back(i);
    auto ok = [&](std::initializer_list<std::uint32_t> l) {
        return std::all_of(l.begin(), l.end(), [&](std::uint32_t i) { return i < vertices; });
    };
    switch (mesh.PrimitiveType()) {
    case ePrimTriangleList:
        corners = 3;
        for (std::size_t i = 0; i + 2 < idx.size(); i += 3)
            if (ok({idx[i], idx[i + 1], idx[i + 2]}))
                out.insert(out.end(), {idx[i], idx[i + 1], idx[i + 2]});
        break;
    case ePrimTriangleStrip:
        corners = 3;
        for (std::size_t i = 0; i + 2 < idx.size(); ++i)
            if (ok({idx[i], idx[i + 1], idx[i + 2]}))
                out.insert(out.end(), {idx[i + (i & 1)], idx[i + 1 - (i & 1)], idx[i + 2]});
        break;
    case ePrimTriangleFan:
        corners = 3;
        for (std::size_t i = 1; i + 1 < idx.size(); ++i)
            if (ok({idx[0], idx[i], idx[i + 1]}))
                out.insert(out.end(), {idx[0], idx[i], idx[i + 1]});
        break;
    case ePrimLineList:
        corners = 2;
        for (std::size_t i = 0; i + 1 < idx.size(); i += 2)
            if (ok({idx[i], idx[i + 1]}))
                out.insert(out.end(), {idx[i], idx[i + 1]});
        break;
    case ePrimLineStrip:
        corners = 2;
        for (std::size_t i = 0; i + 1 < idx.size(); ++i)
            if (ok({idx[i], idx[i + 1]}))
                out.insert(out.end(), {idx[i], idx[i + 1]});
        break;
    case ePrimPointList:
        corners = 1;
        for (std::uint32_t i : idx)
            if (i < vertices)
                out.push_back(i);
        break;
    }
}

/// Entry and exit of the ray through a box grown by r; false when it misses within [0, tMax].
bool Slab(const float lo[3], const float hi[3], double r, const MeshBVH::Ray& ray, const vec3d& inv, double tMax,
          double& tNear) {
    double t0 = 0, t1 = tMax;
    for (int k = 0; k < 3; ++k) {
        const double a = (double(lo[k]) - r - ray.origin[k]) * inv[k], b = (double(hi[k]) + r - ray.origin[k]) * inv[k];
        if (std::isnan(a) || std::isnan(b)) {
            // Parallel to the slab: inside it or not at all.
            if (ray.origin[k] < double(lo[k]) - r || ray.origin[k] > double(hi[k]) + r)
                return false;
            continue;
        }
        t0 = std::max(t0, std::min(a, b));
        t1 = std::min(t1, std::max(a, b));
        if (t0 > t1)
            return false;
    }
    tNear = t0;
    return true;
}

} // namespace

#ifdef BRIO_HAVE_EMBREE
namespace {
RTCDevice KernelDevice() {
    static RTCDevice device = rtcNewDevice(nullptr); // one for the process, made on first use
    return device;
}
} // namespace
#endif

bool MeshBVH::HasRayKernel() {
#ifdef BRIO_HAVE_EMBREE
    return KernelDevice() != nullptr;
#else
    return false;
#endif
}

MeshBVH::~MeshBVH() {
#ifdef BRIO_HAVE_EMBREE
    if (void* kernel = m_kernel.load(std::memory_order_acquire))
        rtcReleaseScene(static_cast<RTCScene>(kernel));
#endif
}

void* MeshBVH::rayKernel() const {
#ifdef BRIO_HAVE_EMBREE
    if (void* kernel = m_kernel.load(std::memory_order_acquire))
        return kernel;
    RTCDevice device = KernelDevice();
    if (!device || m_kind != eFacets)
        return nullptr;
    RTCScene scene = rtcNewScene(device);
    rtcSetSceneFlags(scene, RTC_SCENE_FLAG_ROBUST); // no ray slips between two triangles
    RTCGeometry geometry = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
    auto* v = static_cast<float*>(rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                                          3 * sizeof(float), m_positions.size()));
    auto* i = static_cast<std::uint32_t*>(rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                                                                  3 * sizeof(std::uint32_t), m_indices.size() / 3));
    if (!v || !i) {
        rtcReleaseGeometry(geometry);
        rtcReleaseScene(scene);
        return nullptr;
    }
    for (std::size_t k = 0; k < m_positions.size(); ++k) {
        v[3 * k] = m_positions[k].x;
        v[3 * k + 1] = m_positions[k].y;
        v[3 * k + 2] = m_positions[k].z;
    }
    std::copy(m_indices.begin(), m_indices.end(), i);
    rtcCommitGeometry(geometry);
    rtcAttachGeometry(scene, geometry);
    rtcReleaseGeometry(geometry);
    rtcCommitScene(scene);
    void* expected = nullptr;
    if (!m_kernel.compare_exchange_strong(expected, scene, std::memory_order_acq_rel)) {
        rtcReleaseScene(scene); // another thread made it first
        return expected;
    }
    return scene;
#else
    return nullptr;
#endif
}

bool MeshBVH::nearestThroughKernel(void* kernel, const Ray& ray, double tMax, Hit& hit) const {
#ifdef BRIO_HAVE_EMBREE
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    RTCRayHit rh{};
    rh.ray.org_x = float(ray.origin.x);
    rh.ray.org_y = float(ray.origin.y);
    rh.ray.org_z = float(ray.origin.z);
    rh.ray.dir_x = float(ray.direction.x);
    rh.ray.dir_y = float(ray.direction.y);
    rh.ray.dir_z = float(ray.direction.z);
    rh.ray.tnear = 0;
    rh.ray.tfar = float(std::min(tMax, double(std::numeric_limits<float>::max())));
    rh.ray.mask = ~0u;
    rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
    rtcIntersect1(static_cast<RTCScene>(kernel), &context, &rh);
    if (rh.hit.geomID == RTC_INVALID_GEOMETRY_ID)
        return false;
    // The kernel finds the triangle in floats; the hit itself is taken again in doubles.
    if (hitPrimitive(rh.hit.primID, ray, std::numeric_limits<double>::max(), false, hit) && hit.t <= tMax)
        return true;
    const vec3d a = Corner(int(rh.hit.primID), 0), b = Corner(int(rh.hit.primID), 1), c = Corner(int(rh.hit.primID), 2);
    hit.t = std::min(double(rh.ray.tfar), tMax);
    hit.distance = 0;
    hit.primitive = int(rh.hit.primID);
    hit.point = ray.origin + ray.direction * hit.t;
    hit.normal = (b - a).Cross(c - a).Normalized();
    hit.u = 0;
    return true;
#else
    (void)kernel, (void)ray, (void)tMax, (void)hit;
    return false;
#endif
}

std::uint64_t MeshBVH::BuildCount() {
    return s_builds.load(std::memory_order_relaxed);
}

std::size_t MeshBVH::MemoryBytes() const {
    return sizeof(*this) + m_positions.capacity() * sizeof(vec3f) +
           (m_indices.capacity() + m_primitives.capacity()) * sizeof(std::uint32_t) + m_nodes.capacity() * sizeof(Node);
}

AutoPtr<MeshBVH> MeshBVH::For(SimpleMesh& mesh) {
    if (AutoPtr<Lumo::Objects::ARefCounted> kept = mesh.PickData())
        if (auto* bvh = dynamic_cast<MeshBVH*>(kept.get()))
            return AutoPtr<MeshBVH>(bvh);
    AutoPtr<MeshBVH> made = Build(mesh);
    if (made)
        mesh.PickData(made.get());
    return made;
}

AutoPtr<MeshBVH> MeshBVH::Build(const SimpleMesh& mesh) {
    AutoPtr<MeshBVH> bvh(new MeshBVH);
    Primitives(mesh, bvh->m_corners, bvh->m_indices);
    bvh->m_kind = bvh->m_corners == 3 ? eFacets : bvh->m_corners == 2 ? eSegments : ePoints;
    const std::size_t count = bvh->m_indices.size() / std::size_t(bvh->m_corners);
    if (count == 0)
        return {};
    bvh->m_positions.resize(std::size_t(mesh.VertexCount()));
    for (int i = 0; i < mesh.VertexCount(); ++i)
        bvh->m_positions[std::size_t(i)] = mesh.Position(i);
    std::vector<float> centroids(count * 3);
    for (std::size_t p = 0; p < count; ++p)
        for (int k = 0; k < 3; ++k) {
            float sum = 0;
            for (int c = 0; c < bvh->m_corners; ++c)
                sum += bvh->m_positions[bvh->m_indices[p * std::size_t(bvh->m_corners) + std::size_t(c)]][k];
            centroids[p * 3 + std::size_t(k)] = sum / float(bvh->m_corners);
        }
    bvh->build(centroids);
    s_builds.fetch_add(1, std::memory_order_relaxed);
    return bvh;
}

void MeshBVH::build(std::vector<float>& centroids) {
    const std::uint32_t count = std::uint32_t(centroids.size() / 3);
    m_primitives.resize(count);
    for (std::uint32_t i = 0; i < count; ++i)
        m_primitives[i] = i;
    m_nodes.reserve(2 * (count / kLeafSize + 1));
    split(0, count, centroids, 0);
    m_nodes.shrink_to_fit();
}

std::uint32_t MeshBVH::split(std::uint32_t begin, std::uint32_t end, std::vector<float>& centroids, int depth) {
    const std::uint32_t at = std::uint32_t(m_nodes.size());
    m_nodes.push_back({});
    Node node{};
    for (int k = 0; k < 3; ++k) {
        node.lo[k] = std::numeric_limits<float>::max();
        node.hi[k] = -std::numeric_limits<float>::max();
    }
    float clo[3] = {node.lo[0], node.lo[1], node.lo[2]}, chi[3] = {node.hi[0], node.hi[1], node.hi[2]};
    for (std::uint32_t i = begin; i < end; ++i) {
        const std::uint32_t p = m_primitives[i];
        for (int c = 0; c < m_corners; ++c) {
            const vec3f& v = m_positions[m_indices[std::size_t(p) * std::size_t(m_corners) + std::size_t(c)]];
            for (int k = 0; k < 3; ++k) {
                node.lo[k] = std::min(node.lo[k], v[k]);
                node.hi[k] = std::max(node.hi[k], v[k]);
            }
        }
        for (int k = 0; k < 3; ++k) {
            clo[k] = std::min(clo[k], centroids[std::size_t(p) * 3 + std::size_t(k)]);
            chi[k] = std::max(chi[k], centroids[std::size_t(p) * 3 + std::size_t(k)]);
        }
    }
    int axis = 0;
    for (int k = 1; k < 3; ++k)
        if (chi[k] - clo[k] > chi[axis] - clo[axis])
            axis = k;
    // A leaf when small, or when every centroid sits at one place (no split separates them).
    if (end - begin <= kLeafSize || !(chi[axis] > clo[axis]) || depth > 60) {
        node.first = begin;
        node.count = end - begin;
        m_nodes[at] = node;
        return at;
    }
    const std::uint32_t mid = begin + (end - begin) / 2;
    std::nth_element(m_primitives.begin() + begin, m_primitives.begin() + mid, m_primitives.begin() + end,
                     [&](std::uint32_t a, std::uint32_t b) {
                         return centroids[std::size_t(a) * 3 + std::size_t(axis)] <
                                centroids[std::size_t(b) * 3 + std::size_t(axis)];
                     });
    split(begin, mid, centroids, depth + 1); // the left child follows its parent
    node.first = split(mid, end, centroids, depth + 1);
    node.count = 0;
    m_nodes[at] = node;
    return at;
}

bool MeshBVH::hitPrimitive(std::uint32_t p, const Ray& ray, double tMax, bool cullBack, Hit& hit) const {
    const std::uint32_t* c = &m_indices[std::size_t(p) * std::size_t(m_corners)];
    if (m_kind == eFacets) {
        // Moller-Trumbore, in doubles: parts far from the origin keep their precision.
        const vec3d a = D(m_positions[c[0]]), b = D(m_positions[c[1]]), cc = D(m_positions[c[2]]);
        const vec3d e1 = b - a, e2 = cc - a;
        const vec3d pv = ray.direction.Cross(e2);
        const double det = e1.Dot(pv);
        if (det == 0 || (cullBack && det < 0))
            return false;
        const double invDet = 1.0 / det;
        const vec3d tv = ray.origin - a;
        const double u = tv.Dot(pv) * invDet;
        if (u < 0 || u > 1)
            return false;
        const vec3d qv = tv.Cross(e1);
        const double v = ray.direction.Dot(qv) * invDet;
        if (v < 0 || u + v > 1)
            return false;
        const double t = e2.Dot(qv) * invDet;
        if (t < 0 || t > tMax)
            return false;
        hit.t = t;
        hit.distance = 0;
        hit.primitive = int(p);
        hit.point = ray.origin + ray.direction * t;
        hit.normal = e1.Cross(e2).Normalized();
        hit.u = 0;
        return true;
    }
    const double dd = ray.direction.Dot(ray.direction);
    if (m_kind == ePoints) {
        const vec3d q = D(m_positions[c[0]]);
        const double t = std::clamp((q - ray.origin).Dot(ray.direction) / dd, 0.0, tMax);
        const double dist = (ray.origin + ray.direction * t - q).Length();
        if (dist > ray.radius + ray.slope * t)
            return false;
        hit = {t, dist, int(p), q, {}, 0};
        return true;
    }
    // Closest approach of the ray (t in [0, tMax]) and the segment (u in [0, 1]).
    const vec3d a = D(m_positions[c[0]]), b = D(m_positions[c[1]]);
    const vec3d e = b - a, w = ray.origin - a;
    const double ee = e.Dot(e), de = ray.direction.Dot(e), dw = ray.direction.Dot(w), ew = e.Dot(w);
    const double denom = dd * ee - de * de;
    double u = ee > 0 ? std::clamp(denom > 1e-12 * dd * ee ? (dd * ew - de * dw) / denom : 0.0, 0.0, 1.0) : 0.0;
    double t = std::clamp((a + e * u - ray.origin).Dot(ray.direction) / dd, 0.0, tMax);
    if (ee > 0) // once more from the ray's side, for clamped ends
        u = std::clamp((ray.origin + ray.direction * t - a).Dot(e) / ee, 0.0, 1.0);
    t = std::clamp((a + e * u - ray.origin).Dot(ray.direction) / dd, 0.0, tMax);
    const vec3d onSegment = a + e * u;
    const double dist = (ray.origin + ray.direction * t - onSegment).Length();
    if (dist > ray.radius + ray.slope * t)
        return false;
    hit = {t, dist, int(p), onSegment, {}, u};
    return true;
}

bool MeshBVH::Nearest(const Ray& ray, double tMax, bool cullBack, Hit& hit) const {
    if (m_nodes.empty())
        return false;
    if (m_kind == eFacets && !cullBack)
        if (void* kernel = rayKernel())
            return nearestThroughKernel(kernel, ray, tMax, hit);
    const vec3d inv(1.0 / ray.direction.x, 1.0 / ray.direction.y, 1.0 / ray.direction.z);
    double best = tMax;
    bool found = false;
    std::uint32_t stack[128];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const Node& n = m_nodes[stack[--top]];
        const double grow = m_kind == eFacets ? 0.0 : ray.radius + ray.slope * best;
        double tNear;
        if (!Slab(n.lo, n.hi, grow, ray, inv, best, tNear))
            continue;
        if (n.count) {
            for (std::uint32_t i = n.first; i < n.first + n.count; ++i) {
                Hit h;
                if (hitPrimitive(m_primitives[i], ray, best, cullBack, h) && (!found || h.t < hit.t)) {
                    hit = h;
                    best = h.t;
                    found = true;
                }
            }
            continue;
        }
        // Nearer child last on the stack, so it is searched first and tightens `best` early.
        const std::uint32_t left = std::uint32_t(&n - m_nodes.data()) + 1, right = n.first;
        double tl = 0, tr = 0;
        const bool hl = Slab(m_nodes[left].lo, m_nodes[left].hi, grow, ray, inv, best, tl);
        const bool hr = Slab(m_nodes[right].lo, m_nodes[right].hi, grow, ray, inv, best, tr);
        if (top + 2 > 128)
            continue; // deeper than any tree built here
        if (hl && hr) {
            stack[top++] = tl < tr ? right : left;
            stack[top++] = tl < tr ? left : right;
        } else if (hl) {
            stack[top++] = left;
        } else if (hr) {
            stack[top++] = right;
        }
    }
    return found;
}

namespace {

struct Clip {
    double x, y, w;
};
constexpr double kNearW = 1e-9;

Clip ToClip(const Lumo::Objects::mat4<double>& m, const vec3d& p) {
    const auto q = m.Transform(Lumo::Objects::vec4<double>(p.x, p.y, p.z, 1.0));
    return {q.x, q.y, q.w};
}

/// The polygon's part in front of the eye, as points in normalised device coordinates.
std::vector<std::pair<double, double>> InFront(const Clip* v, int n) {
    std::vector<std::pair<double, double>> out;
    for (int i = 0; i < n; ++i) {
        const Clip& a = v[i];
        const Clip& b = v[(i + 1) % n];
        if (a.w > kNearW)
            out.emplace_back(a.x / a.w, a.y / a.w);
        if (n > 1 && (a.w > kNearW) != (b.w > kNearW) && (n > 2 || i == 0)) {
            const double s = (kNearW - a.w) / (b.w - a.w);
            const double x = a.x + (b.x - a.x) * s, y = a.y + (b.y - a.y) * s;
            out.emplace_back(x / kNearW, y / kNearW);
        }
    }
    return out;
}

/// Whether a convex polygon (or segment, or point) in device coordinates meets the rectangle:
/// separating axes of the rectangle, then of the polygon's edges.
bool Overlaps(const std::vector<std::pair<double, double>>& p, const double r[4]) {
    if (p.empty())
        return false;
    double lo[2] = {p[0].first, p[0].second}, hi[2] = {lo[0], lo[1]};
    for (const auto& q : p) {
        lo[0] = std::min(lo[0], q.first);
        hi[0] = std::max(hi[0], q.first);
        lo[1] = std::min(lo[1], q.second);
        hi[1] = std::max(hi[1], q.second);
    }
    if (hi[0] < r[0] || lo[0] > r[2] || hi[1] < r[1] || lo[1] > r[3])
        return false;
    const std::size_t n = p.size();
    const double corners[4][2] = {{r[0], r[1]}, {r[2], r[1]}, {r[2], r[3]}, {r[0], r[3]}};
    for (std::size_t i = 0; i < n && n > 1; ++i) {
        const auto& a = p[i];
        const auto& b = p[(i + 1) % n];
        const double nx = -(b.second - a.second), ny = b.first - a.first;
        double pmin = std::numeric_limits<double>::max(), pmax = -pmin;
        for (const auto& q : p) {
            const double d = nx * q.first + ny * q.second;
            pmin = std::min(pmin, d);
            pmax = std::max(pmax, d);
        }
        double rmin = std::numeric_limits<double>::max(), rmax = -rmin;
        for (const auto& c : corners) {
            const double d = nx * c[0] + ny * c[1];
            rmin = std::min(rmin, d);
            rmax = std::max(rmax, d);
        }
        if (pmax < rmin || rmax < pmin)
            return false;
    }
    return true;
}

bool Inside(double x, double y, const double r[4]) {
    return x >= r[0] && x <= r[2] && y >= r[1] && y <= r[3];
}

} // namespace

MeshBVH::EContainment MeshBVH::containPrimitive(std::uint32_t p, const Lumo::Objects::mat4<double>& m,
                                                const double rect[4]) const {
    const std::uint32_t* c = &m_indices[std::size_t(p) * std::size_t(m_corners)];
    Clip v[3];
    bool allIn = true;
    for (int i = 0; i < m_corners; ++i) {
        v[i] = ToClip(m, D(m_positions[c[i]]));
        allIn = allIn && v[i].w > kNearW && Inside(v[i].x / v[i].w, v[i].y / v[i].w, rect);
    }
    if (allIn)
        return eInside;
    return Overlaps(InFront(v, m_corners), rect) ? eCrossing : eOutside;
}

MeshBVH::EContainment MeshBVH::Contain(const Lumo::Objects::mat4<double>& m, double x0, double y0, double x1, double y1,
                                       bool stopAtTouch) const {
    const double rect[4] = {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
    if (m_nodes.empty())
        return eOutside;
    bool touched = false, allInside = true;
    std::uint32_t stack[128];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const std::uint32_t at = stack[--top];
        const Node& n = m_nodes[at];
        // The box's corners on the screen decide whole subtrees when they are all in front.
        bool front = true, in = true;
        double lo[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
        double hi[2] = {-lo[0], -lo[1]};
        for (int k = 0; k < 8; ++k) {
            const Clip q = ToClip(m, {k & 1 ? n.hi[0] : n.lo[0], k & 2 ? n.hi[1] : n.lo[1], k & 4 ? n.hi[2] : n.lo[2]});
            if (q.w <= kNearW) {
                front = in = false;
                break;
            }
            const double x = q.x / q.w, y = q.y / q.w;
            in = in && Inside(x, y, rect);
            lo[0] = std::min(lo[0], x);
            hi[0] = std::max(hi[0], x);
            lo[1] = std::min(lo[1], y);
            hi[1] = std::max(hi[1], y);
        }
        if (front && in) {
            touched = true;
            if (stopAtTouch || !allInside)
                return eCrossing;
            continue;
        }
        if (front && (hi[0] < rect[0] || lo[0] > rect[2] || hi[1] < rect[1] || lo[1] > rect[3])) {
            allInside = false;
            if (touched)
                return eCrossing;
            continue;
        }
        if (n.count) {
            for (std::uint32_t i = n.first; i < n.first + n.count; ++i) {
                const EContainment c = containPrimitive(m_primitives[i], m, rect);
                touched = touched || c != eOutside;
                allInside = allInside && c == eInside;
                if (touched && (stopAtTouch || !allInside))
                    return eCrossing;
            }
            continue;
        }
        if (top + 2 > 128)
            continue;
        stack[top++] = n.first;
        stack[top++] = at + 1;
    }
    if (allInside)
        return eInside;
    return touched ? eCrossing : eOutside;
}

} // namespace Lumo::Graphics
