#pragma once
#include <Brio/Base/TextCommandParameters.h>

#include <string>
#include <vector>

namespace Brio {

/// A command of the host's text-command console, in a subject area ("Scene", "Options"...).
/// Commands register themselves on construction (static objects of a library register when
/// it loads) and unregister on destruction.
class TextCommand {
public:
    TextCommand(std::wstring area, std::wstring name, std::wstring help);
    virtual ~TextCommand();
    TextCommand(const TextCommand&) = delete;
    TextCommand& operator=(const TextCommand&) = delete;

    const std::wstring& area() const { return m_area; }
    const std::wstring& name() const { return m_name; }
    const std::wstring& help() const { return m_help; }

    /// Runs the command; the reply goes to reply. False reports a failure (a bad argument).
    virtual bool execute(const TextCommandParameters& parameters, std::wstring& reply) = 0;

    /// The command registered under area and name (case ignored), or null.
    static TextCommand* find(const std::wstring& area, const std::wstring& name);
    static std::vector<TextCommand*> all();
    /// One line "Area.Name: help" per command, sorted by area and name (case ignored); only
    /// the commands of area when one is given. Empty when there are none.
    static std::wstring helpListing(const std::wstring& area = std::wstring());
    /// Runs a console line "Area.Name arguments..."; unknown commands and empty lines
    /// answer false with a reply saying why.
    static bool run(const std::wstring& line, std::wstring& reply);

private:
    std::wstring m_area, m_name, m_help;
};

} // namespace Brio
