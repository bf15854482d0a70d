#pragma once
#include <string>

namespace Host {

class Model;

/// How a model file is read.
struct ImportOptions {
    /// Faces meeting at a sharper angle than this (degrees) get an edge and split normals.
    float creaseDegrees = 30.f;
    /// 'y' or 'z': the file's up axis; 0 takes it from the file (metadata), else its format's
    /// custom (glTF, OBJ, FBX: y; STL, PLY, 3MF: z). The model is turned to y up.
    char upAxis = 0;
    /// Metres per file unit; 0 takes it from the file where it says, else 1.
    double unitScale = 0;
    /// Percent and phase on one line of standard error, only when it is a terminal.
    bool progress = true;
};

/// Reads a model file (glTF text or binary, OBJ, STL, PLY, 3MF, FBX, and what else the importer
/// knows) into model: the file's node hierarchy as components placed by instances under the
/// model's root (a mesh used by several nodes becomes one component placed several times), a
/// body per mesh and material, edges from creases and boundaries. Answers false with `error`
/// set to one line naming the file and the cause; the model is then unchanged.
bool ImportModel(const std::string& path, Model& model, std::string& error, const ImportOptions& options = {});

/// Writes the model as a file whose format follows the extension (.gltf, .glb, .obj, .stl,
/// .ply, .3mf, .fbx): components become nodes, instances placements. False with `error` set
/// on failure.
bool ExportModel(const Model& model, const std::string& path, std::string& error);

} // namespace Host
