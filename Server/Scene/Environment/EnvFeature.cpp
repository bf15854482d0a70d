#include <Scene/Environment/EnvFeature.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Nodes/NodeFunctions.h>

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <cjson/cJSON.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

namespace Brio::Scene {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::vec2;
using Lumo::Objects::vec3;

namespace {

/// Scenery larger than this is not scenery; refusing it keeps a stray file from exhausting memory.
constexpr std::uintmax_t kMaxMeshFileBytes = 64u << 20;
constexpr std::size_t kMaxVertices = 4u << 20;

struct MeshData {
    std::vector<float> positions; // x, y, z per vertex
    std::vector<float> uvs;       // u, v per vertex
    std::vector<std::uint32_t> indices;
    std::size_t vertexCount() const { return positions.size() / 3; }
};

/// Whether a name can be a file name here: text that does not convert (a lone surrogate read
/// from a malformed definition, say) makes the path conversion throw.
bool IsPathText(const std::wstring& name) {
    try {
        const std::filesystem::path converted(name);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void SetError(std::wstring* error, const std::wstring& text) {
    if (error)
        *error = text;
}

/// The node of a mesh: per-vertex normals from the faces around each vertex, white vertex
/// colours, drawn unlit with the feature's texture (its alpha counted) so that scenery keeps
/// the shading painted into it whatever the lights do.
Lumo::Graphics::GeometryNode* BuildNode(const MeshData& mesh, const EnvFeature& feature,
                                        const std::filesystem::path& directory, Lumo::Devices::ADrawContext& dc) {
    const std::size_t n = mesh.vertexCount();
    std::vector<vec3<float>> normals(n, vec3<float>(0, 0, 0));
    auto position = [&](std::uint32_t i) {
        return vec3<float>(mesh.positions[i * 3], mesh.positions[i * 3 + 1], mesh.positions[i * 3 + 2]);
    };
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        const std::uint32_t a = mesh.indices[t], b = mesh.indices[t + 1], c = mesh.indices[t + 2];
        const vec3<float> faceNormal = (position(b) - position(a)).Cross(position(c) - position(a));
        normals[a] += faceNormal;
        normals[b] += faceNormal;
        normals[c] += faceNormal;
    }

    Lumo::Devices::VertexBufferBuilder vertices(Lumo::Devices::VertexFormat::kAllComponents);
    vertices.Reserve(int(n));
    vertices.Color({1, 1, 1, 1});
    for (std::size_t i = 0; i < n; ++i) {
        const vec3<float>& nn = normals[i];
        vertices.Normal(nn.Length() > 0 ? nn.Normalized() : vec3<float>(0, 1, 0));
        vertices.TexCoord({mesh.uvs[i * 2], mesh.uvs[i * 2 + 1]});
        vertices.AddVertex(position(std::uint32_t(i)));
    }
    Lumo::Devices::IndexBufferBuilder indices;
    indices.Reserve(int(mesh.indices.size()));
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3)
        indices.AddTriangle(mesh.indices[t], mesh.indices[t + 1], mesh.indices[t + 2]);

    // Held bare until returned: the caller takes the first reference, as from a Make.
    Lumo::Graphics::GeometryNode* node = Lumo::Scene::MakeGeometryNode(true);
    AutoPtr<Lumo::Devices::SimpleMesh> simple =
        Lumo::Devices::SimpleMesh::Make(vertices, indices, Lumo::Devices::ePrimTriangleList);
    node->RenderGeometry(simple);

    if (Lumo::Devices::AVirtualDevice* device = dc.VirtualDevice()) {
        Lumo::Devices::TextureInstance* texture = nullptr;
        if (!feature.texturePath().empty()) {
            const std::wstring file = (directory / feature.texturePath()).wstring();
            texture = device->Caches()->Textures()->Acquire(Lumo::Objects::Intern(file.c_str()));
            // Sky gradients and ground fades end at their edges; wrapping would bleed one into the other.
            if (texture)
                texture->Sampling(Lumo::Devices::eFilterLinear, Lumo::Devices::eAddressClamp);
        }
        AutoPtr<Lumo::Devices::SolidEffectInstance> effect =
            Lumo::Devices::SolidEffectInstance::Make(device, texture != nullptr);
        if (effect) {
            effect->Color(Lumo::Objects::vec4<float>(1, 1, 1, 1));
            effect->Lighting(false);
            if (texture) {
                effect->Texture(texture);
                effect->ColorSource(Lumo::Devices::StockEffects::eColorTexture);
            }
            effect->TextureAlpha(true);
            // A dome is seen from inside and, when orbiting out, from outside; the ground only from above.
            AutoPtr<Lumo::Devices::ARasterizerState> raster = Lumo::Devices::ARasterizerState::Make(
                feature.isSurrounding() && !feature.isGroundPlane() ? Lumo::Devices::eCullNone
                                                                    : Lumo::Devices::eCullBack);
            effect->OverrideState(raster.get());
            node->EffectInst(effect);
        }
    }
    return node;
}

bool ReadFile(const std::filesystem::path& file, std::string& text, std::wstring* error) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || !std::filesystem::is_regular_file(file, ec)) {
        SetError(error, file.wstring() + L": no such file");
        return false;
    }
    if (size > kMaxMeshFileBytes) {
        SetError(error, file.wstring() + L": file too large for scenery");
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    text.assign(std::size_t(size), '\0');
    if (!in.read(text.data(), std::streamsize(size))) {
        SetError(error, file.wstring() + L": cannot be read");
        return false;
    }
    return true;
}

/// A flat array of finite numbers, or false.
bool ReadNumbers(const cJSON* array, std::vector<float>& out) {
    if (!cJSON_IsArray(array))
        return false;
    const int count = cJSON_GetArraySize(array);
    out.reserve(std::size_t(count));
    for (const cJSON* item = array->child; item; item = item->next) {
        if (!cJSON_IsNumber(item) || !std::isfinite(item->valuedouble) || std::fabs(item->valuedouble) > 1e30)
            return false;
        out.push_back(float(item->valuedouble));
    }
    return true;
}

void AppendNode(const aiScene* scene, const aiNode* node, const aiMatrix4x4& parent, MeshData& out, int depth) {
    if (!node || depth > 256)
        return;
    const aiMatrix4x4 transform = parent * node->mTransformation;
    for (unsigned i = 0; i < node->mNumMeshes; ++i) {
        if (node->mMeshes[i] >= scene->mNumMeshes)
            continue;
        const aiMesh* mesh = scene->mMeshes[node->mMeshes[i]];
        if (!mesh || !(mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE) || !mesh->mVertices)
            continue;
        if (out.vertexCount() + mesh->mNumVertices > kMaxVertices)
            return;
        const std::uint32_t base = std::uint32_t(out.vertexCount());
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            const aiVector3D p = transform * mesh->mVertices[v];
            out.positions.insert(out.positions.end(), {p.x, p.y, p.z});
            if (mesh->HasTextureCoords(0))
                out.uvs.insert(out.uvs.end(), {mesh->mTextureCoords[0][v].x, mesh->mTextureCoords[0][v].y});
            else
                out.uvs.insert(out.uvs.end(), {0.0f, 0.0f});
        }
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices != 3)
                continue;
            if (face.mIndices[0] >= mesh->mNumVertices || face.mIndices[1] >= mesh->mNumVertices ||
                face.mIndices[2] >= mesh->mNumVertices)
                continue;
            out.indices.insert(out.indices.end(),
                               {base + face.mIndices[0], base + face.mIndices[1], base + face.mIndices[2]});
        }
    }
    for (unsigned c = 0; c < node->mNumChildren; ++c)
        AppendNode(scene, node->mChildren[c], transform, out, depth + 1);
}

} // namespace

Lumo::Graphics::GeometryNode* EnvFeature::loadJSONScene(const std::filesystem::path& directory,
                                                        Lumo::Devices::ADrawContext& dc, std::wstring* error) const {
    if (!IsPathText(m_meshPath) || !IsPathText(m_texturePath)) {
        SetError(error, L"the feature's file names are not valid text");
        return nullptr;
    }
    const std::filesystem::path file = directory / m_meshPath;
    std::string text;
    if (m_meshPath.empty()) {
        SetError(error, L"the feature names no mesh");
        return nullptr;
    }
    if (!ReadFile(file, text, error))
        return nullptr;
    std::unique_ptr<cJSON, void (*)(cJSON*)> root(cJSON_ParseWithLength(text.data(), text.size()), cJSON_Delete);
    if (!root || !cJSON_IsObject(root.get())) {
        SetError(error, file.wstring() + L": not a JSON object");
        return nullptr;
    }
    const cJSON* vertices = cJSON_GetObjectItem(root.get(), "Vertices");
    const cJSON* positions = vertices ? cJSON_GetObjectItem(vertices, "Positions") : nullptr;
    const cJSON* uvs = vertices ? cJSON_GetObjectItem(vertices, "UVs") : nullptr;
    const cJSON* indices = cJSON_GetObjectItem(root.get(), "Indices");
    if (!cJSON_IsObject(vertices) || !positions || !uvs || !indices) {
        SetError(error,
                 file.wstring() + L": \"Vertices\" with \"Positions\" and \"UVs\", and \"Indices\" are required");
        return nullptr;
    }
    MeshData mesh;
    std::vector<float> rawIndices;
    if (!ReadNumbers(positions, mesh.positions) || !ReadNumbers(uvs, mesh.uvs) || !ReadNumbers(indices, rawIndices)) {
        SetError(error, file.wstring() + L": the arrays must hold finite numbers only");
        return nullptr;
    }
    const std::size_t n = mesh.positions.size() / 3;
    if (mesh.positions.size() % 3 || mesh.uvs.size() != n * 2 || rawIndices.size() % 3 || n > kMaxVertices) {
        SetError(error, file.wstring() + L": three coordinates and two texture coordinates per vertex, three "
                                         L"indices per triangle");
        return nullptr;
    }
    if (rawIndices.empty()) {
        SetError(error, file.wstring() + L": no triangles");
        return nullptr;
    }
    // Indices were read as floats; re-read exactly to test that each is a whole vertex number.
    mesh.indices.reserve(rawIndices.size());
    for (const cJSON* item = indices->child; item; item = item->next) {
        const double v = item->valuedouble;
        if (v < 0 || v >= double(n) || v != std::floor(v)) {
            SetError(error, file.wstring() + L": index out of range");
            return nullptr;
        }
        mesh.indices.push_back(std::uint32_t(v));
    }
    return BuildNode(mesh, *this, directory, dc);
}

Lumo::Graphics::GeometryNode* EnvFeature::loadOmxScene(const std::filesystem::path& directory,
                                                       Lumo::Devices::ADrawContext& dc, std::wstring* error) const {
    if (!IsPathText(m_meshPath) || !IsPathText(m_texturePath)) {
        SetError(error, L"the feature's file names are not valid text");
        return nullptr;
    }
    const std::filesystem::path file = directory / m_meshPath;
    std::error_code ec;
    if (m_meshPath.empty() || !std::filesystem::is_regular_file(file, ec)) {
        SetError(error, file.wstring() + L": no such file");
        return nullptr;
    }
    if (std::filesystem::file_size(file, ec) > kMaxMeshFileBytes) {
        SetError(error, file.wstring() + L": file too large for scenery");
        return nullptr;
    }
    Assimp::Importer importer;
    // The format comes from the importer's registry of readers, by extension.
    if (!importer.IsExtensionSupported(file.extension().string())) {
        SetError(error, file.wstring() + L": not a format the scene importer reads");
        return nullptr;
    }
    // Materials, textures, animation and global settings are read; skin links and light
    // projections are not (scenery needs neither).
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_READ_MATERIALS, true);
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_READ_TEXTURES, true);
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_READ_WEIGHTS, false);
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_READ_LIGHTS, false);
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_READ_CAMERAS, false);
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_READ_ANIMATIONS, true);
    const aiScene* scene = nullptr;
    try {
        scene = importer.ReadFile(file.string(), aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                                                     aiProcess_SortByPType | aiProcess_ValidateDataStructure);
    } catch (...) {
        scene = nullptr;
    }
    if (!scene || !scene->mRootNode || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE)) {
        SetError(error, file.wstring() + L": import failed");
        return nullptr;
    }
    MeshData mesh;
    AppendNode(scene, scene->mRootNode, aiMatrix4x4(), mesh, 0);
    for (float v : mesh.positions)
        if (!std::isfinite(v)) {
            SetError(error, file.wstring() + L": coordinates that are not finite");
            return nullptr;
        }
    if (mesh.indices.empty()) {
        SetError(error, file.wstring() + L": no triangles");
        return nullptr;
    }
    return BuildNode(mesh, *this, directory, dc);
}

} // namespace Brio::Scene
