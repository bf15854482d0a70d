// Off-screen frames of generated assemblies (parts x triangles per part x instances) at
// 1024 x 768 on the OpenGL device, against a floor measured in the same run: the same meshes
// drawn by a plain OpenGL loop (buffers made once, one draw per instance, no scene layer).
// Every heap allocation is counted (global operator new), not only the graphics heap.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/FragmentGraph.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/ScriptInterpreter.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Objects/HeapOperators.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/View/FragmentLibrary.h>
#include <Scene/View/FragmentParameters.h>
#include <Scene/View/RenderParams.h>

#include "../tests/Scene/Walk/CountingNew.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
/// Every heap allocation so far on this thread (where frames are made): through operator
/// new, and the graphics heap's own blocks.
std::uint64_t Allocations() {
    return std::uint64_t(CountingNew::allocations) + std::uint64_t(Lumo::Objects::HeapOperators::Stats().totalBlocks);
}
} // namespace

namespace {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

constexpr int kWidth = 1024, kHeight = 768;

Lumo::Devices::GLDevice* Device() {
    static AutoPtr<Lumo::Devices::GLDevice> device(Lumo::Devices::GLDevice::MakeOffscreen());
    return device;
}

/// A closed ellipsoid of about `triangles` triangles; part p gets its own proportions.
AutoPtr<Lumo::Devices::SimpleMesh> MakePart(int p, int triangles) {
    using namespace Lumo::Devices;
    const int stacks = std::max(3, int(std::sqrt(triangles / 4.0))), slices = 2 * stacks;
    const vec3<float> r(0.6f + 0.05f * float(p % 7), 0.5f + 0.04f * float(p % 5), 0.55f + 0.03f * float(p % 3));
    AutoPtr<VertexFormat> f(VertexFormat::Make(eVertexPosition | eVertexNormal));
    VertexBufferBuilder vb(f);
    const float pi = 3.14159265f;
    for (int i = 0; i <= stacks; ++i)
        for (int j = 0; j <= slices; ++j) {
            const float phi = pi * float(i) / float(stacks), theta = 2 * pi * float(j) / float(slices);
            const vec3<float> u(std::sin(phi) * std::cos(theta), std::cos(phi), std::sin(phi) * std::sin(theta));
            const vec3<float> n = vec3<float>(u.x / r.x, u.y / r.y, u.z / r.z).Normalized();
            vb.AddVertex(vec3<float>(u.x * r.x, u.y * r.y, u.z * r.z), n);
        }
    IndexBufferBuilder ib;
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            const int a = i * (slices + 1) + j, b = a + slices + 1;
            ib.AddTriangle(a, a + 1, b);
            ib.AddTriangle(a + 1, b + 1, b);
        }
    return AutoPtr<SimpleMesh>(SimpleMesh::Make(vb, ib, ePrimTriangleList));
}

mat4<float> Placement(int i, int side) {
    const float x = float(i % side) * 2.0f, z = float(i / side) * 2.0f;
    return mat4<float>::Rotation({0, 1, 0}, 0.37f * float(i)) * mat4<float>::Translation({x, 0, z});
}

vec4<float> ColourOf(int i) {
    return {0.35f + 0.5f * float((i * 37) % 11) / 10.0f, 0.35f + 0.5f * float((i * 17) % 7) / 6.0f,
            0.35f + 0.5f * float((i * 7) % 5) / 4.0f, 1.0f};
}

/// Looks at the grid of instances from above and in front, fitted to the viewport.
void FitView(Lumo::Devices::ADrawContext& dc, int side) {
    const float extent = float(side) * 2.0f;
    const vec3<float> centre(extent / 2 - 1, 0, extent / 2 - 1);
    const float dist = extent * 1.1f + 3.0f;
    mat4<float> view = mat4<float>::Translation(centre * -1.0f) * mat4<float>::Rotation({1, 0, 0}, -0.7f) *
                       mat4<float>::Translation({0, 0, dist});
    const float n = 0.1f, f = dist * 3, y = 1.0f / std::tan(0.45f);
    dc.ViewMatrix(view);
    dc.ProjMatrix(
        mat4<float>(y * kHeight / kWidth, 0, 0, 0, 0, y, 0, 0, 0, 0, f / (f - n), 1, 0, 0, -n * f / (f - n), 0));
    dc.Viewport(kWidth, kHeight);
}

struct Assembly {
    std::vector<AutoPtr<Lumo::Devices::SimpleMesh>> parts;
    AutoPtr<Lumo::Graphics::GroupNode> root;
    int side = 1;
    double bytesPerInstance = 0;
};

Assembly Build(int parts, int triangles, int instances) {
    Assembly a;
    for (int p = 0; p < parts; ++p)
        a.parts.push_back(MakePart(p, triangles));
    std::vector<AutoPtr<Lumo::Graphics::GeometryNode>> bodies;
    for (auto& mesh : a.parts) {
        AutoPtr<Lumo::Graphics::GeometryNode> body = Lumo::Scene::MakeGeometryNode(false);
        Brio::Scene::NodeData::make(body, nullptr, Lumo::Scene::eGeometryNode, false)->clientType(16);
        body->RenderGeometry(mesh);
        bodies.push_back(body);
    }
    a.side = int(std::ceil(std::sqrt(double(instances))));
    a.root = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    Brio::Scene::NodeData::make(a.root, nullptr, Lumo::Scene::eGroupNode, false);
    const std::size_t before = mallinfo2().uordblks;
    for (int i = 0; i < instances; ++i) {
        AutoPtr<Lumo::Graphics::GroupNode> inst = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
        Brio::Scene::NodeData::make(inst, nullptr, Lumo::Scene::eGroupNode, false)->clientType(1);
        Lumo::Scene::AttributeSet* set = Lumo::Scene::GetAttributeSet(inst);
        set->SetAttribute(
            AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::TransformAttribute::Make(Placement(i, a.side), false)));
        set->SetAttribute(AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::ColorEffectAttribute::Make(ColourOf(i))));
        inst->AddChild(bodies[size_t(i % parts)]);
        a.root->AddChild(inst);
    }
    a.bytesPerInstance = double(mallinfo2().uordblks - before) / double(instances);
    return a;
}

struct Targets {
    AutoPtr<Lumo::Devices::RenderTarget> color, depth;
    Targets() {
        color = Lumo::Devices::RenderTarget::Make(kWidth, kHeight, Lumo::Devices::eTargetRGBA8, 1);
        depth = Lumo::Devices::RenderTarget::Make(kWidth, kHeight, Lumo::Devices::eTargetDepthStencil, 1);
    }
};

void SetUp() {
    static bool done = [] {
        Brio::Scene::NodeData::installRenderCallbacks();
        Brio::Scene::FragmentLibrary::initializeFragmentLibrary();
        return true;
    }();
    (void)done;
}

/// The scene layer: the shaded-model graph of the fragment library, as a view runs it.
void BM_SceneFrame(benchmark::State& state) {
    SetUp();
    Assembly a = Build(int(state.range(0)), int(state.range(1)), int(state.range(2)));
    Targets t;
    AutoPtr<Lumo::Devices::ADrawContext> dc(Lumo::Devices::ADrawContext::Make(Device()));
    FitView(*dc, a.side);
    Lumo::Graphics::ScriptInterpreter interpreter(*dc);
    interpreter.DefaultTargets(t.color, t.depth);
    AutoPtr<Brio::Scene::RenderParams> params = Brio::Scene::RenderParams::make();
    params->transparentCollectionEnabled(false);
    AutoPtr<Lumo::Devices::FragmentGraph> graph(Brio::Scene::FragmentLibrary::createVisualEffectGraph(*params));
    using Brio::Scene::FragmentParameters;
    FragmentParameters::setArg(graph, L"world", static_cast<Lumo::Graphics::ARenderNode*>(a.root.get()));
    FragmentParameters::setArg(graph, L"final", t.color.get());
    FragmentParameters::setArg(graph, L"depthstencil", t.depth.get());
    auto& draw = Device()->Draw();
    auto frame = [&] {
        draw.BindTargets(t.color, t.depth);
        draw.Clear(Lumo::Devices::eClearColor | Lumo::Devices::eClearDepth, {0.914f, 0.914f, 0.914f, 1});
        interpreter.Run(graph);
        draw.Finish();
    };
    frame(); // uploads, programs and pools warm up
    std::uint64_t allocations = 0, frames = 0;
    for (auto _ : state) {
        const std::uint64_t before = Allocations();
        const auto t0 = std::chrono::steady_clock::now();
        frame();
        const auto t1 = std::chrono::steady_clock::now();
        allocations += Allocations() - before;
        ++frames;
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    state.counters["allocs/frame"] = double(allocations) / double(frames);
    state.counters["allocs/instance"] = double(allocations) / double(frames) / double(state.range(2));
    state.counters["bytes/instance"] = a.bytesPerInstance;
}

/// The walk and the draw alone: the faces pass's agents over the assembly, split.
void BM_PipeFrame(benchmark::State& state) {
    SetUp();
    Assembly a = Build(int(state.range(0)), int(state.range(1)), int(state.range(2)));
    Targets t;
    AutoPtr<Lumo::Devices::ADrawContext> dc(Lumo::Devices::ADrawContext::Make(Device()));
    FitView(*dc, a.side);
    AutoPtr<Lumo::Graphics::ScriptPipeRenderer> r(Lumo::Graphics::ScriptPipeRenderer::Make());
    r->SetAgents(L"::StdOpaqueAgents");
    auto& draw = Device()->Draw();
    double walk = 0, total = 0;
    std::uint64_t allocations = 0, frames = 0;
    auto frame = [&] {
        draw.BindTargets(t.color, t.depth);
        draw.Clear(Lumo::Devices::eClearColor | Lumo::Devices::eClearDepth, {0.914f, 0.914f, 0.914f, 1});
        r->Render(*dc, a.root);
        draw.Finish();
    };
    frame();
    for (auto _ : state) {
        const std::uint64_t before = Allocations();
        const auto t0 = std::chrono::steady_clock::now();
        frame();
        const auto t1 = std::chrono::steady_clock::now();
        allocations += Allocations() - before;
        ++frames;
        const double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
        total += ms;
        walk += r->Stats().walkMs;
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["walk_ms"] = walk / double(frames);
    state.counters["draw_ms"] = (total - walk) / double(frames);
    state.counters["allocs/frame"] = double(allocations) / double(frames);
    state.counters["items"] = double(r->Stats().items);
}

/// The floor: the same meshes, one draw per instance with its matrix and colour, a lit
/// program, buffers made once; no scene layer at all.
void BM_FloorFrame(benchmark::State& state) {
    SetUp();
    const int parts = int(state.range(0)), instances = int(state.range(2));
    Assembly a = Build(parts, int(state.range(1)), 1);
    const int side = int(std::ceil(std::sqrt(double(instances))));
    Targets t;
    AutoPtr<Lumo::Devices::ADrawContext> dc(Lumo::Devices::ADrawContext::Make(Device()));
    FitView(*dc, side);
    auto& draw = Device()->Draw();
    draw.BindTargets(t.color, t.depth);
    const char* vs = "#version 450 core\nlayout(location=0) in vec3 p; layout(location=1) in vec3 n;"
                     "uniform mat4 W; uniform mat4 VP; out vec3 N; out vec3 P;"
                     "void main(){ vec4 w = W * vec4(p,1); N = mat3(W) * n; P = w.xyz; gl_Position = VP * w; }";
    // The stock material's lighting: the default rig of three lights, ambient, Blinn-Phong.
    const char* fs = "#version 450 core\nin vec3 N; in vec3 P; uniform vec3 C; uniform vec3 E; uniform vec3 L[3];"
                     "uniform vec3 LC[3]; uniform vec3 LS[3]; out vec4 o;"
                     "void main(){ vec3 n = normalize(N); vec3 v = normalize(E - P); if (!gl_FrontFacing) n = -n;"
                     " vec3 c = C * 0.25;"
                     " for (int i = 0; i < 3; ++i) { float d = dot(n, -L[i]); if (d > 0.0) {"
                     "  c += C * LC[i] * d; vec3 h = normalize(v - L[i]);"
                     "  c += LS[i] * pow(max(dot(n, h), 0.0), 20.0); } }"
                     " o = vec4(min(c, vec3(1.0)), 1.0); }";
    GLuint prog = glCreateProgram();
    for (auto [kind, src] : {std::pair{GL_VERTEX_SHADER, vs}, {GL_FRAGMENT_SHADER, fs}}) {
        GLuint s = glCreateShader(kind);
        glShaderSource(s, 1, &src, nullptr);
        glCompileShader(s);
        glAttachShader(prog, s);
        glDeleteShader(s);
    }
    glLinkProgram(prog);
    struct GLMesh {
        GLuint vao, vbo, ebo;
        GLsizei count;
    };
    std::vector<GLMesh> meshes;
    for (auto& m : a.parts) {
        GLMesh g{};
        glCreateVertexArrays(1, &g.vao);
        glCreateBuffers(1, &g.vbo);
        glCreateBuffers(1, &g.ebo);
        glNamedBufferStorage(g.vbo, GLsizeiptr(m->VertexCount()) * 24, m->VertexData(), 0);
        glNamedBufferStorage(g.ebo, GLsizeiptr(m->IndexCount()) * 4, m->IndexData(), 0);
        glVertexArrayVertexBuffer(g.vao, 0, g.vbo, 0, 24);
        glVertexArrayElementBuffer(g.vao, g.ebo);
        glEnableVertexArrayAttrib(g.vao, 0);
        glEnableVertexArrayAttrib(g.vao, 1);
        glVertexArrayAttribFormat(g.vao, 0, 3, GL_FLOAT, GL_FALSE, 0);
        glVertexArrayAttribFormat(g.vao, 1, 3, GL_FLOAT, GL_FALSE, 12);
        glVertexArrayAttribBinding(g.vao, 0, 0);
        glVertexArrayAttribBinding(g.vao, 1, 0);
        g.count = m->IndexCount();
        meshes.push_back(g);
    }
    std::vector<mat4<float>> worlds;
    std::vector<vec4<float>> colours;
    for (int i = 0; i < instances; ++i) {
        worlds.push_back(Placement(i, side));
        colours.push_back(ColourOf(i));
    }
    const mat4<float> vp = dc->ViewMatrix() * dc->ProjMatrix();
    mat4<float> invView;
    dc->ViewMatrix().Inverse(invView);
    const vec3<float> eye = invView.TransformPoint({0, 0, 0});
    const vec3<float> lights[3] = {invView.TransformVector(vec3<float>(-0.45f, -0.55f, 0.70f)).Normalized(),
                                   invView.TransformVector(vec3<float>(0.65f, 0.35f, 0.65f)).Normalized(),
                                   invView.TransformVector(vec3<float>(0.1f, 0.4f, -0.9f)).Normalized()};
    const vec3<float> lightColours[3] = {{0.62f, 0.62f, 0.62f}, {0.28f, 0.28f, 0.30f}, {0.22f, 0.22f, 0.22f}};
    const vec3<float> lightSpecular[3] = {{0.35f, 0.35f, 0.35f}, {0, 0, 0}, {0, 0, 0}};
    auto frame = [&] {
        draw.BindTargets(t.color, t.depth);
        draw.Clear(Lumo::Devices::eClearColor | Lumo::Devices::eClearDepth, {0.914f, 0.914f, 0.914f, 1});
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_TRUE);
        glEnable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glUseProgram(prog);
        glUniformMatrix4fv(glGetUniformLocation(prog, "VP"), 1, GL_FALSE, &vp.m[0][0]);
        glUniform3fv(glGetUniformLocation(prog, "E"), 1, &eye.x);
        glUniform3fv(glGetUniformLocation(prog, "L"), 3, &lights[0].x);
        glUniform3fv(glGetUniformLocation(prog, "LC"), 3, &lightColours[0].x);
        glUniform3fv(glGetUniformLocation(prog, "LS"), 3, &lightSpecular[0].x);
        const GLint w = glGetUniformLocation(prog, "W"), c = glGetUniformLocation(prog, "C");
        for (int i = 0; i < instances; ++i) {
            const GLMesh& g = meshes[size_t(i % parts)];
            glBindVertexArray(g.vao);
            glUniformMatrix4fv(w, 1, GL_FALSE, &worlds[size_t(i)].m[0][0]);
            glUniform3f(c, colours[size_t(i)].x, colours[size_t(i)].y, colours[size_t(i)].z);
            glDrawElements(GL_TRIANGLES, g.count, GL_UNSIGNED_INT, nullptr);
        }
        glBindVertexArray(0);
        glUseProgram(0);
        draw.Finish();
    };
    frame();
    std::uint64_t allocations = 0, frames = 0;
    for (auto _ : state) {
        const std::uint64_t before = Allocations();
        const auto t0 = std::chrono::steady_clock::now();
        frame();
        const auto t1 = std::chrono::steady_clock::now();
        allocations += Allocations() - before;
        ++frames;
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    state.counters["allocs/frame"] = double(allocations) / double(frames);
    for (auto& g : meshes) {
        glDeleteVertexArrays(1, &g.vao);
        glDeleteBuffers(1, &g.vbo);
        glDeleteBuffers(1, &g.ebo);
    }
    glDeleteProgram(prog);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({10, 1000, 100})->Args({10, 1000, 1000})->Args({10, 10000, 100})->Args({100, 10000, 1000});
    b->UseManualTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FloorFrame)->Apply(Sizes);
BENCHMARK(BM_SceneFrame)->Apply(Sizes);
BENCHMARK(BM_PipeFrame)->Apply(Sizes);

} // namespace
