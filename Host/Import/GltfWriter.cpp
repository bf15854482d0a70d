#include <Host/Import/ExportFilesInternal.h>
#include <Host/Import/GltfWriterInternal.h>
#include <Host/Model/Body.h>
#include <Host/Model/Component.h>
#include <Host/Model/Instance.h>
#include <Host/Model/Mesh.h>
#include <Host/Model/Model.h>

#include <cjson/cJSON.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <compare>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace Host {

namespace {

namespace fs = std::filesystem;

using Json = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;

static_assert(sizeof(vec3f) == 3 * sizeof(float), "positions and normals are copied as packed floats");

constexpr int kFloat = 5126, kUnsignedShort = 5123, kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962, kElementArrayBuffer = 34963;

std::size_t Padded(std::size_t n) {
    return (n + 3) / 4 * 4;
}

void Put(std::vector<unsigned char>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

/// Where one body's arrays go in the buffer.
struct BodyLayout {
    const Body* body;
    std::size_t positions, normals, indices; ///< byte offsets; normals npos when the mesh has none
    bool shortIndices;
};

/// One body's accessors.
struct Arrays {
    int positions = -1, normals = -1, indices = -1;
};

/// A component as drawn in a placement's colour, or in its own materials.
struct MeshKey {
    const Component* component;
    std::array<float, 3> colour;
    bool coloured;
    auto operator<=>(const MeshKey&) const = default;
};

class Writer {
public:
    explicit Writer(const Model& model) : m_model(model), m_root(cJSON_CreateObject(), cJSON_Delete) {}

    /// Lays the buffer out and builds the document; the buffer's bytes come with `fill`.
    void build(const std::string& bufferUri) {
        cJSON* root = m_root.get();
        cJSON* asset = cJSON_AddObjectToObject(root, "asset");
        cJSON_AddStringToObject(asset, "version", "2.0");
        cJSON_AddStringToObject(asset, "generator", "BrioScene");
        m_accessors = cJSON_AddArrayToObject(root, "accessors");
        m_views = cJSON_AddArrayToObject(root, "bufferViews");
        m_materials = cJSON_AddArrayToObject(root, "materials");
        m_meshes = cJSON_AddArrayToObject(root, "meshes");
        m_nodes = cJSON_AddArrayToObject(root, "nodes");
        node(m_model.root(), m_model.name(), mat4d(), std::nullopt);
        cJSON* scene = cJSON_CreateObject();
        const int first = 0;
        cJSON_AddItemToObject(scene, "nodes", cJSON_CreateIntArray(&first, 1));
        cJSON_AddItemToArray(cJSON_AddArrayToObject(root, "scenes"), scene);
        cJSON_AddNumberToObject(root, "scene", 0);
        cJSON* buffer = cJSON_CreateObject();
        cJSON_AddNumberToObject(buffer, "byteLength", double(m_size));
        if (!bufferUri.empty())
            cJSON_AddStringToObject(buffer, "uri", bufferUri.c_str());
        cJSON_AddItemToArray(cJSON_AddArrayToObject(root, "buffers"), buffer);
    }

    std::size_t bufferSize() const { return m_size; }

    std::string json() const {
        char* text = cJSON_PrintUnformatted(m_root.get());
        if (!text)
            throw std::bad_alloc();
        std::string s(text);
        cJSON_free(text);
        return s;
    }

    /// Writes the buffer's bytes at `out` (bufferSize() of them, zeroed by the caller).
    void fill(unsigned char* out) const {
        for (const BodyLayout& l : m_layout) {
            const Mesh& m = *l.body->mesh();
            std::memcpy(out + l.positions, m.positions.data(), m.positions.size() * sizeof(vec3f));
            if (l.normals != std::size_t(-1))
                std::memcpy(out + l.normals, m.normals.data(), m.normals.size() * sizeof(vec3f));
            if (l.shortIndices) {
                auto* to = out + l.indices;
                for (std::uint32_t i : m.triangles) {
                    *to++ = static_cast<unsigned char>(i);
                    *to++ = static_cast<unsigned char>(i >> 8);
                }
            } else {
                std::memcpy(out + l.indices, m.triangles.data(), m.triangles.size() * sizeof(std::uint32_t));
            }
        }
    }

private:
    int view(std::size_t offset, std::size_t length, int target) {
        cJSON* v = cJSON_CreateObject();
        cJSON_AddNumberToObject(v, "buffer", 0);
        cJSON_AddNumberToObject(v, "byteOffset", double(offset));
        cJSON_AddNumberToObject(v, "byteLength", double(length));
        cJSON_AddNumberToObject(v, "target", target);
        cJSON_AddItemToArray(m_views, v);
        return cJSON_GetArraySize(m_views) - 1;
    }

    int accessor(int bufferView, int componentType, std::size_t count, const char* type) {
        cJSON* a = cJSON_CreateObject();
        cJSON_AddNumberToObject(a, "bufferView", bufferView);
        cJSON_AddNumberToObject(a, "componentType", componentType);
        cJSON_AddNumberToObject(a, "count", double(count));
        cJSON_AddStringToObject(a, "type", type);
        cJSON_AddItemToArray(m_accessors, a);
        return cJSON_GetArraySize(m_accessors) - 1;
    }

    /// Room for `bytes` in the buffer, each array starting on a 4-byte boundary.
    std::size_t reserve(std::size_t bytes) {
        const std::size_t at = m_size;
        m_size = Padded(m_size + bytes);
        return at;
    }

    int material(const Material& m) {
        auto it = std::find(m_seen.begin(), m_seen.end(), m);
        if (it != m_seen.end())
            return int(it - m_seen.begin());
        m_seen.push_back(m);
        cJSON* mat = cJSON_CreateObject();
        cJSON_AddStringToObject(mat, "name", m.name.empty() ? "Material" : m.name.c_str());
        cJSON* pbr = cJSON_AddObjectToObject(mat, "pbrMetallicRoughness");
        const float colour[4] = {m.r, m.g, m.b, m.a};
        cJSON_AddItemToObject(pbr, "baseColorFactor", cJSON_CreateFloatArray(colour, 4));
        // Plastic rather than glTF's default of bare metal.
        cJSON_AddNumberToObject(pbr, "metallicFactor", 0);
        cJSON_AddNumberToObject(pbr, "roughnessFactor", 0.6);
        if (m.a < 1.f)
            cJSON_AddStringToObject(mat, "alphaMode", "BLEND");
        cJSON_AddItemToArray(m_materials, mat);
        return int(m_seen.size() - 1);
    }

    /// The accessors of a component's bodies, laid out in the buffer on first use.
    const std::vector<Arrays>& arrays(const Component& c) {
        auto [it, fresh] = m_arrays.try_emplace(&c);
        if (!fresh)
            return it->second;
        for (const auto& b : c.bodies()) {
            const Mesh& m = *b->mesh();
            BodyLayout l{b.get(), 0, std::size_t(-1), 0, m.positions.size() <= 0x10000};
            Arrays a;
            l.positions = reserve(m.positions.size() * sizeof(vec3f));
            a.positions = accessor(view(l.positions, m.positions.size() * sizeof(vec3f), kArrayBuffer), kFloat,
                                   m.positions.size(), "VEC3");
            float lo[3], hi[3];
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::numeric_limits<float>::max();
                hi[k] = std::numeric_limits<float>::lowest();
            }
            for (const vec3f& p : m.positions) {
                const float v[3] = {p.x, p.y, p.z};
                for (int k = 0; k < 3; ++k)
                    if (std::isfinite(v[k])) { // JSON has no NaN: the bounds are of what can be said
                        lo[k] = std::min(lo[k], v[k]);
                        hi[k] = std::max(hi[k], v[k]);
                    }
            }
            for (int k = 0; k < 3; ++k)
                if (lo[k] > hi[k])
                    lo[k] = hi[k] = 0;
            cJSON* positions = cJSON_GetArrayItem(m_accessors, a.positions);
            cJSON_AddItemToObject(positions, "min", cJSON_CreateFloatArray(lo, 3));
            cJSON_AddItemToObject(positions, "max", cJSON_CreateFloatArray(hi, 3));
            if (m.normals.size() == m.positions.size()) {
                l.normals = reserve(m.normals.size() * sizeof(vec3f));
                a.normals = accessor(view(l.normals, m.normals.size() * sizeof(vec3f), kArrayBuffer), kFloat,
                                     m.normals.size(), "VEC3");
            }
            const std::size_t indexBytes = m.triangles.size() * (l.shortIndices ? 2 : 4);
            l.indices = reserve(indexBytes);
            a.indices = accessor(view(l.indices, indexBytes, kElementArrayBuffer),
                                 l.shortIndices ? kUnsignedShort : kUnsignedInt, m.triangles.size(), "SCALAR");
            m_layout.push_back(l);
            it->second.push_back(a);
        }
        return it->second;
    }

    /// The component's mesh in a placement of `colour` (none: the bodies' own materials): one
    /// primitive per body, named after its first body as readers name what they split out of
    /// it. Coloured versions share the plain one's arrays and differ only in their materials.
    int mesh(const Component& c, const std::optional<Rgba>& colour) {
        const MeshKey key{&c, colour ? std::array<float, 3>{colour->r, colour->g, colour->b} : std::array<float, 3>{},
                          colour.has_value()};
        if (auto it = m_meshOf.find(key); it != m_meshOf.end())
            return it->second;
        const std::vector<Arrays>& bodies = arrays(c);
        cJSON* mesh = cJSON_CreateObject();
        cJSON_AddStringToObject(mesh, "name", c.bodies().front()->name().c_str());
        cJSON* primitives = cJSON_AddArrayToObject(mesh, "primitives");
        for (std::size_t i = 0; i < bodies.size(); ++i) {
            const Arrays& a = bodies[i];
            cJSON* attributes = cJSON_CreateObject();
            cJSON_AddNumberToObject(attributes, "POSITION", a.positions);
            if (a.normals >= 0)
                cJSON_AddNumberToObject(attributes, "NORMAL", a.normals);
            cJSON* primitive = cJSON_CreateObject();
            cJSON_AddItemToObject(primitive, "attributes", attributes);
            cJSON_AddNumberToObject(primitive, "indices", a.indices);
            Material m = c.bodies()[i]->material();
            if (colour) // drawn opaque in the colour, as the placement shows it
                m = Material{ColourName(*colour), colour->r, colour->g, colour->b, 1.f};
            cJSON_AddNumberToObject(primitive, "material", material(m));
            cJSON_AddNumberToObject(primitive, "mode", 4);
            cJSON_AddItemToArray(primitives, primitive);
        }
        cJSON_AddItemToArray(m_meshes, mesh);
        return m_meshOf[key] = cJSON_GetArraySize(m_meshes) - 1;
    }

    /// A node for one placement of `c`, and below it one for each of its instances: glTF's
    /// nodes form a tree, so a component placed n times has n nodes sharing its mesh.
    int node(const Component& c, const std::string& name, const mat4d& transform, const std::optional<Rgba>& colour) {
        cJSON* n = cJSON_CreateObject();
        const int index = cJSON_GetArraySize(m_nodes);
        cJSON_AddItemToArray(m_nodes, n);
        cJSON_AddStringToObject(n, "name", name.c_str());
        if (!(transform == mat4d())) {
            // Our matrices act on row vectors, glTF's on columns: its column-major array is
            // ours read row by row.
            double values[16];
            for (int r = 0; r < 4; ++r)
                for (int k = 0; k < 4; ++k)
                    values[r * 4 + k] = transform.m[r][k];
            cJSON_AddItemToObject(n, "matrix", cJSON_CreateDoubleArray(values, 16));
        }
        if (!c.bodies().empty())
            cJSON_AddNumberToObject(n, "mesh", mesh(c, colour));
        if (!c.instances().empty()) {
            std::vector<int> children;
            // The nearest placement's colour wins, as it does on screen.
            for (const auto& i : c.instances())
                children.push_back(
                    node(i->target(), i->target().name(), i->transform(), i->colour() ? i->colour() : colour));
            cJSON_AddItemToObject(n, "children", cJSON_CreateIntArray(children.data(), int(children.size())));
        }
        return index;
    }

    const Model& m_model;
    Json m_root;
    cJSON *m_accessors = nullptr, *m_views = nullptr, *m_materials = nullptr, *m_meshes = nullptr, *m_nodes = nullptr;
    std::vector<Material> m_seen;
    std::vector<BodyLayout> m_layout;
    std::unordered_map<const Component*, std::vector<Arrays>> m_arrays;
    std::map<MeshKey, int> m_meshOf;
    std::size_t m_size = 0;
};

} // namespace

bool WriteGltf(const Model& model, const std::string& path, bool binary, std::string& error) {
    Writer writer(model);
    const fs::path file(path);
    const std::string binName = file.stem().string() + ".bin";
    writer.build(binary ? std::string() : binName);
    std::string json = writer.json();
    const std::size_t bin = writer.bufferSize();
    if (!binary) {
        std::vector<unsigned char> bytes(bin, 0);
        writer.fill(bytes.data());
        return WritePair(file, json, file.parent_path() / binName,
                         std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
    }
    if (bin > 0xFFFFFFF0u - json.size()) {
        error = "cannot write '" + path + "': more than 4 GiB, which a .glb cannot hold (write .gltf)";
        return false;
    }
    json.resize(Padded(json.size()), ' ');
    const std::size_t total = 12 + 8 + json.size() + 8 + Padded(bin);
    std::vector<unsigned char> bytes(total, 0);
    std::memcpy(bytes.data(), "glTF", 4);
    Put(bytes, 4, 2);
    Put(bytes, 8, std::uint32_t(total));
    Put(bytes, 12, std::uint32_t(json.size()));
    std::memcpy(bytes.data() + 16, "JSON", 4);
    std::memcpy(bytes.data() + 20, json.data(), json.size());
    const std::size_t at = 20 + json.size();
    Put(bytes, at, std::uint32_t(Padded(bin)));
    std::memcpy(bytes.data() + at + 4, "BIN\0", 4);
    writer.fill(bytes.data() + at + 8);
    return WriteWhole(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

} // namespace Host
