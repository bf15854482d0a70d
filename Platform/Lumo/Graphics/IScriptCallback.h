#pragma once
#include <Lumo/Devices/FragmentValue.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

#include <vector>

namespace Lumo::Graphics {

class ScriptInterpreter;

/// A named operation scripts call ("Call <name> args..."). Prototypes are registered with the
/// class factory under their name; the interpreter makes one per name and keeps it.
class IScriptCallback : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    /// Answers false (doing nothing) when an argument is missing or of the wrong kind.
    virtual bool Execute(ScriptInterpreter& interpreter, std::vector<Lumo::Devices::FragmentValue>& args) = 0;

protected:
    IScriptCallback() = default;
};

} // namespace Lumo::Graphics
