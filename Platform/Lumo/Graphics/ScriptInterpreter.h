#pragma once
#include <Lumo/Devices/FragmentValue.h>
#include <Lumo/Objects/AutoPtr.h>

#include <memory>
#include <string>
#include <vector>

namespace Lumo::Devices {
class ADrawContext;
class AFragment;
class DrawManager;
class RenderTarget;
class StateSetter;
} // namespace Lumo::Devices

namespace Lumo::Graphics {

class ScriptFragment;
class IScriptCallback;

/// Runs fragment graphs: members in the order their connections ask for, each script
/// fragment's commands in turn, values flowing from outputs to inputs. "@name" arguments are
/// looked up in the script's locals, the fragment's inputs (fed by a connection, or by the
/// graph argument they are exposed as), the fragment's own arguments, the arguments of the
/// graph being run, and the input's default, in that order.
///
/// Commands: Declare, Assign, AssignIfSet, If, IfNot, Else, EndIf, SetTarget, SetDepthStencil,
/// SetViewport, Clear, SetCamera, RestoreOverrideEffect, SetRenderer, SetRenderParameter,
/// State (WriteMask, Blend, Depth, Cull, Bias), RestoreState, Render, DrawList, Call, SetParameter,
/// AcquireTarget, Resolve, ScreenPass. An unknown command stops the fragment and is reported.
class ScriptInterpreter {
public:
    explicit ScriptInterpreter(Lumo::Devices::ADrawContext& dc);
    ~ScriptInterpreter();

    Lumo::Devices::ADrawContext& DrawContext() const { return m_dc; }
    /// The device's draw manager; null on a device without one.
    Lumo::Devices::DrawManager* Draw() const;

    /// Targets used where a fragment names none (a view's own targets).
    void DefaultTargets(Lumo::Devices::RenderTarget* color, Lumo::Devices::RenderTarget* depthStencil);
    Lumo::Devices::RenderTarget* DefaultColorTarget() const;
    /// The pixel rectangle (x, y from the bottom left, width, height) scripts draw into unless
    /// they set their own; a width of 0 means the whole bound target. Binding targets keeps it.
    void DefaultViewport(int x, int y, int width, int height);
    /// States every run starts from (null for the device's defaults).
    void BaseStates(Lumo::Devices::StateSetter* states);

    /// Runs a graph or a single fragment with the arguments set on it. False when a command
    /// failed (LastError says which) or the device cannot draw.
    bool Run(Lumo::Devices::AFragment* fragment);
    /// Gives back the targets AcquireTarget took.
    void ReleaseLocalTargets();

    const std::wstring& LastError() const { return m_error; }
    int CommandsRun() const { return m_commands; }

    struct Scope;

private:
    bool RunMember(Lumo::Devices::AFragment* fragment, Scope& scope);
    bool RunScript(ScriptFragment& fragment, Scope& scope);
    bool Fail(const std::wstring& message);

    Lumo::Devices::ADrawContext& m_dc;
    Lumo::Objects::AutoPtr<Lumo::Devices::RenderTarget> m_defaultColor, m_defaultDepth;
    int m_defaultViewport[4] = {0, 0, 0, 0};
    Lumo::Objects::AutoPtr<Lumo::Devices::StateSetter> m_baseStates;
    std::vector<Lumo::Objects::AutoPtr<Lumo::Devices::RenderTarget>> m_localTargets;
    std::vector<std::pair<std::wstring, Lumo::Objects::AutoPtr<IScriptCallback>>> m_callbacks;
    std::wstring m_error;
    int m_commands = 0;
    int m_depth = 0;
    static constexpr int kMaxDepth = 32; // graphs inside graphs; a graph holding itself stops here
};

} // namespace Lumo::Graphics
