#include <Lumo/Devices/ABlendState.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Devices/GLInternal.h>
#include <Lumo/Devices/IBLInstance.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Lumo/Devices/PngWriter.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/StateSetter.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Devices/TargetCache.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/UString.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace Lumo::Devices {

using Lumo::Objects::mat4;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

namespace {

GLenum BlendFactorGL(EBlend b) {
    switch (b) {
    case eBlendZero:
        return GL_ZERO;
    case eBlendOne:
        return GL_ONE;
    case eBlendSrcColor:
        return GL_SRC_COLOR;
    case eBlendInvSrcColor:
        return GL_ONE_MINUS_SRC_COLOR;
    case eBlendSrcAlpha:
        return GL_SRC_ALPHA;
    case eBlendInvSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case eBlendDestAlpha:
        return GL_DST_ALPHA;
    case eBlendInvDestAlpha:
        return GL_ONE_MINUS_DST_ALPHA;
    case eBlendDestColor:
        return GL_DST_COLOR;
    case eBlendInvDestColor:
        return GL_ONE_MINUS_DST_COLOR;
    case eBlendSrcAlphaSat:
        return GL_SRC_ALPHA_SATURATE;
    case eBlendFactor:
        return GL_CONSTANT_COLOR;
    case eBlendInvFactor:
        return GL_ONE_MINUS_CONSTANT_COLOR;
    }
    return GL_ONE;
}

GLenum BlendOpGL(EBlendOp op) {
    switch (op) {
    case eBlendOpSubtract:
        return GL_FUNC_SUBTRACT;
    case eBlendOpRevSubtract:
        return GL_FUNC_REVERSE_SUBTRACT;
    case eBlendOpMin:
        return GL_MIN;
    case eBlendOpMax:
        return GL_MAX;
    default:
        return GL_FUNC_ADD;
    }
}

GLenum CompareGL(EComparison c) {
    switch (c) {
    case eCompareNever:
        return GL_NEVER;
    case eCompareLess:
        return GL_LESS;
    case eCompareEqual:
        return GL_EQUAL;
    case eCompareLessEqual:
        return GL_LEQUAL;
    case eCompareGreater:
        return GL_GREATER;
    case eCompareNotEqual:
        return GL_NOTEQUAL;
    case eCompareGreaterEqual:
        return GL_GEQUAL;
    default:
        return GL_ALWAYS;
    }
}

GLenum StencilOpGL(EStencilOp op) {
    switch (op) {
    case eStencilZero:
        return GL_ZERO;
    case eStencilReplace:
        return GL_REPLACE;
    case eStencilIncrSat:
        return GL_INCR;
    case eStencilDecrSat:
        return GL_DECR;
    case eStencilInvert:
        return GL_INVERT;
    case eStencilIncr:
        return GL_INCR_WRAP;
    case eStencilDecr:
        return GL_DECR_WRAP;
    default:
        return GL_KEEP;
    }
}

/// The GL state as last set, so that only changes are sent.
struct GLStateCache {
    bool valid = false;
    ECull cull = eCullBack;
    EFillMode fill = eFillSolid;
    bool frontCCW = true;
    int depthBias = 0;
    float slopeBias = 0;
    bool depthClip = true;
    bool depthTest = true, depthWrite = true;
    EComparison depthFunc = eCompareLessEqual;
    bool stencil = false;
    EComparison stencilFunc = eCompareAlways;
    int stencilRef = 0;
    unsigned stencilRead = 0xFF, stencilWrite = 0xFF;
    EStencilOp sFail = eStencilKeep, sDepthFail = eStencilKeep, sPass = eStencilKeep;
    SRenderTargetBlend blend;
    vec4<float> factor{1, 1, 1, 1};
};

struct QueuedItem {
    RenderItem* item;
    int program;
    EffectInstance* effect; // as queued: an override ends with its pass, before the flush
    const void* mesh;
    int sequence;
};

} // namespace

struct DrawManager::Impl {
    GLProgram programs[kVariantCount];
    bool compiled[kVariantCount] = {}, failed[kVariantCount] = {};
    std::string log;
    std::unordered_map<unsigned, GLuint> vaos; // per vertex layout; this context's own
    GLuint fbo = 0, readFbo = 0, resolveFbo = 0;
    Lumo::Objects::AutoPtr<RenderTarget> color, depth, resolveScratch;
    Lumo::Objects::AutoPtr<StateSetter> base;
    Lumo::Objects::AutoPtr<EffectInstance> overrideEffect;
    /// Overrides items were queued with, kept until the flush that draws them.
    std::vector<Lumo::Objects::AutoPtr<EffectInstance>> queuedOverrides;
    std::vector<QueuedItem> opaque, transparent;
    std::unordered_map<Lumo::Objects::UString*, int> programOfEffect;
    std::unordered_map<std::string, GLuint> screenPrograms; // 0: failed to compile
    GLuint emptyVao = 0;
    // The id pass: its program and framebuffer, made on first use.
    GLuint idProgram = 0, idFbo = 0;
    bool idFailed = false;
    GLint idWorld = -1, idViewProj = -1, idShift = -1, idId = -1, idClipCount = -1, idClip = -1;
    GLStateCache gl;
    int currentProgram = -1;
    const EffectInstance* currentEffect = nullptr;
    std::uint64_t currentEffectVersion = 0;
    const GLMeshData* currentMesh = nullptr;
    unsigned currentLayout = ~0u;
    std::uint64_t flushCount = 0;
    int clipCount = 0;

    // Per flush: what the lights and view come to in world space.
    int lightCount = 0;
    GLint lightType[8];
    float lightDir[8][3], lightPos[8][3], lightColor[8][3], lightSpec[8][3], lightAtt[8][3], lightSpot[8][2];
    float ambient[3], eye[3], viewDir[3];
    int ortho = 0;
    int ibl = 0;
    float shAmbient[9][3], shGlossy[9][3];
    float viewProj[16];
    float clip[6][4];

    /// The variant's program, compiled on first use; null when it does not build.
    GLProgram* Program(int variant) {
        if (variant < 0 || variant >= kVariantCount || failed[variant])
            return nullptr;
        if (!compiled[variant]) {
            if (!CompileStockProgram(variant, programs[variant], log)) {
                failed[variant] = true;
                return nullptr;
            }
            compiled[variant] = true;
        }
        return &programs[variant];
    }

    GLuint Vao(unsigned components) {
        auto it = vaos.find(components);
        if (it != vaos.end())
            return it->second;
        GLuint vao = 0;
        glCreateVertexArrays(1, &vao);
        GLuint offset = 0;
        auto attrib = [&](GLuint index, EVertexComponent c, int size) {
            if (components & c) {
                glEnableVertexArrayAttrib(vao, index);
                glVertexArrayAttribFormat(vao, index, size, GL_FLOAT, GL_FALSE, offset);
                glVertexArrayAttribBinding(vao, index, 0);
                offset += GLuint(size * 4);
            }
        };
        attrib(0, eVertexPosition, 3);
        attrib(1, eVertexNormal, 3);
        attrib(2, eVertexColor, 4);
        attrib(3, eVertexTexCoord, 2);
        vaos.emplace(components, vao);
        return vao;
    }

    /// The stock program an effect draws with (-1 for layered effects, drawn layer by layer).
    int BaseProgramOf(EffectInstance* e) {
        IRenderEffect* effect = e ? e->Effect() : nullptr;
        Lumo::Objects::UString* name = effect ? effect->Name() : nullptr;
        if (!name)
            return eProgMaterial;
        auto it = programOfEffect.find(name);
        if (it != programOfEffect.end())
            return it->second;
        int p = eProgMaterial; // an effect this device has no program for draws as plain material
        if (name == StockEffects::SolidTName() || StockEffects::Extends(effect, StockEffects::SolidTName()))
            p = eProgSolidT;
        else if (name == StockEffects::SolidName() || StockEffects::Extends(effect, StockEffects::SolidName()))
            p = eProgSolid;
        else if (name == StockEffects::LayeredName())
            p = -1;
        programOfEffect.emplace(name, p);
        return p;
    }
    /// Program and variant (without the clip bit, which is the flush's): what items sort by.
    int ProgramOf(EffectInstance* e) {
        const int base = BaseProgramOf(e);
        if (base < 0)
            return base;
        const bool material =
            base == eProgMaterial && e && e->Effect() && e->Effect()->Name() == StockEffects::BasicMaterialName();
        const int source = base == eProgMaterial
                               ? (material ? e->Values().GetInt(StockEffects::eMaterialColorSource) : 0)
                               : (e ? e->Values().GetInt(StockEffects::eSolidColorSource) : 0);
        return base | (source == StockEffects::eColorVertex ? kVariantVertexColor : 0);
    }
};

DrawManager::DrawManager(GLDevice& device) : m_device(device), m_impl(std::make_unique<Impl>()) {
    glCreateFramebuffers(1, &m_impl->fbo);
    glCreateFramebuffers(1, &m_impl->readFbo);
    glCreateFramebuffers(1, &m_impl->resolveFbo);
}

DrawManager::~DrawManager() {
    for (auto& q : m_impl->opaque)
        q.item->ReleaseRef();
    for (auto& q : m_impl->transparent)
        q.item->ReleaseRef();
    if (m_device.MakeCurrent()) {
        for (auto& [layout, vao] : m_impl->vaos)
            glDeleteVertexArrays(1, &vao);
        GLuint fbos[3] = {m_impl->fbo, m_impl->readFbo, m_impl->resolveFbo};
        glDeleteFramebuffers(3, fbos);
        for (int i = 0; i < kVariantCount; ++i)
            if (m_impl->compiled[i])
                glDeleteProgram(m_impl->programs[i].program);
        for (auto& [name, prog] : m_impl->screenPrograms)
            if (prog)
                glDeleteProgram(prog);
        if (m_impl->emptyVao)
            glDeleteVertexArrays(1, &m_impl->emptyVao);
        if (m_impl->idProgram)
            glDeleteProgram(m_impl->idProgram);
        if (m_impl->idFbo)
            glDeleteFramebuffers(1, &m_impl->idFbo);
    }
}

bool DrawManager::BindTargets(RenderTarget* color, RenderTarget* depthStencil) {
    if (!m_device.MakeCurrent())
        return false;
    Impl& d = *m_impl;
    if (color && color->IsDepth())
        return false;
    if (depthStencil && !depthStencil->IsDepth())
        return false;
    if (color && depthStencil &&
        (color->Width() != depthStencil->Width() || color->Height() != depthStencil->Height() ||
         color->Samples() != depthStencil->Samples()))
        return false;
    auto attach = [&](RenderTarget* c, RenderTarget* ds) {
        glNamedFramebufferTexture(d.fbo, GL_COLOR_ATTACHMENT0, c ? TargetTexture(c) : 0, 0);
        glNamedFramebufferTexture(d.fbo, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
        glNamedFramebufferTexture(d.fbo, GL_DEPTH_ATTACHMENT, 0, 0);
        if (ds)
            glNamedFramebufferTexture(
                d.fbo, ds->Format() == eTargetDepthStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                TargetTexture(ds), 0);
        const GLenum none = GL_NONE, attachment = GL_COLOR_ATTACHMENT0;
        glNamedFramebufferDrawBuffers(d.fbo, 1, c ? &attachment : &none);
    };
    attach(color, depthStencil);
    if (glCheckNamedFramebufferStatus(d.fbo, GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        attach(d.color, d.depth); // the targets bound before stay bound
        return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, d.fbo);
    d.color = color;
    d.depth = depthStencil;
    RenderTarget* sized = color ? color : depthStencil;
    if (sized)
        glViewport(0, 0, sized->Width(), sized->Height());
    if (color && color->Samples() > 1)
        glEnable(GL_MULTISAMPLE);
    return true;
}

RenderTarget* DrawManager::ColorTarget() const {
    return m_impl->color;
}
RenderTarget* DrawManager::DepthTarget() const {
    return m_impl->depth;
}

void DrawManager::Viewport(int x, int y, int width, int height) {
    if (m_device.MakeCurrent())
        glViewport(x, y, std::max(0, width), std::max(0, height));
}

void DrawManager::Clear(unsigned flags, const vec4<float>& color, float depth, int stencil) {
    if (!m_device.MakeCurrent())
        return;
    Impl& d = *m_impl;
    // Clears obey the write masks: open them, and let the next draw set them again.
    if (flags & eClearColor) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        d.gl.valid = false;
        const float c[4] = {color.x, color.y, color.z, color.w};
        glClearNamedFramebufferfv(d.fbo, GL_COLOR, 0, c);
    }
    if (flags & (eClearDepth | eClearStencil)) {
        glDepthMask(GL_TRUE);
        glStencilMask(0xFF);
        d.gl.valid = false;
        if (!d.depth)
            return;
        const bool hasStencil = d.depth->Format() == eTargetDepthStencil;
        if ((flags & eClearDepth) && (flags & eClearStencil) && hasStencil)
            glClearNamedFramebufferfi(d.fbo, GL_DEPTH_STENCIL, 0, depth, stencil);
        else if (flags & eClearDepth)
            glClearNamedFramebufferfv(d.fbo, GL_DEPTH, 0, &depth);
        else if (hasStencil)
            glClearNamedFramebufferiv(d.fbo, GL_STENCIL, 0, &stencil);
    }
}

void DrawManager::BaseStates(StateSetter* states) {
    m_impl->base = states;
}
StateSetter* DrawManager::BaseStates() const {
    return m_impl->base;
}
void DrawManager::OverrideEffect(EffectInstance* effect) {
    m_impl->overrideEffect = effect;
}

std::uint64_t DrawManager::BeginScene() {
    return ++m_stamp;
}

void DrawManager::Finish() {
    if (m_device.MakeCurrent())
        glFinish();
}

int DrawManager::Pending() const {
    return int(m_impl->opaque.size() + m_impl->transparent.size());
}

void DrawManager::Draw(RenderItem* item) {
    if (!item || !item->Geometry())
        return;
    Impl& d = *m_impl;
    EffectInstance* e = d.overrideEffect ? d.overrideEffect.get() : item->Effect();
    if (d.overrideEffect && (d.queuedOverrides.empty() || d.queuedOverrides.back() != d.overrideEffect))
        d.queuedOverrides.push_back(d.overrideEffect);
    item->AddRef();
    const bool transparent = e && e->IsTransparent(nullptr);
    QueuedItem q{item, d.ProgramOf(e), e, item->Geometry(), int(d.opaque.size() + d.transparent.size())};
    (transparent ? d.transparent : d.opaque).push_back(q);
}

namespace {

/// What an item is drawn with: base states, then the effect's, then the item's cull mode.
struct Resolved {
    ECull cull = eCullBack;
    EFillMode fill = eFillSolid;
    bool frontCCW = true;
    int depthBias = 0;
    float slopeBias = 0;
    bool depthClip = true;
    bool depthTest = true, depthWrite = true;
    EComparison depthFunc = eCompareLessEqual;
    const ADepthStencilState* ds = nullptr;
    SRenderTargetBlend blend;
    vec4<float> factor{1, 1, 1, 1};
};

void Take(Resolved& r, const StateSetter* s) {
    if (!s)
        return;
    if (const ARasterizerState* rs = s->Rasterizer()) {
        r.cull = rs->CullMode();
        r.fill = rs->FillMode();
        r.frontCCW = rs->FrontCounterClockwise();
        r.depthBias = rs->DepthBias();
        r.slopeBias = rs->SlopeScaledDepthBias();
        r.depthClip = rs->DepthClip();
    }
    if (const ADepthStencilState* ds = s->DepthStencil()) {
        r.depthTest = ds->DepthTest();
        r.depthWrite = ds->DepthWrite();
        r.depthFunc = ds->DepthFunc();
        r.ds = ds;
    }
    if (const ABlendState* b = s->Blend()) {
        r.blend = b->Target(0);
        r.factor = b->BlendFactor();
    }
}

void Apply(GLStateCache& gl, const Resolved& r, SDrawStats& stats) {
    const bool all = !gl.valid;
    bool changed = all;
    if (all || gl.cull != r.cull) {
        if (r.cull == eCullNone) {
            glDisable(GL_CULL_FACE);
        } else {
            glEnable(GL_CULL_FACE);
            glCullFace(r.cull == eCullFront ? GL_FRONT : GL_BACK);
        }
        gl.cull = r.cull;
        changed = true;
    }
    if (all || gl.fill != r.fill) {
        glPolygonMode(GL_FRONT_AND_BACK, r.fill == eFillWireframe ? GL_LINE : GL_FILL);
        gl.fill = r.fill;
    }
    if (all || gl.frontCCW != r.frontCCW) {
        glFrontFace(r.frontCCW ? GL_CCW : GL_CW);
        gl.frontCCW = r.frontCCW;
    }
    if (all || gl.depthBias != r.depthBias || gl.slopeBias != r.slopeBias) {
        if (r.depthBias || r.slopeBias) {
            glEnable(GL_POLYGON_OFFSET_FILL);
            glEnable(GL_POLYGON_OFFSET_LINE);
            glPolygonOffset(r.slopeBias, float(r.depthBias));
        } else {
            glDisable(GL_POLYGON_OFFSET_FILL);
            glDisable(GL_POLYGON_OFFSET_LINE);
        }
        gl.depthBias = r.depthBias;
        gl.slopeBias = r.slopeBias;
        changed = true;
    }
    if (all || gl.depthClip != r.depthClip) {
        r.depthClip ? glDisable(GL_DEPTH_CLAMP) : glEnable(GL_DEPTH_CLAMP);
        gl.depthClip = r.depthClip;
    }
    if (all || gl.depthTest != r.depthTest || gl.depthWrite != r.depthWrite || gl.depthFunc != r.depthFunc) {
        // Without the test GL would not write depth either; "always" keeps the writes.
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(r.depthTest ? CompareGL(r.depthFunc) : GL_ALWAYS);
        glDepthMask(r.depthWrite ? GL_TRUE : GL_FALSE);
        gl.depthTest = r.depthTest;
        gl.depthWrite = r.depthWrite;
        gl.depthFunc = r.depthFunc;
        changed = true;
    }
    const bool stencil = r.ds && r.ds->StencilTest();
    if (stencil) {
        const ADepthStencilState& ds = *r.ds;
        if (all || !gl.stencil || gl.stencilFunc != ds.StencilFunc() || gl.stencilRef != ds.StencilRef() ||
            gl.stencilRead != ds.StencilReadMask() || gl.stencilWrite != ds.StencilWriteMask() ||
            gl.sFail != ds.StencilFail() || gl.sDepthFail != ds.StencilDepthFail() || gl.sPass != ds.StencilPass()) {
            glEnable(GL_STENCIL_TEST);
            glStencilFunc(CompareGL(ds.StencilFunc()), ds.StencilRef(), ds.StencilReadMask());
            glStencilMask(ds.StencilWriteMask());
            glStencilOp(StencilOpGL(ds.StencilFail()), StencilOpGL(ds.StencilDepthFail()),
                        StencilOpGL(ds.StencilPass()));
            gl.stencilFunc = ds.StencilFunc();
            gl.stencilRef = ds.StencilRef();
            gl.stencilRead = ds.StencilReadMask();
            gl.stencilWrite = ds.StencilWriteMask();
            gl.sFail = ds.StencilFail();
            gl.sDepthFail = ds.StencilDepthFail();
            gl.sPass = ds.StencilPass();
            changed = true;
        }
    } else if (all || gl.stencil) {
        glDisable(GL_STENCIL_TEST);
    }
    gl.stencil = stencil;
    if (all || !(gl.blend == r.blend) || gl.factor != r.factor) {
        if (r.blend.enable) {
            glEnable(GL_BLEND);
            glBlendFuncSeparate(BlendFactorGL(r.blend.src), BlendFactorGL(r.blend.dest),
                                BlendFactorGL(r.blend.srcAlpha), BlendFactorGL(r.blend.destAlpha));
            glBlendEquationSeparate(BlendOpGL(r.blend.op), BlendOpGL(r.blend.opAlpha));
            glBlendColor(r.factor.x, r.factor.y, r.factor.z, r.factor.w);
        } else {
            glDisable(GL_BLEND);
        }
        const std::uint8_t m = r.blend.writeMask;
        glColorMask(m & eWriteRed, m & eWriteGreen, m & eWriteBlue, m & eWriteAlpha);
        gl.blend = r.blend;
        gl.factor = r.factor;
        changed = true;
    }
    gl.valid = true;
    if (changed)
        ++stats.stateChanges;
}

void Normal3(const mat4<float>& m, float out[9]) {
    // Inverse of the upper 3x3 (row-major); uploaded transposed it is the normal matrix.
    const float a = m.m[0][0], b = m.m[0][1], c = m.m[0][2];
    const float d = m.m[1][0], e = m.m[1][1], f = m.m[1][2];
    const float g = m.m[2][0], h = m.m[2][1], i = m.m[2][2];
    const float A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
    float det = a * A + b * B + c * C;
    if (std::fabs(det) < 1e-30f)
        det = 1.0f;
    const float inv = 1.0f / det;
    out[0] = A * inv;
    out[1] = -(b * i - c * h) * inv;
    out[2] = (b * f - c * e) * inv;
    out[3] = B * inv;
    out[4] = (a * i - c * g) * inv;
    out[5] = -(a * f - c * d) * inv;
    out[6] = C * inv;
    out[7] = -(a * h - b * g) * inv;
    out[8] = (a * e - b * d) * inv;
}

const SDrawLight* DefaultRig(int& count) {
    // A key light from the upper right, a fill from the lower left and a back light, all
    // moving with the viewer: every side of a part reads, none goes black or washes out.
    static const SDrawLight rig[3] = {
        {eLightDirectional, true, {0.62f, 0.62f, 0.62f}, {0.35f, 0.35f, 0.35f}, {-0.45f, -0.55f, 0.70f}},
        {eLightDirectional, true, {0.28f, 0.28f, 0.30f}, {0.0f, 0.0f, 0.0f}, {0.65f, 0.35f, 0.65f}},
        {eLightDirectional, true, {0.22f, 0.22f, 0.22f}, {0.0f, 0.0f, 0.0f}, {0.1f, 0.4f, -0.9f}},
    };
    count = 3;
    return rig;
}

} // namespace

void DrawManager::Flush(ADrawContext& dc) {
    Impl& d = *m_impl;
    auto release = [&] {
        for (auto& q : d.opaque)
            q.item->ReleaseRef();
        for (auto& q : d.transparent)
            q.item->ReleaseRef();
        d.opaque.clear();
        d.transparent.clear();
        d.queuedOverrides.clear();
    };
    if (d.opaque.empty() && d.transparent.empty())
        return;
    if (!m_device.MakeCurrent()) {
        release();
        return;
    }
    ++d.flushCount;

    // View, lights and clipping in world terms, once per flush.
    const mat4<float> vp = dc.ViewMatrix() * dc.ProjMatrix();
    std::memcpy(d.viewProj, &vp.m[0][0], sizeof d.viewProj);
    mat4<float> invView;
    if (!dc.ViewMatrix().Inverse(invView))
        invView = mat4<float>();
    const vec3<float> eye = invView.TransformPoint({0, 0, 0});
    vec3<float> forward = invView.TransformVector({0, 0, 1});
    if (forward.Length() > 0)
        forward = forward.Normalized();
    d.eye[0] = eye.x, d.eye[1] = eye.y, d.eye[2] = eye.z;
    d.viewDir[0] = forward.x, d.viewDir[1] = forward.y, d.viewDir[2] = forward.z;
    const mat4<float>& proj = dc.ProjMatrix();
    d.ortho = (proj.m[0][3] == 0 && proj.m[1][3] == 0 && proj.m[2][3] == 0) ? 1 : 0;
    d.ibl = 0;
    if (const IBLInstance* ibl = dc.ImageBasedLighting()) {
        vec3<float> amb[9], gloss[9];
        const bool a = ibl->RadianceSH(IBLInstance::eAmbient, amb);
        const bool g = ibl->RadianceSH(IBLInstance::eGlossy, gloss);
        if (a || g) {
            d.ibl = 1;
            for (int i = 0; i < 9; ++i) {
                std::memcpy(d.shAmbient[i], &amb[i].x, 3 * sizeof(float));
                std::memcpy(d.shGlossy[i], &gloss[i].x, 3 * sizeof(float));
            }
        }
    }
    int n = int(dc.Lights().size());
    const SDrawLight* lights = dc.Lights().data();
    if (n == 0)
        lights = DefaultRig(n);
    n = std::min(n, 8);
    d.lightCount = n;
    for (int i = 0; i < n; ++i) {
        const SDrawLight& l = lights[i];
        vec3<float> dir = l.viewSpace ? invView.TransformVector(l.direction) : l.direction;
        vec3<float> pos = l.viewSpace ? invView.TransformPoint(l.position) : l.position;
        if (dir.Length() > 0)
            dir = dir.Normalized();
        d.lightType[i] = l.type;
        const float* src[] = {&dir.x, &pos.x, &l.color.x, &l.specular.x, &l.attenuation.x};
        float* dst[] = {d.lightDir[i], d.lightPos[i], d.lightColor[i], d.lightSpec[i], d.lightAtt[i]};
        for (int k = 0; k < 5; ++k)
            std::memcpy(dst[k], src[k], 3 * sizeof(float));
        d.lightSpot[i][0] = l.spotCosInner;
        d.lightSpot[i][1] = l.spotCosOuter;
    }
    d.ambient[0] = dc.AmbientLight().x, d.ambient[1] = dc.AmbientLight().y, d.ambient[2] = dc.AmbientLight().z;
    const int clips = std::min<int>(int(dc.ClippingPlanes().size()), ADrawContext::kMaxClipPlanes);
    for (int i = 0; i < clips; ++i) {
        const vec4<float>& p = dc.ClippingPlanes()[size_t(i)];
        d.clip[i][0] = p.x, d.clip[i][1] = p.y, d.clip[i][2] = p.z, d.clip[i][3] = p.w;
    }
    for (int i = 0; i < ADrawContext::kMaxClipPlanes; ++i)
        (i < clips) ? glEnable(GLenum(GL_CLIP_DISTANCE0 + i)) : glDisable(GLenum(GL_CLIP_DISTANCE0 + i));
    d.clipCount = clips;
    d.currentProgram = -1;
    d.currentEffect = nullptr;
    d.currentMesh = nullptr;
    d.currentLayout = ~0u;
    d.gl.valid = false;

    std::sort(d.opaque.begin(), d.opaque.end(), [](const QueuedItem& a, const QueuedItem& b) {
        if (a.program != b.program)
            return a.program < b.program;
        if (a.effect != b.effect)
            return a.effect < b.effect;
        if (a.mesh != b.mesh)
            return a.mesh < b.mesh;
        return a.sequence < b.sequence;
    });

    auto drawOne = [&](RenderItem* item, EffectInstance* effect, bool transparent, auto& self) -> void {
        auto* mesh = item->Mesh();
        if (!mesh)
            return;
        if (auto* layered = QueryInterface<LayeredEffectInstance>(effect)) {
            for (int i = 0; i < layered->LayerCount(); ++i)
                self(item, layered->Layer(i), transparent || layered->Layer(i)->IsTransparent(&dc), self);
            return;
        }
        GLMeshData* gm = UploadMesh(mesh);
        if (!gm)
            return;
        const int variant = d.ProgramOf(effect);
        if (variant < 0)
            return;
        const int prog =
            variant | (d.clipCount > 0 ? kVariantClip : 0) | ((gm->components & eVertexNormal) ? 0 : kVariantFlat);
        GLProgram* program = d.Program(prog);
        if (!program)
            return;
        GLProgram& p = *program;
        const int base = variant & kVariantBaseMask;
        if (prog != d.currentProgram) {
            glUseProgram(p.program);
            d.currentProgram = prog;
            d.currentEffect = nullptr;
            ++m_stats.programChanges;
            if (p.lightsStamp != d.flushCount) {
                p.lightsStamp = d.flushCount;
                glUniformMatrix4fv(p.viewProj, 1, GL_FALSE, d.viewProj);
                glUniform1i(p.lightCount, d.lightCount);
                if (d.lightCount) {
                    glUniform1iv(p.lightType, d.lightCount, d.lightType);
                    glUniform3fv(p.lightDir, d.lightCount, &d.lightDir[0][0]);
                    glUniform3fv(p.lightPos, d.lightCount, &d.lightPos[0][0]);
                    glUniform3fv(p.lightColor, d.lightCount, &d.lightColor[0][0]);
                    glUniform3fv(p.lightSpec, d.lightCount, &d.lightSpec[0][0]);
                    glUniform3fv(p.lightAtt, d.lightCount, &d.lightAtt[0][0]);
                    glUniform2fv(p.lightSpot, d.lightCount, &d.lightSpot[0][0]);
                }
                glUniform3fv(p.ambientLight, 1, d.ambient);
                glUniform1i(p.ibl, d.ibl);
                if (d.ibl) {
                    glUniform3fv(p.shAmbient, 9, &d.shAmbient[0][0]);
                    glUniform3fv(p.shGlossy, 9, &d.shGlossy[0][0]);
                }
                glUniform3fv(p.eye, 1, d.eye);
                glUniform3fv(p.viewDir, 1, d.viewDir);
                glUniform1i(p.ortho, d.ortho);
                glUniform1i(p.clipCount, d.clipCount);
                if (d.clipCount)
                    glUniform4fv(p.clip, d.clipCount, &d.clip[0][0]);
            }
        }
        if (effect != d.currentEffect || (effect && effect->Values().Version() != d.currentEffectVersion)) {
            d.currentEffect = effect;
            d.currentEffectVersion = effect ? effect->Values().Version() : 0;
            ++m_stats.effectChanges;
            static const ParameterValues kNone;
            const ParameterValues& v = effect ? effect->Values() : kNone;
            if (base == eProgMaterial) {
                const bool material =
                    effect && effect->Effect() && effect->Effect()->Name() == StockEffects::BasicMaterialName();
                const vec3<float> e = material ? v.GetFloat3(StockEffects::eMaterialEmissive) : vec3<float>();
                const vec3<float> a =
                    material ? v.GetFloat3(StockEffects::eMaterialAmbient) : vec3<float>(0.2f, 0.2f, 0.2f);
                const vec3<float> df =
                    material ? v.GetFloat3(StockEffects::eMaterialDiffuse) : vec3<float>(0.6f, 0.6f, 0.6f);
                const vec3<float> s =
                    material ? v.GetFloat3(StockEffects::eMaterialSpecular) : vec3<float>(0.3f, 0.3f, 0.3f);
                glUniform3f(p.emissive, e.x, e.y, e.z);
                glUniform3f(p.ambient, a.x, a.y, a.z);
                glUniform3f(p.diffuse, df.x, df.y, df.z);
                glUniform3f(p.specular, s.x, s.y, s.z);
                glUniform1f(p.shininess, material ? v.GetFloat(StockEffects::eMaterialShininess, 20.0f) : 20.0f);
                glUniform1f(p.opacity, material ? v.GetFloat(StockEffects::eMaterialOpacity, 1.0f) : 1.0f);
                glUniform1i(p.colorSource, material ? v.GetInt(StockEffects::eMaterialColorSource) : 0);
                glUniform1f(p.reflectionBlend, material ? v.GetFloat(StockEffects::eMaterialReflectionBlend) : 0.0f);
            } else {
                const vec4<float> c = v.GetFloat4(StockEffects::eSolidColor, {1, 1, 1, 1});
                glUniform4f(p.color, c.x, c.y, c.z, c.w);
                glUniform1f(p.opacity, v.GetFloat(StockEffects::eSolidOpacity, 1.0f));
                glUniform1i(p.colorSource, v.GetInt(StockEffects::eSolidColorSource));
                glUniform1i(p.vertexColorAlpha, v.GetInt(StockEffects::eSolidVertexColorAlpha));
                glUniform1i(p.lighting, v.GetInt(StockEffects::eSolidLighting, 1));
                if (base == eProgSolidT) {
                    GLuint tex = UploadTexture(v.GetTexture(StockEffects::eSolidTexture));
                    glBindTextureUnit(0, tex);
                    glUniform1i(p.texture, 0);
                    glUniform1i(p.hasTexture, tex ? 1 : 0);
                    glUniform1i(p.textureAlpha, v.GetInt(StockEffects::eSolidTextureAlpha));
                    glUniform1i(p.blendMode, v.GetInt(StockEffects::eSolidBlendMode));
                    const mat4<float> t = v.GetMatrix(StockEffects::eSolidTextureTransform);
                    glUniformMatrix4fv(p.texTransform, 1, GL_FALSE, &t.m[0][0]);
                }
            }
        }
        // States: the base, the effect's overrides, the item's cull mode; transparent
        // drawing blends over what is there and leaves depth alone unless told otherwise.
        Resolved r;
        Take(r, d.base);
        if (transparent) {
            r.blend.enable = true;
            r.blend.src = eBlendSrcAlpha;
            r.blend.dest = eBlendInvSrcAlpha;
            r.blend.srcAlpha = eBlendOne;
            r.blend.destAlpha = eBlendInvSrcAlpha;
            r.depthWrite = false;
        }
        if (effect)
            Take(r, effect->StateOverrides());
        if (item->HasCullMode())
            r.cull = item->CullMode();
        Apply(d.gl, r, m_stats);

        const mat4<float>* world = nullptr;
        if (auto* w = item->WorldMatrix(); w && !w->IsIdentity())
            world = &w->Matrix();
        static const mat4<float> kIdentity;
        const mat4<float>& m = world ? *world : kIdentity;
        float nm[9];
        Normal3(m, nm);
        glUniformMatrix4fv(p.world, 1, GL_FALSE, &m.m[0][0]);
        glUniformMatrix3fv(p.normalMat, 1, GL_TRUE, nm);
        const float shift = float(item->DepthPriority()) * 1e-5f;
        if (shift != p.lastShift) {
            glUniform1f(p.depthShift, shift);
            p.lastShift = shift;
        }
        if (gm != d.currentMesh) {
            if (gm->components != d.currentLayout) {
                glBindVertexArray(d.Vao(gm->components));
                d.currentLayout = gm->components;
                if (!(gm->components & eVertexColor))
                    glVertexAttrib4f(2, 1, 1, 1, 1);
                if (!(gm->components & eVertexNormal))
                    glVertexAttrib3f(1, 0, 0, 0);
                if (!(gm->components & eVertexTexCoord))
                    glVertexAttrib2f(3, 0, 0);
            }
            const GLuint vao = d.Vao(gm->components);
            glVertexArrayVertexBuffer(vao, 0, gm->vbo, 0, GLsizei(mesh->Format() ? mesh->Format()->StrideBytes() : 12));
            glVertexArrayElementBuffer(vao, gm->indexed ? gm->ebo : 0);
            d.currentMesh = gm;
            ++m_stats.meshChanges;
        }
        if (gm->indexed)
            glDrawElements(gm->mode, gm->count, GL_UNSIGNED_INT, nullptr);
        else
            glDrawArrays(gm->mode, 0, gm->count);
        ++m_stats.drawCalls;
    };

    for (auto& q : d.opaque) {
        drawOne(q.item, q.effect, false, drawOne);
        ++m_stats.items;
    }
    for (auto& q : d.transparent) {
        drawOne(q.item, q.effect, true, drawOne);
        ++m_stats.items;
    }
    release();
}

const std::string& DrawManager::ProgramLog() const {
    return m_impl->log;
}

bool DrawManager::ScreenPass(const std::string& name, const std::string& fragmentSource,
                             const std::vector<SScreenInput>& inputs, bool blend, float depth) {
    if (!m_device.MakeCurrent())
        return false;
    Impl& d = *m_impl;
    auto it = d.screenPrograms.find(name);
    if (it == d.screenPrograms.end()) {
        static const char* kScreenVertex = R"(#version 450 core
out vec2 vUV;
uniform float uQuadDepth;
uniform vec4 uUVRect; // the viewport's part of the target: offset, scale
void main() {
    vec2 p = vec2(float((gl_VertexID << 1) & 2), float(gl_VertexID & 2));
    vUV = uUVRect.xy + p * uUVRect.zw;
    gl_Position = vec4(p * 2.0 - 1.0, uQuadDepth, 1.0);
}
)";
        std::string log;
        const GLuint prog = BuildProgram(kScreenVertex, fragmentSource, log);
        if (!prog)
            d.log = name + ": " + log;
        it = d.screenPrograms.emplace(name, prog).first;
    }
    const GLuint prog = it->second;
    if (!prog)
        return false;
    if (!d.emptyVao)
        glCreateVertexArrays(1, &d.emptyVao);
    glUseProgram(prog);
    d.currentProgram = -1;
    d.currentEffect = nullptr;
    d.currentMesh = nullptr;
    d.currentLayout = ~0u;
    int unit = 0;
    bool texel = false;
    for (const SScreenInput& in : inputs) {
        const GLint loc = glGetUniformLocation(prog, in.name);
        if (in.texture) {
            if (in.texture->Samples() > 1)
                continue; // callers resolve multisampled inputs first
            glBindTextureUnit(GLuint(unit), TargetTexture(in.texture));
            glUniform1i(loc, unit++);
            if (!texel) {
                glUniform2f(glGetUniformLocation(prog, "uTexel"), 1.0f / float(in.texture->Width()),
                            1.0f / float(in.texture->Height()));
                texel = true;
            }
        } else if (loc >= 0 && in.matrix) {
            glUniformMatrix4fv(loc, 1, GL_FALSE, &in.matrix->m[0][0]);
        } else if (loc >= 0) {
            glUniform4f(loc, in.value.x, in.value.y, in.value.z, in.value.w);
        }
    }
    Resolved r;
    r.cull = eCullNone;
    r.depthTest = depth >= 0.0f;
    r.depthWrite = false;
    r.depthFunc = eCompareLessEqual;
    glUniform1f(glGetUniformLocation(prog, "uQuadDepth"), depth >= 0.0f ? std::min(depth, 1.0f) : 0.0f);
    // Inputs are whole frames: a pass drawn over part of the target samples that part of them.
    float uv[4] = {0, 0, 1, 1};
    if (RenderTarget* target = ColorTarget() ? ColorTarget() : DepthTarget()) {
        GLint vp[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, vp);
        if (vp[2] > 0 && vp[3] > 0 && target->Width() > 0 && target->Height() > 0) {
            uv[0] = float(vp[0]) / float(target->Width());
            uv[1] = float(vp[1]) / float(target->Height());
            uv[2] = float(vp[2]) / float(target->Width());
            uv[3] = float(vp[3]) / float(target->Height());
        }
    }
    glUniform4fv(glGetUniformLocation(prog, "uUVRect"), 1, uv);
    if (blend) {
        r.blend.enable = true;
        r.blend.src = eBlendSrcAlpha;
        r.blend.dest = eBlendInvSrcAlpha;
        r.blend.srcAlpha = eBlendOne;
        r.blend.destAlpha = eBlendInvSrcAlpha;
    }
    Apply(d.gl, r, m_stats);
    for (int i = 0; i < ADrawContext::kMaxClipPlanes; ++i)
        glDisable(GLenum(GL_CLIP_DISTANCE0 + i));
    glBindVertexArray(d.emptyVao);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    ++m_stats.drawCalls;
    return true;
}

bool DrawManager::Resolve(RenderTarget* from, RenderTarget* to) {
    if (!from || !to || from->IsDepth() != to->IsDepth() || from->Width() != to->Width() ||
        from->Height() != to->Height() || !m_device.MakeCurrent())
        return false;
    Impl& d = *m_impl;
    const GLenum attachment = from->IsDepth() ? GL_DEPTH_ATTACHMENT : GL_COLOR_ATTACHMENT0;
    if (from->Format() == eTargetDepthStencil && to->Format() == eTargetDepthStencil) {
        glNamedFramebufferTexture(d.readFbo, GL_DEPTH_STENCIL_ATTACHMENT, TargetTexture(from), 0);
        glNamedFramebufferTexture(d.resolveFbo, GL_DEPTH_STENCIL_ATTACHMENT, TargetTexture(to), 0);
    } else {
        glNamedFramebufferTexture(d.readFbo, attachment, TargetTexture(from), 0);
        glNamedFramebufferTexture(d.resolveFbo, attachment, TargetTexture(to), 0);
    }
    // The read buffer is part of the framebuffer: a depth read-back may have left it off.
    glNamedFramebufferReadBuffer(d.readFbo, from->IsDepth() ? GL_NONE : GL_COLOR_ATTACHMENT0);
    const GLbitfield mask = from->IsDepth() ? GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT;
    glBlitNamedFramebuffer(d.readFbo, d.resolveFbo, 0, 0, from->Width(), from->Height(), 0, 0, to->Width(),
                           to->Height(), mask, GL_NEAREST);
    glNamedFramebufferTexture(d.readFbo, GL_COLOR_ATTACHMENT0, 0, 0);
    glNamedFramebufferTexture(d.readFbo, GL_DEPTH_ATTACHMENT, 0, 0);
    glNamedFramebufferTexture(d.readFbo, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
    glNamedFramebufferTexture(d.resolveFbo, GL_COLOR_ATTACHMENT0, 0, 0);
    glNamedFramebufferTexture(d.resolveFbo, GL_DEPTH_ATTACHMENT, 0, 0);
    glNamedFramebufferTexture(d.resolveFbo, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
    return true;
}

bool DrawManager::ReadPixels(RenderTarget* target, std::vector<std::uint8_t>& rgba) {
    if (!target || target->IsDepth() || !m_device.MakeCurrent())
        return false;
    Impl& d = *m_impl;
    RenderTarget* source = target;
    if (target->Samples() > 1 || target->Format() != eTargetRGBA8) {
        if (!d.resolveScratch || !d.resolveScratch->Matches(target->Width(), target->Height(), eTargetRGBA8, 1))
            d.resolveScratch = RenderTarget::Make(target->Width(), target->Height(), eTargetRGBA8, 1);
        if (!Resolve(target, d.resolveScratch))
            return false;
        source = d.resolveScratch;
    }
    const int w = source->Width(), h = source->Height();
    rgba.resize(size_t(w) * size_t(h) * 4);
    glNamedFramebufferTexture(d.readFbo, GL_COLOR_ATTACHMENT0, TargetTexture(source), 0);
    glNamedFramebufferReadBuffer(d.readFbo, GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, d.readFbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, d.fbo);
    glNamedFramebufferTexture(d.readFbo, GL_COLOR_ATTACHMENT0, 0, 0);
    // GL rows run bottom up; images here run top down.
    const size_t row = size_t(w) * 4;
    std::vector<std::uint8_t> tmp(row);
    for (int y = 0; y < h / 2; ++y) {
        std::uint8_t* a = rgba.data() + size_t(y) * row;
        std::uint8_t* b = rgba.data() + size_t(h - 1 - y) * row;
        std::memcpy(tmp.data(), a, row);
        std::memcpy(a, b, row);
        std::memcpy(b, tmp.data(), row);
    }
    return true;
}

bool DrawManager::ReadDepth(RenderTarget* target, std::vector<float>& depth) {
    if (!target || !target->IsDepth() || !m_device.MakeCurrent())
        return false;
    Impl& d = *m_impl;
    RenderTarget* source = target;
    Lumo::Objects::AutoPtr<RenderTarget> single;
    if (target->Samples() > 1) {
        single = RenderTarget::Make(target->Width(), target->Height(), target->Format(), 1);
        if (!single || !Resolve(target, single))
            return false;
        source = single;
    }
    const int w = source->Width(), h = source->Height();
    depth.resize(size_t(w) * size_t(h));
    const GLenum attachment =
        source->Format() == eTargetDepthStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
    glNamedFramebufferTexture(d.readFbo, attachment, TargetTexture(source), 0);
    glNamedFramebufferReadBuffer(d.readFbo, GL_NONE);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, d.readFbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, d.fbo);
    glNamedFramebufferTexture(d.readFbo, attachment, 0, 0);
    for (int y = 0; y < h / 2; ++y)
        std::swap_ranges(depth.begin() + std::ptrdiff_t(y) * w, depth.begin() + std::ptrdiff_t(y + 1) * w,
                         depth.begin() + std::ptrdiff_t(h - 1 - y) * w);
    return true;
}

bool DrawManager::SavePng(RenderTarget* target, std::string_view utf8Path) {
    std::vector<std::uint8_t> rgba;
    if (!ReadPixels(target, rgba))
        return false;
    return PngWriter::WriteUtf8(utf8Path, target->Width(), target->Height(), rgba.data());
}

namespace {

// Placed as the stock programs place vertices (same depth shift and clipping), so that ids
// win the depth test where the frame's colours do.
const char* kIdVertex = R"(#version 450 core
layout(location = 0) in vec3 aPos;
uniform mat4 uWorld;
uniform mat4 uViewProj;
uniform float uDepthShift;
uniform int uClipCount;
uniform vec4 uClip[6];
out float gl_ClipDistance[6];
void main() {
    vec4 w = uWorld * vec4(aPos, 1.0);
    gl_Position = uViewProj * w;
    gl_Position.z -= uDepthShift * gl_Position.w;
    vec3 p = w.xyz / w.w;
    for (int i = 0; i < 6; ++i)
        gl_ClipDistance[i] = i < uClipCount ? dot(uClip[i], vec4(p, 1.0)) : 1.0;
}
)";

// Each byte of the id is a multiple of 1/255: it survives the 8-bit target exactly.
const char* kIdFragment = R"(#version 450 core
uniform uint uId;
out vec4 oColor;
void main() {
    oColor = vec4(float(uId & 255u), float((uId >> 8) & 255u), float((uId >> 16) & 255u), 255.0) / 255.0;
}
)";

} // namespace

bool DrawManager::DrawIds(ADrawContext& dc, const std::vector<RenderItem*>& items, int width, int height,
                          std::vector<std::uint32_t>& ids, std::vector<float>& depth) {
    ids.clear();
    depth.clear();
    if (width < 1 || height < 1 || !m_device.MakeCurrent())
        return false;
    Impl& d = *m_impl;
    if (!d.idProgram) {
        if (d.idFailed)
            return false;
        d.idProgram = BuildProgram(kIdVertex, kIdFragment, d.log);
        if (!d.idProgram) {
            d.idFailed = true;
            return false;
        }
        d.idWorld = glGetUniformLocation(d.idProgram, "uWorld");
        d.idViewProj = glGetUniformLocation(d.idProgram, "uViewProj");
        d.idShift = glGetUniformLocation(d.idProgram, "uDepthShift");
        d.idId = glGetUniformLocation(d.idProgram, "uId");
        d.idClipCount = glGetUniformLocation(d.idProgram, "uClipCount");
        d.idClip = glGetUniformLocation(d.idProgram, "uClip");
    }
    Lumo::Objects::AutoPtr<RenderTarget> color = m_device.Targets().Acquire(width, height, eTargetRGBA8, 1);
    Lumo::Objects::AutoPtr<RenderTarget> depthTarget = m_device.Targets().Acquire(width, height, eTargetDepth32F, 1);
    if (!color || !depthTarget)
        return false;
    if (!d.idFbo)
        glCreateFramebuffers(1, &d.idFbo);
    glNamedFramebufferTexture(d.idFbo, GL_COLOR_ATTACHMENT0, TargetTexture(color), 0);
    glNamedFramebufferTexture(d.idFbo, GL_DEPTH_ATTACHMENT, TargetTexture(depthTarget), 0);
    glNamedFramebufferDrawBuffer(d.idFbo, GL_COLOR_ATTACHMENT0);
    glNamedFramebufferReadBuffer(d.idFbo, GL_COLOR_ATTACHMENT0);
    auto detach = [&] {
        glNamedFramebufferTexture(d.idFbo, GL_COLOR_ATTACHMENT0, 0, 0);
        glNamedFramebufferTexture(d.idFbo, GL_DEPTH_ATTACHMENT, 0, 0);
        m_device.Targets().Release(color);
        m_device.Targets().Release(depthTarget);
    };
    if (glCheckNamedFramebufferStatus(d.idFbo, GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        detach();
        return false;
    }

    // What the caller's drawing relies on and the state cache does not track.
    GLint drawFbo = 0, readFbo = 0, viewport[4] = {0, 0, 0, 0}, packAlignment = 4;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFbo);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFbo);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    const GLboolean multisample = glIsEnabled(GL_MULTISAMPLE), scissor = glIsEnabled(GL_SCISSOR_TEST);
    GLboolean clipOn[ADrawContext::kMaxClipPlanes];
    for (int i = 0; i < ADrawContext::kMaxClipPlanes; ++i)
        clipOn[i] = glIsEnabled(GLenum(GL_CLIP_DISTANCE0 + i));

    glBindFramebuffer(GL_FRAMEBUFFER, d.idFbo);
    glViewport(0, 0, width, height);
    glDisable(GL_MULTISAMPLE);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    d.gl.valid = false;
    const float none[4] = {0, 0, 0, 0}, farDepth = 1.0f;
    glClearNamedFramebufferfv(d.idFbo, GL_COLOR, 0, none);
    glClearNamedFramebufferfv(d.idFbo, GL_DEPTH, 0, &farDepth);

    glUseProgram(d.idProgram);
    const mat4<float> vp = dc.ViewMatrix() * dc.ProjMatrix();
    glUniformMatrix4fv(d.idViewProj, 1, GL_FALSE, &vp.m[0][0]);
    const int clips = std::min<int>(int(dc.ClippingPlanes().size()), ADrawContext::kMaxClipPlanes);
    float clip[ADrawContext::kMaxClipPlanes][4];
    for (int i = 0; i < clips; ++i) {
        const vec4<float>& p = dc.ClippingPlanes()[size_t(i)];
        clip[i][0] = p.x, clip[i][1] = p.y, clip[i][2] = p.z, clip[i][3] = p.w;
    }
    glUniform1i(d.idClipCount, clips);
    if (clips)
        glUniform4fv(d.idClip, clips, &clip[0][0]);
    for (int i = 0; i < ADrawContext::kMaxClipPlanes; ++i)
        (i < clips) ? glEnable(GLenum(GL_CLIP_DISTANCE0 + i)) : glDisable(GLenum(GL_CLIP_DISTANCE0 + i));

    static const mat4<float> kIdentity;
    constexpr std::size_t kMaxIds = 0xFFFFFF; // 24 bits of colour
    unsigned layout = ~0u;
    for (std::size_t i = 0; i < items.size() && i < kMaxIds; ++i) {
        RenderItem* item = items[i];
        SimpleMesh* mesh = item ? item->Mesh() : nullptr;
        GLMeshData* gm = mesh ? UploadMesh(mesh) : nullptr;
        if (!gm)
            continue;
        // The frame's culling, fill and depth offsets decide what shows; colours never blend.
        Resolved r;
        Take(r, d.base);
        if (EffectInstance* e = item->Effect())
            Take(r, e->StateOverrides());
        if (item->HasCullMode())
            r.cull = item->CullMode();
        r.depthTest = r.depthWrite = true;
        r.depthFunc = eCompareLessEqual;
        r.ds = nullptr;
        r.blend = SRenderTargetBlend();
        Apply(d.gl, r, m_stats);
        const Lumo::Objects::ADevMatrix* w = item->WorldMatrix();
        const mat4<float>& m = w ? w->Matrix() : kIdentity;
        glUniformMatrix4fv(d.idWorld, 1, GL_FALSE, &m.m[0][0]);
        glUniform1f(d.idShift, float(item->DepthPriority()) * 1e-5f);
        glUniform1ui(d.idId, GLuint(i + 1));
        const GLuint vao = d.Vao(gm->components);
        if (gm->components != layout) {
            glBindVertexArray(vao);
            layout = gm->components;
        }
        glVertexArrayVertexBuffer(vao, 0, gm->vbo, 0, GLsizei(mesh->Format() ? mesh->Format()->StrideBytes() : 12));
        glVertexArrayElementBuffer(vao, gm->indexed ? gm->ebo : 0);
        if (gm->indexed)
            glDrawElements(gm->mode, gm->count, GL_UNSIGNED_INT, nullptr);
        else
            glDrawArrays(gm->mode, 0, gm->count);
        ++m_stats.drawCalls;
    }

    const std::size_t count = std::size_t(width) * std::size_t(height);
    std::vector<std::uint8_t> rgba(count * 4);
    depth.resize(count);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    ids.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = &rgba[i * 4];
        ids[i] = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
    }

    // The caller's framebuffers, viewport and switches; the next draw rebinds program and
    // vertex layout, and the state cache holds what Apply last set.
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawFbo));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readFbo));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    multisample ? glEnable(GL_MULTISAMPLE) : glDisable(GL_MULTISAMPLE);
    scissor ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST);
    for (int i = 0; i < ADrawContext::kMaxClipPlanes; ++i)
        clipOn[i] ? glEnable(GLenum(GL_CLIP_DISTANCE0 + i)) : glDisable(GLenum(GL_CLIP_DISTANCE0 + i));
    glUseProgram(0);
    glBindVertexArray(0);
    d.currentProgram = -1;
    d.currentEffect = nullptr;
    d.currentMesh = nullptr;
    d.currentLayout = ~0u;
    detach();
    return true;
}

} // namespace Lumo::Devices
