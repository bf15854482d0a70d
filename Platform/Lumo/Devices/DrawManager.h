#pragma once
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Lumo::Devices {

class ADrawContext;
class GLDevice;
class RenderItem;
class RenderTarget;
class StateSetter;

/// Flags of Clear.
enum EClearFlags : unsigned {
    eClearColor = 1,
    eClearDepth = 2,
    eClearStencil = 4,
};

/// Counts of the last flushes since ResetStats.
struct SDrawStats {
    std::uint64_t items = 0, drawCalls = 0, programChanges = 0, effectChanges = 0, meshChanges = 0, stateChanges = 0,
                  uploads = 0;
};

/// Draws render items on a GL device. The standard draw queues items; Flush sorts the opaque
/// ones by program, effect instance, state and mesh (so each changes as rarely as possible),
/// draws them, then draws the transparent ones in the order they were queued. Items are held
/// by reference until flushed. Each BeginScene moves the scene stamp on.
class DrawManager {
public:
    explicit DrawManager(GLDevice& device);
    ~DrawManager();

    /// Binds a colour target (or none) and a depth-stencil target (or none) for drawing; sets
    /// the viewport to the colour target's size. False when a target cannot be bound.
    bool BindTargets(RenderTarget* color, RenderTarget* depthStencil);
    RenderTarget* ColorTarget() const;
    RenderTarget* DepthTarget() const;
    void Viewport(int x, int y, int width, int height);
    void Clear(unsigned flags, const Lumo::Objects::vec4<float>& color, float depth = 1.0f, int stencil = 0);

    /// The states everything is drawn with unless an effect or item overrides them; null
    /// restores the defaults (back faces culled, depth test less-equal with writes, no blending).
    void BaseStates(StateSetter* states);
    StateSetter* BaseStates() const;
    /// Effect instance used in place of every item's own (a depth-only or id pass); null clears.
    void OverrideEffect(class EffectInstance* effect);

    /// Starts a frame: moves the scene stamp on.
    std::uint64_t BeginScene();
    std::uint64_t SceneStamp() const { return m_stamp; }

    /// Queues an item for the next Flush; items without geometry are skipped.
    void Draw(RenderItem* item);
    /// Draws everything queued with dc's view, projection, lights and clipping planes.
    void Flush(ADrawContext& dc);
    /// Queue length.
    int Pending() const;
    /// Waits until the device has drawn everything sent so far.
    void Finish();

    /// One input of a screen pass: a target sampled under a name, or a value set by name.
    struct SScreenInput {
        const char* name;
        RenderTarget* texture = nullptr;
        Lumo::Objects::vec4<float> value{0, 0, 0, 0};
        const Lumo::Objects::mat4<float>* matrix = nullptr; ///< a mat4 uniform instead
    };
    /// Draws a full-screen pass with a fragment program of ours (GLSL receiving vUV, writing
    /// oColor; textures are sampler2D uniforms, values vec4 uniforms, uTexel the first
    /// texture's texel size) into the bound target, without depth, blended over it when
    /// blend is set. Programs are compiled once per name; false when one does not compile.
    /// With depth at 0 .. 1 the pass is a quad at that depth, tested less-equal against the
    /// bound depth without writing it (depth 1 fills only what nothing was drawn on).
    bool ScreenPass(const std::string& name, const std::string& fragmentSource, const std::vector<SScreenInput>& inputs,
                    bool blend = false, float depth = -1.0f);
    /// The compile log of the last program that failed.
    const std::string& ProgramLog() const;

    /// Copies (and resolves multisampling of) one colour target into another of the same size.
    bool Resolve(RenderTarget* from, RenderTarget* to);
    /// Reads a colour target as RGBA8, rows top first. False for a depth target.
    bool ReadPixels(RenderTarget* target, std::vector<std::uint8_t>& rgba);
    /// Reads the depth of a depth target (resolving the first sample), rows top first, 0 .. 1.
    bool ReadDepth(RenderTarget* target, std::vector<float>& depth);
    /// Writes a colour target as a PNG file (through the device's image writer).
    bool SavePng(RenderTarget* target, std::string_view utf8Path);

    /// Draws items into an id image of its own, width x height, each in one flat colour
    /// standing for its place in the list (id i + 1; 0 where nothing is drawn): depth tested
    /// with dc's view, projection and clipping planes and each item's cull mode and depth
    /// priority, without lighting, blending or multisampling; lines and points draw as such.
    /// Answers every pixel's id and depth (0 .. 1), rows bottom first. The bound targets,
    /// viewport and states are as they were afterwards. False when the device cannot draw.
    bool DrawIds(ADrawContext& dc, const std::vector<RenderItem*>& items, int width, int height,
                 std::vector<std::uint32_t>& ids, std::vector<float>& depth);

    const SDrawStats& Stats() const { return m_stats; }
    void ResetStats() { m_stats = {}; }

    struct Impl;

private:
    GLDevice& m_device;
    std::unique_ptr<Impl> m_impl;
    std::uint64_t m_stamp = 0;
    SDrawStats m_stats;
};

} // namespace Lumo::Devices
