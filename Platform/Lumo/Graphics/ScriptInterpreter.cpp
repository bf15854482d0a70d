#include <Lumo/Devices/ABlendState.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/FragmentGraph.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Devices/StateSetter.h>
#include <Lumo/Devices/TargetCache.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Graphics/IScriptCallback.h>
#include <Lumo/Graphics/PixelBasedLODStrategy.h>
#include <Lumo/Graphics/ScriptFragment.h>
#include <Lumo/Graphics/ScriptInterpreter.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/TraversalStateList.h>
#include <Lumo/Graphics/WorldList.h>
#include <Lumo/Objects/ClassFactory.h>
#include <Lumo/Objects/UString.h>

#include <algorithm>
#include <cwchar>
#include <map>

namespace Lumo::Graphics {

using Lumo::Devices::FragmentValue;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::Intern;
using Lumo::Objects::UString;

LUMO_DEFINE_CLASS(ScriptFragment, Lumo::Devices::AFragment)
LUMO_DEFINE_CLASS(IScriptCallback, Lumo::Objects::ARefCounted)

struct ScriptFragment::Cache {
    std::map<std::wstring, std::pair<std::wstring, AutoPtr<ScriptPipeRenderer>>> renderers; // var -> agents, renderer
    std::map<std::wstring, AutoPtr<TraversalStateList>> lists;
};

ScriptFragment::ScriptFragment(UString* name, const std::wstring& description) : AFragment(name) {
    Description(description);
}
ScriptFragment::ScriptFragment(const ScriptFragment& other)
    : AFragment(other), m_commands(other.m_commands), m_program(other.m_program) {}
ScriptFragment::~ScriptFragment() {
    delete m_cache;
}
ScriptFragment* ScriptFragment::Make(UString* name, const std::wstring& description) {
    return new ScriptFragment(name, description);
}
Lumo::Devices::AFragment* ScriptFragment::Clone() const {
    return new ScriptFragment(*this);
}
ScriptFragment::Cache& ScriptFragment::RunCache() const {
    if (!m_cache)
        m_cache = new Cache;
    return *m_cache;
}

/// Names and values visible to one fragment while it runs.
struct ScriptInterpreter::Scope {
    using Table = std::vector<std::pair<UString*, FragmentValue>>;
    const Table* graphArgs = nullptr; // the run's arguments by name
    Table bindings;                   // inputs fed by connections or exposed arguments (eNone: exposed, unset)
    Table locals;
    Table outputs;

    static const FragmentValue* Find(const Table& t, const UString* name) {
        for (auto& [n, v] : t)
            if (n == name)
                return &v;
        return nullptr;
    }
    static void Set(Table& t, UString* name, const FragmentValue& value) {
        for (auto& [n, v] : t)
            if (n == name) {
                v = value;
                return;
            }
        t.emplace_back(name, value);
    }
};

namespace {

FragmentValue Literal(const std::wstring& text) {
    if (text == L"true")
        return FragmentValue::Bool(true);
    if (text == L"false")
        return FragmentValue::Bool(false);
    // Numbers and comma-separated vectors of up to four numbers.
    float f[4];
    int n = 0;
    bool integer = true;
    const wchar_t* p = text.c_str();
    while (*p && n < 4) {
        wchar_t* end = nullptr;
        const double v = std::wcstod(p, &end);
        if (end == p)
            return FragmentValue::Text(text);
        for (const wchar_t* q = p; q < end; ++q)
            if (*q == L'.' || *q == L'e' || *q == L'E')
                integer = false;
        f[n++] = float(v);
        p = end;
        if (*p == L',')
            ++p;
        else if (*p)
            return FragmentValue::Text(text);
    }
    if (*p || n == 0)
        return FragmentValue::Text(text);
    if (n == 1)
        return integer ? FragmentValue::Int(int(f[0])) : FragmentValue::Float(f[0]);
    if (n == 2)
        return FragmentValue::Float2({f[0], f[1]});
    if (n == 3)
        return FragmentValue::Float3({f[0], f[1], f[2]});
    return FragmentValue::Float4({f[0], f[1], f[2], f[3]});
}

Lumo::Devices::ETargetFormat FormatOf(const std::wstring& name) {
    using namespace Lumo::Devices;
    if (name == L"EFORMAT_R16G16B16A16_FLOAT")
        return eTargetRGBA16F;
    if (name == L"EFORMAT_R32_FLOAT")
        return eTargetR32F;
    if (name == L"EFORMAT_D24S8" || name == L"DepthStencil")
        return eTargetDepthStencil;
    if (name == L"EFORMAT_D32_FLOAT" || name == L"Depth")
        return eTargetDepth32F;
    return eTargetRGBA8;
}

} // namespace

ScriptInterpreter::ScriptInterpreter(Lumo::Devices::ADrawContext& dc) : m_dc(dc) {}
ScriptInterpreter::~ScriptInterpreter() {
    ReleaseLocalTargets();
}

Lumo::Devices::DrawManager* ScriptInterpreter::Draw() const {
    auto* device = m_dc.VirtualDevice();
    auto* gl =
        device ? static_cast<Lumo::Devices::GLDevice*>(device->GetInterface(Lumo::Devices::GLDevice::StaticClassName()))
               : nullptr;
    return gl ? &gl->Draw() : nullptr;
}

void ScriptInterpreter::DefaultTargets(Lumo::Devices::RenderTarget* color, Lumo::Devices::RenderTarget* depthStencil) {
    m_defaultColor = color;
    m_defaultDepth = depthStencil;
}
Lumo::Devices::RenderTarget* ScriptInterpreter::DefaultColorTarget() const {
    return m_defaultColor;
}
void ScriptInterpreter::BaseStates(Lumo::Devices::StateSetter* states) {
    m_baseStates = states;
}

void ScriptInterpreter::ReleaseLocalTargets() {
    auto* device = m_dc.VirtualDevice();
    auto* gl =
        device ? static_cast<Lumo::Devices::GLDevice*>(device->GetInterface(Lumo::Devices::GLDevice::StaticClassName()))
               : nullptr;
    for (auto& t : m_localTargets)
        if (gl)
            gl->Targets().Release(t);
    m_localTargets.clear();
}

bool ScriptInterpreter::Fail(const std::wstring& message) {
    m_error = message;
    return false;
}

void ScriptInterpreter::DefaultViewport(int x, int y, int width, int height) {
    m_defaultViewport[0] = x;
    m_defaultViewport[1] = y;
    m_defaultViewport[2] = width > 0 ? width : 0;
    m_defaultViewport[3] = height > 0 ? height : 0;
}

bool ScriptInterpreter::Run(Lumo::Devices::AFragment* fragment) {
    m_error.clear();
    m_commands = 0;
    if (!fragment)
        return Fail(L"no fragment");
    if (!Draw())
        return Fail(L"the device cannot draw");
    Scope scope;
    scope.graphArgs = &fragment->Arguments();
    return RunMember(fragment, scope);
}

bool ScriptInterpreter::RunMember(Lumo::Devices::AFragment* fragment, Scope& scope) {
    if (++m_depth > kMaxDepth) {
        --m_depth;
        return Fail(L"graphs nest too deep");
    }
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_depth};
    auto* graph = static_cast<Lumo::Devices::FragmentGraph*>(
        fragment->GetInterface(Lumo::Devices::FragmentGraph::StaticClassName()));
    if (!graph) {
        auto* script = static_cast<ScriptFragment*>(fragment->GetInterface(ScriptFragment::StaticClassName()));
        return script ? RunScript(*script, scope) : true; // a fragment of data only does nothing
    }
    // The graph's arguments: what it was given, over what the caller's run had, with its
    // inputs fed by the caller (connections or renamed exposure) under their own names.
    Scope::Table args = *scope.graphArgs;
    for (auto& [n, v] : graph->Arguments())
        Scope::Set(args, n, v);
    for (auto& [n, v] : scope.bindings)
        if (v.IsSet())
            Scope::Set(args, n, v);
    const int count = graph->FragmentCount();
    std::vector<Scope::Table> outputs(static_cast<size_t>(count));
    std::vector<int> order;
    std::vector<bool> done(size_t(count), false);
    // Members in order, each after the members feeding it.
    while (int(order.size()) < count) {
        bool progress = false;
        for (int m = 0; m < count; ++m) {
            if (done[size_t(m)])
                continue;
            bool ready = true;
            for (const auto& c : graph->Connections())
                if (c.to == m && !done[size_t(c.from)])
                    ready = false;
            if (ready) {
                done[size_t(m)] = true;
                order.push_back(m);
                progress = true;
            }
        }
        if (!progress)
            return Fail(L"the graph has a loop");
    }
    for (int m : order) {
        Lumo::Devices::AFragment* member = graph->Fragment(m);
        Scope inner;
        inner.graphArgs = &args;
        for (int i = 0; i < int(member->Inputs().size()); ++i) {
            UString* name = member->Inputs()[size_t(i)].name;
            auto feed = graph->Feeding(m, i);
            if (feed.from >= 0) {
                UString* outName = graph->Fragment(feed.from)->Outputs()[size_t(feed.output)].name;
                if (const FragmentValue* v = Scope::Find(outputs[size_t(feed.from)], outName))
                    Scope::Set(inner.bindings, name, *v);
                continue;
            }
            for (int k = 0; k < int(graph->Inputs().size()); ++k) {
                auto target = graph->ArgumentTarget(graph->Inputs()[size_t(k)].name);
                if (target.member == m && target.input == i) {
                    UString* argName = graph->Inputs()[size_t(k)].name;
                    const FragmentValue* v = Scope::Find(args, argName);
                    Scope::Set(inner.bindings, name, v ? *v : FragmentValue());
                }
            }
        }
        if (!RunMember(member, inner))
            return false;
        outputs[size_t(m)] = std::move(inner.outputs);
    }
    // The graph's outputs are the member outputs it exposes; without any, its last member's.
    for (int k = 0; k < int(graph->Outputs().size()); ++k) {
        UString* outName = graph->Outputs()[size_t(k)].name;
        const auto source = graph->ResultSource(k);
        if (source.member < 0 || source.member >= count)
            continue;
        UString* memberOut = graph->Fragment(source.member)->Outputs()[size_t(source.input)].name;
        if (const FragmentValue* v = Scope::Find(outputs[size_t(source.member)], memberOut))
            Scope::Set(scope.outputs, outName, *v);
    }
    if (graph->Outputs().empty() && !order.empty())
        scope.outputs = outputs[size_t(order.back())];
    return true;
}

bool ScriptInterpreter::RunScript(ScriptFragment& fragment, Scope& scope) {
    using namespace Lumo::Devices;
    DrawManager* draw = Draw();
    ScriptFragment::Cache& cache = fragment.RunCache();
    AutoPtr<RenderTarget> color = m_defaultColor, depth = m_defaultDepth;
    if (draw->ColorTarget() && !color)
        color = draw->ColorTarget();
    if (draw->DepthTarget() && !depth)
        depth = draw->DepthTarget();
    AutoPtr<StateSetter> states(m_baseStates ? m_baseStates->Clone() : StateSetter::Make());
    draw->BaseStates(states);
    // Whatever the script sets (camera, states, override effect) ends with it, even when a
    // command fails: the next fragment and the caller's frame start as they were.
    struct Restore {
        Lumo::Devices::ADrawContext& dc;
        DrawManager& draw;
        StateSetter* base;
        Lumo::Objects::mat4<float> view, proj;
        ~Restore() {
            dc.ViewMatrix(view);
            dc.ProjMatrix(proj);
            draw.BaseStates(base);
            draw.OverrideEffect(nullptr);
        }
    } restore{m_dc, *draw, m_baseStates, m_dc.ViewMatrix(), m_dc.ProjMatrix()};

    auto lookup = [&](const std::wstring& token) -> FragmentValue {
        if (token.empty() || token[0] != L'@')
            return Literal(token);
        UString* name = Intern(token.c_str() + 1);
        if (const FragmentValue* v = Scope::Find(scope.locals, name))
            return *v;
        // An exposed input left unset takes the fragment's own value or default, never a run
        // argument of its plain name (an environment pass must not draw the model's world).
        bool exposedUnset = false;
        if (const FragmentValue* v = Scope::Find(scope.bindings, name)) {
            if (v->IsSet())
                return *v;
            exposedUnset = true;
        }
        if (const FragmentValue* v = fragment.FindArgument(name)) {
            // "@other" given as a fragment's own argument reads the run's argument of that name.
            if (v->kind == FragmentValue::eText && v->text.size() > 1 && v->text[0] == L'@')
                if (const FragmentValue* a = Scope::Find(*scope.graphArgs, Intern(v->text.c_str() + 1)))
                    return *a;
            return v->kind == FragmentValue::eText && !v->text.empty() && v->text[0] == L'@' ? FragmentValue() : *v;
        }
        if (const FragmentValue* v = exposedUnset ? nullptr : Scope::Find(*scope.graphArgs, name))
            return *v;
        if (const FragmentValue* v = Scope::Find(scope.outputs, name))
            return *v;
        const int input = fragment.InputIndex(name);
        if (input >= 0 && fragment.Inputs()[size_t(input)].type != eParamNone) {
            const ParameterValues& d = fragment.Defaults();
            switch (d.Type(input)) {
            case eParamFloat:
                return FragmentValue::Float(d.GetFloat(input));
            case eParamFloat2:
                return FragmentValue::Float2(d.GetFloat2(input));
            case eParamFloat3:
                return FragmentValue::Float3(d.GetFloat3(input));
            case eParamFloat4:
                return FragmentValue::Float4(d.GetFloat4(input));
            case eParamInt:
                return FragmentValue::Int(d.GetInt(input));
            case eParamMatrix:
                return FragmentValue::Matrix(d.GetMatrix(input));
            default:
                break;
            }
        }
        return {};
    };
    // Binding resets the device's viewport to the target: a script's own rectangle (or the
    // default one) is put back, so that passes of a part of the view stay inside it.
    int viewport[4] = {m_defaultViewport[0], m_defaultViewport[1], m_defaultViewport[2], m_defaultViewport[3]};
    // The default rectangle belongs to the view's own targets; other targets (shadow maps,
    // local targets) are drawn whole unless a script says otherwise.
    auto onViewTargets = [&] {
        RenderTarget* t = color ? color.get() : depth.get();
        return t && (t == m_defaultColor.get() || t == m_defaultDepth.get());
    };
    bool ownViewport = false;
    auto applyViewport = [&] {
        if (!ownViewport) {
            if (onViewTargets() && m_defaultViewport[2] > 0)
                std::copy(std::begin(m_defaultViewport), std::end(m_defaultViewport), viewport);
            else
                viewport[2] = viewport[3] = 0;
        }
        if (viewport[2] > 0 && viewport[3] > 0)
            draw->Viewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    };
    auto bind = [&]() -> bool {
        const bool ok = draw->BindTargets(color, depth);
        applyViewport();
        return ok;
    };
    auto local = [&](const std::wstring& token) {
        return Intern((token[0] == L'@' ? token.substr(1) : token).c_str());
    };

    std::vector<std::pair<bool, bool>> conditions; // (taking this branch, enclosing running)
    auto running = [&] { return conditions.empty() || (conditions.back().first && conditions.back().second); };
    const std::wstring fname = fragment.Name() ? fragment.Name()->Text() : std::wstring();

    for (const ScriptFragment::Command& cmd : fragment.Commands()) {
        if (cmd.empty())
            continue;
        const std::wstring& op = cmd[0];
        auto arg = [&](size_t i) -> std::wstring { return i < cmd.size() ? cmd[i] : std::wstring(); };
        if (op == L"If" || op == L"IfNot") {
            const bool enclosing = running();
            bool v = enclosing && lookup(arg(1)).AsBool();
            conditions.emplace_back(op == L"If" ? v : !v, enclosing);
            continue;
        }
        if (op == L"Else") {
            if (conditions.empty())
                return Fail(fname + L": Else without If");
            conditions.back().first = !conditions.back().first;
            continue;
        }
        if (op == L"EndIf") {
            if (conditions.empty())
                return Fail(fname + L": EndIf without If");
            conditions.pop_back();
            continue;
        }
        if (!running())
            continue;
        ++m_commands;
        if (op == L"Declare") {
            AutoPtr<TraversalStateList>& list = cache.lists[arg(1)];
            if (!list)
                list = TraversalStateList::Make();
            list->Clear();
            Scope::Set(scope.locals, local(arg(1)), FragmentValue::Object(list));
        } else if (op == L"Assign") {
            Scope::Set(scope.locals, local(arg(1)), lookup(arg(2)));
        } else if (op == L"AssignIfSet") {
            FragmentValue v = lookup(arg(2));
            if (v.IsSet())
                Scope::Set(scope.locals, local(arg(1)), v);
        } else if (op == L"SetTarget") {
            FragmentValue v = lookup(arg(1));
            RenderTarget* t = v.As<RenderTarget>();
            color = t ? AutoPtr<RenderTarget>(t) : arg(1) == L"none" ? AutoPtr<RenderTarget>() : m_defaultColor;
            if (!bind())
                return Fail(fname + L": cannot bind the target");
        } else if (op == L"SetDepthStencil") {
            FragmentValue v = lookup(arg(1));
            RenderTarget* t = v.As<RenderTarget>();
            depth = t ? AutoPtr<RenderTarget>(t) : arg(1) == L"none" ? AutoPtr<RenderTarget>() : m_defaultDepth;
            if (!bind())
                return Fail(fname + L": cannot bind the depth target");
        } else if (op == L"SetViewport") {
            FragmentValue v = lookup(arg(1));
            RenderTarget* t = color ? color.get() : depth.get();
            ownViewport = v.kind == FragmentValue::eFloat4;
            if (ownViewport)
                for (int i = 0; i < 4; ++i)
                    viewport[i] = int(v.f[i]);
            applyViewport();
            if (viewport[2] <= 0 && t)
                draw->Viewport(0, 0, t->Width(), t->Height());
        } else if (op == L"Clear") {
            const int flags = lookup(arg(1)).AsInt(eClearColor | eClearDepth | eClearStencil);
            FragmentValue c = lookup(arg(2));
            Lumo::Objects::vec4<float> rgba(c.f[0], c.f[1], c.f[2], c.kind == FragmentValue::eFloat4 ? c.f[3] : 1.0f);
            draw->Clear(unsigned(flags), rgba, lookup(arg(3)).AsFloat(1.0f), lookup(arg(4)).AsInt(0));
        } else if (op == L"SetCamera") {
            if (ARenderCamera* camera = lookup(arg(1)).As<ARenderCamera>()) {
                m_dc.ViewMatrix(camera->ViewMatrix());
                m_dc.ProjMatrix(camera->ProjMatrix());
            }
        } else if (op == L"RestoreOverrideEffect") {
            draw->OverrideEffect(nullptr);
        } else if (op == L"SetRenderer") {
            FragmentValue agents = lookup(arg(3));
            const std::wstring names = agents.kind == FragmentValue::eText ? agents.text : arg(3);
            auto& [known, renderer] = cache.renderers[arg(1)];
            if (!renderer || known != names) {
                renderer = ScriptPipeRenderer::Make();
                renderer->SetAgents(names.c_str());
                known = names;
            }
            Scope::Set(scope.locals, local(arg(1)), FragmentValue::Object(renderer));
        } else if (op == L"SetRenderParameter") {
            auto* renderer = lookup(L"@" + (arg(1)[0] == L'@' ? arg(1).substr(1) : arg(1))).As<ScriptPipeRenderer>();
            if (!renderer)
                return Fail(fname + L": no renderer " + arg(1));
            FragmentValue v = lookup(arg(3));
            if (v.kind == FragmentValue::eObject)
                renderer->SetParameter(Intern(arg(2).c_str()), v.object.get());
            else if (v.IsSet())
                renderer->SetParameter(Intern(arg(2).c_str()), v.AsBool());
            else
                renderer->SetParameter(Intern(arg(2).c_str()), static_cast<Lumo::Objects::ARefCounted*>(nullptr));
        } else if (op == L"State") {
            const std::wstring what = arg(1), how = arg(2);
            if (what == L"WriteMask") {
                AutoPtr<ABlendState> b(states->Blend() ? states->Blend()->Clone() : ABlendState::Make());
                b->WriteMask(0, how == L"None" ? 0 : eWriteAll);
                states->Blend(b);
            } else if (what == L"Blend") {
                AutoPtr<ABlendState> b(ABlendState::Make(how == L"BlendMultOver" || how == L"Over" ? eBlendModeOver
                                                         : how == L"Add"                           ? eBlendModeAdd
                                                                                                   : eBlendModeOpaque));
                if (states->Blend())
                    b->WriteMask(0, states->Blend()->Target(0).writeMask);
                states->Blend(b);
            } else if (what == L"Depth") {
                AutoPtr<ADepthStencilState> d(
                    how == L"ZLessEqualNoW" ? ADepthStencilState::Make(true, false, eCompareLessEqual)
                    : how == L"ZOff"        ? ADepthStencilState::Make(false, false, eCompareAlways)
                                            : ADepthStencilState::Make(true, true, eCompareLessEqual));
                states->DepthStencil(d);
            } else if (what == L"Bias") {
                AutoPtr<ARasterizerState> r(states->Rasterizer() ? states->Rasterizer()->Clone()
                                                                 : ARasterizerState::Make());
                r->SlopeScaledDepthBias(lookup(arg(2)).AsFloat(0.0f));
                r->DepthBias(lookup(arg(3)).AsInt(0));
                states->Rasterizer(r);
            } else if (what == L"Cull") {
                AutoPtr<ARasterizerState> r(states->Rasterizer() ? states->Rasterizer()->Clone()
                                                                 : ARasterizerState::Make());
                r->CullMode(how == L"ECullFront" ? eCullFront : how == L"ECullNone" ? eCullNone : eCullBack);
                states->Rasterizer(r);
            } else {
                return Fail(fname + L": unknown state " + what);
            }
            draw->BaseStates(states);
        } else if (op == L"RestoreState") {
            states = m_baseStates ? m_baseStates->Clone() : StateSetter::Make();
            draw->BaseStates(states);
        } else if (op == L"Render") {
            auto* renderer = lookup(L"@" + (arg(1)[0] == L'@' ? arg(1).substr(1) : arg(1))).As<ScriptPipeRenderer>();
            if (!renderer)
                return Fail(fname + L": no renderer " + arg(1));
            FragmentValue world = lookup(arg(2));
            if (!bind())
                return Fail(fname + L": cannot bind the target");
            if (auto* node = world.As<ARenderNode>())
                renderer->Render(m_dc, node);
            else if (auto* list = world.As<WorldList>())
                for (int i = 0; i < list->Count(); ++i)
                    renderer->Render(m_dc, list->At(i));
        } else if (op == L"DrawList") {
            auto* list = lookup(arg(1)).As<TraversalStateList>();
            if (list && list->Count()) {
                if (!bind())
                    return Fail(fname + L": cannot bind the target");
                for (int i = 0; i < list->Count(); ++i) {
                    TraversalState& s = list->At(i);
                    for (int k = 0; k < s.NodeItemCount(); ++k)
                        draw->Draw(s.NodeItem(k));
                }
                draw->Flush(m_dc);
            }
        } else if (op == L"Call") {
            const std::wstring name = arg(1);
            IScriptCallback* callback = nullptr;
            for (auto& [n, c] : m_callbacks)
                if (n == name)
                    callback = c;
            if (!callback) {
                AutoPtr<Lumo::Objects::ARefCounted> made(
                    Lumo::Objects::ClassFactory::Get().Create(Intern(name.c_str())));
                auto* c = made ? static_cast<IScriptCallback*>(made->GetInterface(IScriptCallback::StaticClassName()))
                               : nullptr;
                if (!c)
                    return Fail(fname + L": unknown callback " + name);
                m_callbacks.emplace_back(name, c);
                callback = c;
            }
            std::vector<FragmentValue> args;
            for (size_t i = 2; i < cmd.size(); ++i)
                args.push_back(lookup(cmd[i]));
            callback->Execute(*this, args);
        } else if (op == L"SetParameter") {
            Scope::Set(scope.outputs, local(arg(1)), lookup(arg(2)));
        } else if (op == L"AcquireTarget") {
            auto* device = m_dc.VirtualDevice();
            auto* gl = static_cast<GLDevice*>(device->GetInterface(GLDevice::StaticClassName()));
            RenderTarget* like = color ? color.get() : depth.get();
            if (!gl || !like)
                return Fail(fname + L": no target to size a new one by");
            FragmentValue samples = lookup(arg(3));
            FragmentValue size = lookup(arg(4)); // a square of that size, else the current target's
            const int w = size.IsSet() ? size.AsInt(like->Width()) : like->Width();
            const int h = size.IsSet() ? size.AsInt(like->Height()) : like->Height();
            AutoPtr<RenderTarget> t =
                gl->Targets().Acquire(w, h, FormatOf(arg(2)), samples.IsSet() ? std::max(1, samples.AsInt(1)) : 1);
            if (!t)
                return Fail(fname + L": cannot make a target");
            m_localTargets.push_back(t);
            Scope::Set(scope.locals, local(arg(1)), FragmentValue::Object(t));
        } else if (op == L"Resolve") {
            if (!draw->Resolve(lookup(arg(1)).As<RenderTarget>(), lookup(arg(2)).As<RenderTarget>()))
                return Fail(fname + L": cannot resolve");
            bind();
        } else if (op == L"ScreenPass") {
            if (fragment.Program().empty())
                return Fail(fname + L": no program for the screen pass");
            std::vector<DrawManager::SScreenInput> inputs;
            std::vector<std::string> names; // keeps the uniform names alive
            names.reserve(cmd.size());
            bool blend = false;
            float quadDepth = -1.0f;
            std::vector<FragmentValue> held;
            held.reserve(cmd.size());
            for (size_t i = 1; i < cmd.size(); ++i) {
                const size_t eq = cmd[i].find(L'=');
                if (cmd[i] == L"blend") {
                    blend = true;
                    continue;
                }
                if (eq == std::wstring::npos)
                    continue;
                if (cmd[i].compare(0, eq, L"depth") == 0) {
                    quadDepth = lookup(cmd[i].substr(eq + 1)).AsFloat(-1.0f);
                    continue;
                }
                names.emplace_back(cmd[i].begin(), cmd[i].begin() + std::ptrdiff_t(eq));
                held.push_back(lookup(cmd[i].substr(eq + 1)));
                const FragmentValue& v = held.back();
                DrawManager::SScreenInput in{names.back().c_str()};
                if (auto* t = v.As<RenderTarget>())
                    in.texture = t;
                else if (v.kind == FragmentValue::eMatrix)
                    in.matrix = &v.matrix;
                else
                    in.value = {v.kind == FragmentValue::eInt || v.kind == FragmentValue::eBool ? float(v.i) : v.f[0],
                                v.f[1], v.f[2], v.f[3]};
                inputs.push_back(in);
            }
            if (!bind())
                return Fail(fname + L": cannot bind the target");
            std::string key;
            for (wchar_t c : fname)
                key += c < 128 ? char(c) : '?';
            key += '#' + std::to_string(std::hash<std::string>()(fragment.Program())); // a changed program is a new one
            if (!draw->ScreenPass(key, fragment.Program(), inputs, blend, quadDepth))
                return Fail(fname + L": the screen pass program failed");
        } else {
            return Fail(fname + L": unknown command " + op);
        }
    }
    return true;
}

} // namespace Lumo::Graphics
