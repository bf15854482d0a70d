#pragma once
#include <Brio/Types/Float2.h>
#include <Brio/Types/Point3f.h>
#include <Brio/Types/Vector3f.h>
#include <Scene/Persistence/Geometry.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Brio::Scene {

class MeshAction;
struct MeshGeometryMembers;

/// A mesh of line segments, a line strip or triangles, with optional normals, texture
/// coordinates and indices, persisted in a document segment. Changing any of its data throws
/// the attachment away.
class MeshGeometry : public SceneEntity<MeshGeometry, Geometry, MeshGeometryMembers> {
public:
    static constexpr const char* s_metaTypeId = "770CFCDB-F7C7-4545-9C5D-8B4E0A70B927";
    static SceneEntityMetaType* s_metaType();

    enum EMeshFormat : std::int32_t {
        eUnknownFormat = 0, ///< a new mesh's format; apply reports nothing
        eLines = 2,         ///< separate segments, two vertices each
        eLineStrip = 3,     ///< each consecutive pair of vertices
        eTriangles = 4,     ///< separate triangles, three vertices each
    };

    EMeshFormat format() const;
    void format(EMeshFormat format);

    void setVertices(const std::vector<Point3f>& vertices);
    void setVertices(const Point3f* vertices, std::size_t count);
    void setNormals(const std::vector<Vector3f>& normals);
    void setNormals(const Vector3f* normals, std::size_t count);
    void setTexCoords(const std::vector<Float2>& texCoords);
    void setTexCoords(const Float2* texCoords, std::size_t count);
    void setIndices(const std::vector<int>& indices);
    void setIndices(const int* indices, std::size_t count);

    const std::vector<Point3f>& getVertices() const;
    void getVertices(std::vector<Point3f>& out) const;
    const std::vector<Vector3f>& getNormals() const;
    void getNormals(std::vector<Vector3f>& out) const;
    const std::vector<Float2>& getTexCoords() const;
    void getTexCoords(std::vector<Float2>& out) const;
    const std::vector<int>& getIndices() const;
    void getIndices(std::vector<int>& out) const;

    /// The number of vertices.
    std::size_t count() const;
    bool hasVertices() const;
    bool hasNormals() const;
    bool hasTexCoords() const;
    bool hasIndices() const;
    /// Normals and texture coordinates are each absent or one per vertex.
    bool checkCounts() const;

    /// Hands every primitive of the mesh, by its format, to `action`: through the indices when
    /// there are any, else through the vertices in order. A primitive naming a vertex that does
    /// not exist is skipped (the numbering keeps its place).
    void apply(MeshAction* action) const;

protected:
    friend SceneEntity;
    explicit MeshGeometry(Segment* segment);
    MeshGeometry(Segment* segment, std::uint64_t persistedId);
    ~MeshGeometry() override;
    static void registerMembers(MemberSet& set, MeshGeometryMembers& members);
};

} // namespace Brio::Scene
