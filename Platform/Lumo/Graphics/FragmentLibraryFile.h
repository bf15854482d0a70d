#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace Lumo::Graphics {

/// Reads a fragment library: text of fragments, each with its description, feature level,
/// inputs and outputs, script commands and an optional GLSL program, and registers them with
/// the fragment manager. The format:
///
///     fragment <name>
///     description <text>
///     level <n>
///     input <name> [bool|int|float|float2|float3|float4|text [default]]
///     output <name>
///     commands
///     <command> <argument>...        (arguments with spaces in "quotes")
///     end
///     program
///     <GLSL lines>
///     endprogram
///     endfragment
///
/// Blank lines and lines starting with # are skipped outside programs.
class FragmentLibraryFile {
public:
    /// Registers every fragment of the text; answers how many, or -1 (nothing registered)
    /// when the text is malformed, with the line and reason in error.
    static int Parse(std::string_view text, std::string* error = nullptr);
    /// Reads and parses a file; -1 when it cannot be read or is malformed.
    static int Load(const std::filesystem::path& path, std::string* error = nullptr);
    /// The library's file name, "LumoFragmentsLibrary-4_0.lumof".
    static const char* FileName();
};

} // namespace Lumo::Graphics
