#include <Scene/Persistence/MeshGeometry.h>

#include <Scene/Persistence/MeshAction.h>

namespace Brio::Scene {

struct MeshGeometryMembers {
    MeshGeometry::EMeshFormat format = MeshGeometry::eUnknownFormat;
    std::vector<Point3f> vertices;
    std::vector<Vector3f> normals;
    std::vector<Float2> texCoords;
    std::vector<int> indices;
};

BRIO_SCENE_ENTITY_META_TYPE(MeshGeometry, "MeshGeometryMetaType", Geometry::s_metaTypeId, 2)

MeshGeometry::MeshGeometry(Segment* segment) : SceneEntity(segment) {}

MeshGeometry::MeshGeometry(Segment* segment, std::uint64_t persistedId) : SceneEntity(segment, persistedId) {}

MeshGeometry::~MeshGeometry() = default;

void MeshGeometry::registerMembers(MemberSet& set, MeshGeometryMembers& members) {
    set.addNewMember("format", &members.format, "EMeshFormat");
    set.addNewMember("vertices", &members.vertices);
    set.addNewMember("normals", &members.normals);
    set.addNewMember("texCoords", &members.texCoords);
    set.addNewMember("indices", &members.indices);
}

MeshGeometry::EMeshFormat MeshGeometry::format() const {
    return members().format;
}

void MeshGeometry::format(EMeshFormat format) {
    members().format = format;
    purgeAttachments();
}

namespace {
template <class T> void assign(std::vector<T>& list, const T* items, std::size_t count) {
    list.clear();
    list.reserve(count);
    if (items)
        list.insert(list.end(), items, items + count);
}
} // namespace

void MeshGeometry::setVertices(const std::vector<Point3f>& vertices) {
    setVertices(vertices.data(), vertices.size());
}
void MeshGeometry::setVertices(const Point3f* vertices, std::size_t count) {
    purgeAttachments();
    assign(members().vertices, vertices, count);
}
void MeshGeometry::setNormals(const std::vector<Vector3f>& normals) {
    setNormals(normals.data(), normals.size());
}
void MeshGeometry::setNormals(const Vector3f* normals, std::size_t count) {
    purgeAttachments();
    assign(members().normals, normals, count);
}
void MeshGeometry::setTexCoords(const std::vector<Float2>& texCoords) {
    setTexCoords(texCoords.data(), texCoords.size());
}
void MeshGeometry::setTexCoords(const Float2* texCoords, std::size_t count) {
    purgeAttachments();
    assign(members().texCoords, texCoords, count);
}
void MeshGeometry::setIndices(const std::vector<int>& indices) {
    setIndices(indices.data(), indices.size());
}
void MeshGeometry::setIndices(const int* indices, std::size_t count) {
    purgeAttachments();
    assign(members().indices, indices, count);
}

const std::vector<Point3f>& MeshGeometry::getVertices() const {
    return members().vertices;
}
void MeshGeometry::getVertices(std::vector<Point3f>& out) const {
    out = members().vertices;
}
const std::vector<Vector3f>& MeshGeometry::getNormals() const {
    return members().normals;
}
void MeshGeometry::getNormals(std::vector<Vector3f>& out) const {
    out = members().normals;
}
const std::vector<Float2>& MeshGeometry::getTexCoords() const {
    return members().texCoords;
}
void MeshGeometry::getTexCoords(std::vector<Float2>& out) const {
    out = members().texCoords;
}
const std::vector<int>& MeshGeometry::getIndices() const {
    return members().indices;
}
void MeshGeometry::getIndices(std::vector<int>& out) const {
    out = members().indices;
}

std::size_t MeshGeometry::count() const {
    return members().vertices.size();
}
bool MeshGeometry::hasVertices() const {
    return !members().vertices.empty();
}
bool MeshGeometry::hasNormals() const {
    return !members().normals.empty();
}
bool MeshGeometry::hasTexCoords() const {
    return !members().texCoords.empty();
}
bool MeshGeometry::hasIndices() const {
    return !members().indices.empty();
}

bool MeshGeometry::checkCounts() const {
    const MeshGeometryMembers& m = members();
    return (m.normals.empty() || m.normals.size() == m.vertices.size()) &&
           (m.texCoords.empty() || m.texCoords.size() == m.vertices.size());
}

void MeshGeometry::apply(MeshAction* action) const {
    if (!action)
        return;
    const MeshGeometryMembers& m = members();
    const bool indexed = !m.indices.empty();
    const std::size_t n = indexed ? m.indices.size() : m.vertices.size();
    // The k-th corner of the mesh, or null when it names no vertex (a damaged or loaded mesh
    // may carry indices past its vertices).
    const auto corner = [&](std::size_t k) -> const Point3f* {
        if (!indexed)
            return &m.vertices[k];
        const int index = m.indices[k];
        return index >= 0 && static_cast<std::size_t>(index) < m.vertices.size() ? &m.vertices[index] : nullptr;
    };
    switch (m.format) {
    case eLines:
        for (std::size_t i = 0; i < n / 2; ++i)
            if (const Point3f* a = corner(2 * i), *b = corner(2 * i + 1); a && b)
                action->line(static_cast<int>(i), *a, *b);
        break;
    case eLineStrip:
        for (std::size_t i = 0; i + 1 < n; ++i)
            if (const Point3f* a = corner(i), *b = corner(i + 1); a && b)
                action->line(static_cast<int>(i), *a, *b);
        break;
    case eTriangles:
        for (std::size_t i = 0; i < n / 3; ++i)
            if (const Point3f* a = corner(3 * i), *b = corner(3 * i + 1), *c = corner(3 * i + 2); a && b && c)
                action->triangle(static_cast<int>(i), *a, *b, *c);
        break;
    default:
        break;
    }
}

} // namespace Brio::Scene
