#pragma once
// The import's check of glTF files ahead of Assimp; not part of the installed interface.
#include <string>

namespace Host {

/// What is wrong with the index data of a glTF 2 file (binary or text), or empty when nothing
/// is, or when it is no glTF 2 file this check can follow (Assimp then judges it alone).
/// Assimp 5.2 dereferences a null face when an index points past its vertices in a line loop
/// or triangle fan, so every primitive's indices are read here first: each must lie inside its
/// buffer, be unsigned integers, and name one of the primitive's vertices.
std::string BadGltf(const std::string& path);

} // namespace Host
