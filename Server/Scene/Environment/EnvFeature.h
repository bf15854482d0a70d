#pragma once
#include <filesystem>
#include <string>

namespace Lumo::Devices {
class ADrawContext;
}
namespace Lumo::Graphics {
class GeometryNode;
}

namespace Brio::Scene {

/// One piece of an environment's scenery: a mesh file (and the texture it is drawn with) that
/// either surrounds the scene (a dome) or lies under it (a ground plane).
class EnvFeature {
public:
    /// The mesh file's name, relative to the environment's folder.
    const std::wstring& meshPath() const { return m_meshPath; }
    void meshPath(const std::wstring& path) { m_meshPath = path; }
    /// The texture file's name, relative to the environment's folder; empty for none.
    const std::wstring& texturePath() const { return m_texturePath; }
    void texturePath(const std::wstring& path) { m_texturePath = path; }
    bool isSurrounding() const { return m_isSurrounding; }
    void isSurrounding(bool on) { m_isSurrounding = on; }
    bool isGroundPlane() const { return m_isGroundPlane; }
    void isGroundPlane(bool on) { m_isGroundPlane = on; }

    /// The mesh, read from its JSON form in directory, as a new geometry node (the caller takes
    /// the first reference): {"Vertices": {"Positions": [x, y, z, ...], "UVs": [u, v, ...]},
    /// "Indices": [a, b, c, ...]}. Null when the file is missing or malformed (an array missing,
    /// lengths that do not agree, an index out of range, a number that is not finite), with the
    /// reason in error when given.
    Lumo::Graphics::GeometryNode* loadJSONScene(const std::filesystem::path& directory, Lumo::Devices::ADrawContext& dc,
                                                std::wstring* error = nullptr) const;
    /// The triangles of every mesh of an interchange-format scene file (any format the importer
    /// reads: FBX, OBJ, glTF, ...) in directory, placed by their nodes' transforms, as a new
    /// geometry node. Null, with the reason in error, when the import fails or finds no triangles.
    Lumo::Graphics::GeometryNode* loadOmxScene(const std::filesystem::path& directory, Lumo::Devices::ADrawContext& dc,
                                               std::wstring* error = nullptr) const;

    bool operator==(const EnvFeature&) const = default;

private:
    std::wstring m_meshPath;
    std::wstring m_texturePath;
    bool m_isSurrounding = false;
    bool m_isGroundPlane = false;
};

} // namespace Brio::Scene
