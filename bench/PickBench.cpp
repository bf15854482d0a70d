// Picking's data structures: building a mesh's hierarchy, nearest-facet rays into one big mesh,
// and point picks over a generated assembly (parts x triangles per part x instances): each
// instance's world box tested first, the ray then taken into the part's space and run through
// the part's one shared hierarchy. Figures: microseconds per pick, build time per million
// triangles, and hierarchy memory.
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/MeshBVH.h>
#include <Lumo/Objects/Mat4.h>

#include <benchmark/benchmark.h>
#ifdef BRIO_HAVE_EMBREE
#include <embree3/rtcore.h>
#endif

#include <chrono>
#include <cmath>
#include <random>
#include <vector>

namespace {

using Lumo::Devices::SimpleMesh;
using Lumo::Graphics::MeshBVH;
using Lumo::Objects::AutoPtr;
using vec3d = MeshBVH::vec3d;
using mat4d = Lumo::Objects::mat4<double>;

/// A closed torus of about `triangles` triangles; part p gets its own radii.
AutoPtr<SimpleMesh> Part(int p, int triangles) {
    const int minor = std::max(3, int(std::sqrt(triangles / 4.0))), major = std::max(3, triangles / 2 / minor);
    const float R = 0.45f + 0.04f * float(p % 7), r = 0.1f + 0.03f * float(p % 5), pi = 3.14159265f;
    Lumo::Devices::VertexBufferBuilder vb(Lumo::Devices::eVertexPosition);
    for (int i = 0; i <= major; ++i)
        for (int j = 0; j <= minor; ++j) {
            const float u = 2 * pi * float(i) / float(major), v = 2 * pi * float(j) / float(minor);
            const float d = R + r * std::cos(v);
            vb.AddVertex({d * std::cos(u), r * std::sin(v), d * std::sin(u)});
        }
    Lumo::Devices::IndexBufferBuilder ib;
    for (int i = 0; i < major; ++i)
        for (int j = 0; j < minor; ++j) {
            const std::uint32_t a = std::uint32_t(i * (minor + 1) + j), b = a + std::uint32_t(minor + 1);
            ib.AddTriangle(a, a + 1, b);
            ib.AddTriangle(a + 1, b + 1, b);
        }
    return AutoPtr<SimpleMesh>(SimpleMesh::Make(vb, ib));
}

void BM_Build(benchmark::State& state) {
    AutoPtr<SimpleMesh> mesh = Part(0, int(state.range(0)));
    std::size_t bytes = 0, prims = 0;
    for (auto _ : state) {
        AutoPtr<MeshBVH> bvh = MeshBVH::Build(*mesh);
        bytes = bvh->MemoryBytes();
        prims = bvh->PrimitiveCount();
    }
    state.counters["bytes_per_tri"] = double(bytes) / double(prims);
}
BENCHMARK(BM_Build)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_NearestInOneMesh(benchmark::State& state) {
    AutoPtr<SimpleMesh> mesh = Part(0, int(state.range(0)));
    AutoPtr<MeshBVH> bvh = MeshBVH::For(*mesh);
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> any(-0.7, 0.7);
    std::vector<MeshBVH::Ray> rays(1000);
    for (auto& r : rays)
        r = {{any(rng), 2, any(rng)}, {0, -1, 0}};
    std::size_t i = 0, hits = 0;
    for (auto _ : state) {
        MeshBVH::Hit hit;
        hits += bvh->Nearest(rays[i++ % rays.size()], 1e9, false, hit);
    }
    state.counters["hit_share"] = double(hits) / double(state.iterations());
}
BENCHMARK(BM_NearestInOneMesh)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

#ifdef BRIO_HAVE_EMBREE
/// The same mesh in an Embree scene of one triangle geometry (float positions, as ours).
struct EmbreeMesh {
    RTCDevice device = rtcNewDevice(nullptr);
    RTCScene scene = rtcNewScene(device);
    explicit EmbreeMesh(const SimpleMesh& mesh) {
        RTCGeometry g = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
        const int n = mesh.VertexCount(), stride = mesh.Format()->Stride();
        auto* v = static_cast<float*>(rtcSetNewGeometryBuffer(g, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                                              3 * sizeof(float), std::size_t(n)));
        for (int i = 0; i < n; ++i)
            for (int k = 0; k < 3; ++k)
                v[3 * i + k] = mesh.VertexData()[i * stride + k];
        const int t = mesh.IndexCount() / 3;
        auto* idx = static_cast<unsigned*>(rtcSetNewGeometryBuffer(g, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                                                                   3 * sizeof(unsigned), std::size_t(t)));
        for (int i = 0; i < 3 * t; ++i)
            idx[i] = mesh.IndexData()[i];
        rtcCommitGeometry(g);
        rtcAttachGeometry(scene, g);
        rtcReleaseGeometry(g);
        rtcCommitScene(scene);
    }
    ~EmbreeMesh() {
        rtcReleaseScene(scene);
        rtcReleaseDevice(device);
    }
};

void BM_EmbreeBuild(benchmark::State& state) {
    AutoPtr<SimpleMesh> mesh = Part(0, int(state.range(0)));
    for (auto _ : state)
        EmbreeMesh built(*mesh);
}
BENCHMARK(BM_EmbreeBuild)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_EmbreeNearestInOneMesh(benchmark::State& state) {
    AutoPtr<SimpleMesh> mesh = Part(0, int(state.range(0)));
    EmbreeMesh e(*mesh);
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> any(-0.7f, 0.7f);
    std::vector<std::pair<float, float>> at(1000);
    for (auto& p : at)
        p = {any(rng), any(rng)};
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    std::size_t i = 0, hits = 0;
    for (auto _ : state) {
        const auto& p = at[i++ % at.size()];
        RTCRayHit rh{};
        rh.ray.org_x = p.first;
        rh.ray.org_y = 2;
        rh.ray.org_z = p.second;
        rh.ray.dir_y = -1;
        rh.ray.tfar = 1e9f;
        rh.ray.mask = ~0u;
        rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
        rtcIntersect1(e.scene, &context, &rh);
        hits += rh.hit.geomID != RTC_INVALID_GEOMETRY_ID;
    }
    state.counters["hit_share"] = double(hits) / double(state.iterations());
}
BENCHMARK(BM_EmbreeNearestInOneMesh)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
#endif

/// Point picks over an assembly seen from above: parts x triangles x instances on a grid.
void BM_AssemblyPointPick(benchmark::State& state) {
    const int parts = int(state.range(0)), triangles = int(state.range(1)), instances = int(state.range(2));
    const auto t0 = std::chrono::steady_clock::now();
    std::vector<AutoPtr<SimpleMesh>> meshes;
    std::vector<AutoPtr<MeshBVH>> bvhs;
    std::size_t bvhBytes = 0;
    for (int p = 0; p < parts; ++p) {
        meshes.push_back(Part(p, triangles));
        bvhs.push_back(MeshBVH::For(*meshes.back()));
        bvhBytes += bvhs.back()->MemoryBytes();
    }
    const double buildS = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    struct Placed {
        mat4d toPart; // world to part space
        double lo[3], hi[3];
        int part;
    };
    const int side = int(std::ceil(std::sqrt(double(instances))));
    std::vector<Placed> placed(static_cast<std::size_t>(instances));
    for (int i = 0; i < instances; ++i) {
        const mat4d m =
            mat4d::Rotation({0, 1, 0}, 0.37 * i) * mat4d::Translation({2.0 * (i % side), 0, 2.0 * (i / side)});
        Placed& p = placed[std::size_t(i)];
        m.Inverse(p.toPart);
        p.part = i % parts;
        const auto box = meshes[std::size_t(p.part)]->Box();
        for (int k = 0; k < 3; ++k) {
            p.lo[k] = 1e300;
            p.hi[k] = -1e300;
        }
        for (int c = 0; c < 8; ++c) {
            const auto q = m.TransformPoint({c & 1 ? box.Max().x : box.Min().x, c & 2 ? box.Max().y : box.Min().y,
                                             c & 4 ? box.Max().z : box.Min().z});
            for (int k = 0; k < 3; ++k) {
                p.lo[k] = std::min(p.lo[k], q[k]);
                p.hi[k] = std::max(p.hi[k], q[k]);
            }
        }
    }
    // A coarse grid over the instances' boxes stands in for the walk's box pruning.
    const double cell = 2.0;
    std::vector<std::vector<int>> grid(std::size_t(side * side));
    for (int i = 0; i < instances; ++i) {
        const Placed& p = placed[std::size_t(i)];
        for (int gx = std::max(0, int(std::floor(p.lo[0] / cell + 0.5)));
             gx <= std::min(side - 1, int(std::floor(p.hi[0] / cell + 0.5))); ++gx)
            for (int gz = std::max(0, int(std::floor(p.lo[2] / cell + 0.5)));
                 gz <= std::min(side - 1, int(std::floor(p.hi[2] / cell + 0.5))); ++gz)
                grid[std::size_t(gz * side + gx)].push_back(i);
    }
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> ux(-1, 2.0 * side - 1);
    std::vector<vec3d> starts(1000);
    for (auto& s : starts)
        s = {ux(rng), 5, ux(rng)};
    std::size_t n = 0, hits = 0;
    for (auto _ : state) {
        const vec3d o = starts[n++ % starts.size()];
        const int gx = std::clamp(int(std::floor(o.x / cell + 0.5)), 0, side - 1),
                  gz = std::clamp(int(std::floor(o.z / cell + 0.5)), 0, side - 1);
        double best = 1e300;
        bool found = false;
        for (int i : grid[std::size_t(gz * side + gx)]) {
            const Placed& p = placed[std::size_t(i)];
            if (o.x < p.lo[0] || o.x > p.hi[0] || o.z < p.lo[2] || o.z > p.hi[2])
                continue;
            MeshBVH::Ray local;
            local.origin = p.toPart.TransformPoint(o);
            local.direction = p.toPart.TransformVector({0, -1, 0});
            MeshBVH::Hit hit;
            if (bvhs[std::size_t(p.part)]->Nearest(local, best, false, hit)) {
                best = hit.t;
                found = true;
            }
        }
        hits += found;
    }
    state.counters["hit_share"] = double(hits) / double(state.iterations());
    state.counters["build_s"] = buildS;
    state.counters["bvh_MiB"] = double(bvhBytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_AssemblyPointPick)->Args({100, 10000, 1000})->Args({2, 100, 4})->Unit(benchmark::kMicrosecond);

} // namespace
