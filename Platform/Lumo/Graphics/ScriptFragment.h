#pragma once
#include <Lumo/Devices/AFragment.h>

#include <string>
#include <vector>

namespace Lumo::Graphics {

/// A fragment whose work is a list of script commands run by the script interpreter. Each
/// command is its name and its arguments; "@name" arguments are read from the fragment's
/// inputs, its locals and the arguments of the graph being run. A fragment may also carry a
/// GLSL program that its "ScreenPass" commands draw with.
class ScriptFragment : public Lumo::Devices::AFragment {
    LUMO_DECLARE_CLASS()
public:
    using Command = std::vector<std::wstring>;

    static ScriptFragment* Make(Lumo::Objects::UString* name, const std::wstring& description = {});
    ~ScriptFragment() override;

    void AddCommand(Command command) { m_commands.push_back(std::move(command)); }
    const std::vector<Command>& Commands() const { return m_commands; }

    /// GLSL fragment source of the fragment's screen pass, if it has one.
    const std::string& Program() const { return m_program; }
    void Program(std::string source) { m_program = std::move(source); }

    AFragment* Clone() const override;

    /// What the interpreter keeps between runs of this fragment (renderers, lists), so that a
    /// steady frame makes none anew.
    struct Cache;
    Cache& RunCache() const;

protected:
    ScriptFragment(Lumo::Objects::UString* name, const std::wstring& description);
    ScriptFragment(const ScriptFragment& other);

private:
    std::vector<Command> m_commands;
    std::string m_program;
    mutable Cache* m_cache = nullptr;
};

} // namespace Lumo::Graphics
