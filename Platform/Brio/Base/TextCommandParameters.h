#pragma once
#include <string>
#include <vector>

namespace Brio {

/// The arguments of a text command: flags written "/name" (matched without regard to case)
/// and the other words, in order, as indexed parameters. Double quotes keep spaces in a word.
class TextCommandParameters {
public:
    TextCommandParameters() = default;
    /// Splits the argument text of a command line.
    static TextCommandParameters parse(const std::wstring& arguments);

    bool hasFlag(const std::wstring& name) const;
    const std::vector<std::wstring>& flags() const { return m_flags; }
    int count() const { return static_cast<int>(m_params.size()); }
    /// Parameter i, or an empty text out of range.
    const std::wstring& parameter(int i) const;
    /// Parameter i as a number; false (value untouched) when it is not one or is missing.
    bool parameterAsDouble(int i, double& value) const;
    bool parameterAsInt(int i, int& value) const;

    void addFlag(const std::wstring& name) { m_flags.push_back(name); }
    void addParameter(const std::wstring& value) { m_params.push_back(value); }

private:
    std::vector<std::wstring> m_flags;
    std::vector<std::wstring> m_params;
};

} // namespace Brio
