#pragma once
// What the host's own model writers share; not part of the installed interface.
#include <Host/Model/Material.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace Host {

/// A material name for a placement's colour, "#RRGGBB".
std::string ColourName(const Rgba& c);

/// Replaces `path` whole with `bytes` (written beside, then renamed). False with `error` naming
/// the file and the cause.
bool WriteWhole(const std::filesystem::path& path, std::string_view bytes, std::string& error);

/// Replaces a main file and the companion it refers to (a .gltf and its .bin, an .obj and its
/// .mtl). The two cannot be renamed at once, so the old companion is kept (a second link to it)
/// until the main file is in place, and put back if that fails: a failed export leaves the old
/// pair as it was, not the old main file over a new companion.
bool WritePair(const std::filesystem::path& main, std::string_view mainBytes, const std::filesystem::path& companion,
               std::string_view companionBytes, std::string& error);

} // namespace Host
