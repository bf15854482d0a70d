#pragma once
#include <iosfwd>
#include <string>

namespace Brio {

/// The text-command console: reads command lines ("Area.Name /flag words...") from a stream,
/// runs them through the TextCommand registry and prints each reply on its own line, a
/// failure's reply after "Error: ". Besides commands it understands "help" (every command),
/// "help Area" and "help Area.Name", and "exit" or "quit"; blank lines and lines starting
/// with '#' are skipped. Input and output are UTF-8.
class TextCommandConsole {
public:
    TextCommandConsole(std::istream& in, std::ostream& out);

    /// Printed before each line is read; none by default, as for piped input.
    const std::string& prompt() const { return m_prompt; }
    void prompt(std::string text) { m_prompt = std::move(text); }

    /// Runs lines until the input ends or a line asks to stop. Answers how many failed.
    int run();
    /// Runs one line and prints its reply; false when it failed.
    bool execute(const std::string& line);
    /// Whether a line asked to stop.
    bool finished() const { return m_finished; }
    /// How many lines failed so far.
    int failures() const { return m_failures; }

private:
    void print(const std::wstring& text, bool failed);

    std::istream& m_in;
    std::ostream& m_out;
    std::string m_prompt;
    bool m_finished = false;
    int m_failures = 0;
};

} // namespace Brio
