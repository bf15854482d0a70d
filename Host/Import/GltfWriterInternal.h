#pragma once
// The export's own glTF 2 writer; not part of the installed interface.
#include <string>

namespace Host {

class Model;

/// Writes `model` as glTF 2: binary (.glb, one file) or text (.gltf, with its buffer in a .bin
/// of the same name beside it). Each component with bodies is one mesh, a primitive per body,
/// shared by the nodes of all its placements; a placement's colour (the nearest one's) gives
/// a version of the mesh in that colour over the same arrays. Materials are shared by value,
/// and only placed components are written. Files are
/// replaced whole (written beside, then renamed). False with `error` naming the file and the
/// cause on failure.
bool WriteGltf(const Model& model, const std::string& path, bool binary, std::string& error);

} // namespace Host
