#pragma once
// The export's own OBJ writer; not part of the installed interface.
#include <string>

namespace Host {

class Model;

/// Writes `model` as OBJ with its materials in a .mtl of the same name beside it. OBJ knows no
/// placements: every placed body is written in model space, a group per body, mirrored
/// placements with their winding turned so faces stay outward, and a placement's colour as a
/// material of its own. Both files are replaced whole. False with `error` naming the file and
/// the cause on failure.
bool WriteObj(const Model& model, const std::string& path, std::string& error);

} // namespace Host
