#include <Host/Import/GltfCheckInternal.h>
#include <Host/Import/GltfWriterInternal.h>
#include <Host/Import/Importer.h>
#include <Host/Import/ObjWriterInternal.h>
#include <Host/Model/Body.h>
#include <Host/Model/Component.h>
#include <Host/Model/Model.h>

#include <Brio/DataModel/ZipArchive.h>
#include <assimp/Exporter.hpp>
#include <assimp/GltfMaterial.h>
#include <assimp/Importer.hpp>
#include <assimp/ProgressHandler.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

// The installed Assimp checks its own invariants with asserts that abort, and corrupt files
// reach some (a 3MF whose package names no model). Its hook for them is defined here, ahead of
// the library in the lookup order, to throw instead: its readers catch that and report it.
namespace Assimp {
__attribute__((visibility("default"))) void aiAssertViolation(const char* expression, const char*, int) {
    throw std::runtime_error(std::string("corrupt content (") + expression + ")");
}
} // namespace Assimp

namespace Host {

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

/// The extension without its dot, lower case.
std::string ExtensionOf(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    return Lower(ext.empty() ? ext : ext.substr(1));
}

/// Whitespace runs (line breaks included) as single spaces, trimmed: errors are one line.
std::string OneLine(const std::string& s) {
    std::string out;
    bool space = false;
    for (char c : s) {
        if (std::isspace(static_cast<unsigned char>(c)) || std::iscntrl(static_cast<unsigned char>(c))) {
            space = !out.empty();
            continue;
        }
        if (space)
            out += ' ';
        space = false;
        out += c;
    }
    return out.empty() ? "unknown error" : out;
}

/// Percent and phase on one line of standard error, rewritten in place; silent off a terminal.
class Meter {
public:
    Meter(const std::string& path, bool wanted)
        : m_file(fs::path(path).filename().string()), m_on(wanted && isatty(STDERR_FILENO)) {}
    ~Meter() { finish(); }
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;

    void show(double fraction, const char* phase) {
        if (!m_on)
            return;
        const int percent = std::clamp(int(fraction * 100.0), 0, 100);
        if (percent == m_percent && m_phase && std::strcmp(phase, m_phase) == 0)
            return;
        m_percent = percent;
        m_phase = phase;
        std::fprintf(stderr, "\rImporting %s: %3d%% %-10s", m_file.c_str(), percent, phase);
        std::fflush(stderr);
        m_shown = true;
    }
    void finish() {
        if (m_shown)
            std::fputc('\n', stderr);
        m_shown = false;
    }

private:
    std::string m_file;
    bool m_on;
    bool m_shown = false;
    int m_percent = -1;
    const char* m_phase = nullptr;
};

// Shares of the whole import given to each phase, for one percentage from start to end.
constexpr double kReadShare = 0.3, kProcessShare = 0.1;

/// Forwards Assimp's read and post-processing steps to the meter.
class ReadProgress : public Assimp::ProgressHandler {
public:
    explicit ReadProgress(Meter& meter) : m_meter(meter) {}
    bool Update(float) override { return true; }
    void UpdateFileRead(int step, int steps) override { m_meter.show(kReadShare * Fraction(step, steps), "reading"); }
    void UpdatePostProcess(int step, int steps) override {
        m_meter.show(kReadShare + kProcessShare * Fraction(step, steps), "processing");
    }

private:
    static double Fraction(int step, int steps) { return steps > 0 ? double(step) / steps : 1.0; }
    Meter& m_meter;
};

/// Assimp's column-vector matrix as the model's row-vector one.
mat4d ToRows(const aiMatrix4x4& a) {
    return mat4d(a.a1, a.b1, a.c1, a.d1, a.a2, a.b2, a.c2, a.d2, a.a3, a.b3, a.c3, a.d3, a.a4, a.b4, a.c4, a.d4);
}

aiMatrix4x4 ToColumns(const mat4d& m) {
    aiMatrix4x4 a;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            a[r][c] = ai_real(m.m[c][r]);
    return a;
}

bool NearIdentity(const mat4d& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::abs(m.m[r][c] - (r == c ? 1.0 : 0.0)) > 1e-9)
                return false;
    return true;
}

bool Finite(const aiMatrix4x4& a) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(a[r][c]))
                return false;
    return true;
}

/// A number from the scene's metadata whatever type the importer stored it as.
bool MetaNumber(const aiMetadata* meta, const char* key, double& value) {
    if (!meta)
        return false;
    for (unsigned i = 0; i < meta->mNumProperties; ++i) {
        if (std::strcmp(meta->mKeys[i].C_Str(), key) != 0 || !meta->mValues[i].mData)
            continue;
        const void* d = meta->mValues[i].mData;
        switch (meta->mValues[i].mType) {
        case AI_BOOL:
            value = *static_cast<const bool*>(d);
            return true;
        case AI_INT32:
            value = *static_cast<const std::int32_t*>(d);
            return true;
        case AI_UINT64:
            value = double(*static_cast<const std::uint64_t*>(d));
            return true;
        case AI_FLOAT:
            value = *static_cast<const float*>(d);
            return true;
        case AI_DOUBLE:
            value = *static_cast<const double*>(d);
            return true;
        default:
            return false;
        }
    }
    return false;
}

/// Turns an axis (0 x, 1 y, 2 z; sign) of the file to the model's y up.
mat4d UpRotation(int axis, double sign) {
    const double s = sign < 0 ? -1.0 : 1.0;
    switch (axis) {
    case 0: // (x, y, z) -> (-y, x, z), x up
        return mat4d(0, s, 0, 0, -s, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    case 2: // (x, y, z) -> (x, z, -y), z up
        return mat4d(1, 0, 0, 0, 0, 0, -s, 0, 0, s, 0, 0, 0, 0, 0, 1);
    default: // y up; upside down turns about x
        return mat4d(1, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1);
    }
}

Material MaterialOf(const aiScene& scene, const aiMesh& mesh) {
    Material m;
    if (mesh.mMaterialIndex >= scene.mNumMaterials || !scene.mMaterials[mesh.mMaterialIndex])
        return m;
    const aiMaterial& mat = *scene.mMaterials[mesh.mMaterialIndex];
    aiString name;
    if (mat.Get(AI_MATKEY_NAME, name) == AI_SUCCESS)
        m.name = name.C_Str();
    aiColor4D c(m.r, m.g, m.b, 1.f);
    bool coloured = mat.Get(AI_MATKEY_BASE_COLOR, c) == AI_SUCCESS;
    if (!coloured)
        coloured = mat.Get(AI_MATKEY_COLOR_DIFFUSE, c) == AI_SUCCESS;
    auto unit = [](float v, float fallback) { return std::isfinite(v) ? std::clamp(v, 0.f, 1.f) : fallback; };
    if (coloured) {
        m.r = unit(c.r, m.r);
        m.g = unit(c.g, m.g);
        m.b = unit(c.b, m.b);
        m.a = unit(c.a, 1.f);
    }
    float f = 1.f;
    if (mat.Get(AI_MATKEY_OPACITY, f) == AI_SUCCESS)
        m.a = unit(f, 1.f);
    else if (!coloured && mat.Get(AI_MATKEY_TRANSPARENCYFACTOR, f) == AI_SUCCESS)
        m.a = unit(1.f - f, 1.f);
    return m;
}

/// A component to be made: bodies from meshes, placements of other such (by index, lower ones
/// first) — all worked out before the model is touched, so a failure leaves it as it was.
struct Proto {
    std::string name;
    std::vector<unsigned> meshes;
    std::vector<std::pair<int, mat4d>> children;
};

/// What a node gives its parent: a proto (or none) and the transform within the node.
struct Placed {
    int proto = -1;
    mat4d local;
};

void AppendBytes(std::string& key, const void* data, std::size_t n) {
    key.append(static_cast<const char*>(data), n);
}

class SceneReader {
public:
    SceneReader(const aiScene& scene, const std::string& path, const ImportOptions& options, Meter& meter)
        : m_scene(scene), m_path(path), m_options(options), m_meter(meter) {}

    bool read(std::string& error) {
        if (!m_scene.mRootNode)
            return fail(error, "cannot read '" + m_path + "': it holds no nodes");
        if (!collectNodes(error) || !buildMeshes(error))
            return false;
        planComponents();
        if (m_root.proto < 0)
            return fail(error, "'" + m_path + "' holds no triangles");
        return true;
    }

    /// Adds the planned components under the model's root; cannot fail.
    void apply(Model& model, const mat4d& conversion) const {
        const Placed& top = m_root;
        const mat4d rootPlace = top.local * ToRows(m_scene.mRootNode->mTransformation) * conversion;
        // The root's own assembly is the model's root: its placements go straight under it.
        std::vector<std::pair<int, mat4d>> placements;
        int ownBodies = -1;
        const Proto& p = m_protos[top.proto];
        if (p.children.empty()) {
            placements.emplace_back(top.proto, rootPlace);
        } else {
            for (const auto& [child, t] : p.children)
                placements.emplace_back(child, t * rootPlace);
            if (!p.meshes.empty())
                ownBodies = top.proto;
        }
        // The root's own bodies go onto the model's root itself where nothing moves them, so that
        // a model written out and read back keeps its shape.
        const bool bodiesOnRoot = ownBodies >= 0 && NearIdentity(rootPlace);
        std::vector<char> needed(m_protos.size(), 0);
        for (const auto& pl : placements)
            needed[pl.first] = 1;
        if (ownBodies >= 0 && !bodiesOnRoot)
            needed[ownBodies] = 1;
        for (std::size_t i = m_protos.size(); i-- > 0;) // parents come after their children
            if (needed[i])
                for (const auto& c : m_protos[i].children)
                    needed[c.first] = 1;

        std::vector<Component*> made(m_protos.size(), nullptr);
        for (std::size_t i = 0; i < m_protos.size(); ++i) {
            if (!needed[i])
                continue;
            const Proto& q = m_protos[i];
            Component* c = model.addComponent(q.name);
            for (unsigned mi : q.meshes)
                c->addBody(bodyName(mi), m_meshes[mi], MaterialOf(m_scene, *m_scene.mMeshes[mi]));
            // The root's own proto, made for its bodies, leaves its children to the model root.
            if (int(i) != top.proto || p.children.empty())
                for (const auto& [child, t] : q.children)
                    c->addInstance(*made[child], t);
            made[i] = c;
        }
        if (bodiesOnRoot)
            for (unsigned mi : p.meshes)
                model.root().addBody(bodyName(mi), m_meshes[mi], MaterialOf(m_scene, *m_scene.mMeshes[mi]));
        for (const auto& [proto, t] : placements)
            model.root().addInstance(*made[proto], t);
        if (ownBodies >= 0 && !bodiesOnRoot)
            model.root().addInstance(*made[ownBodies], rootPlace);
    }

private:
    static bool fail(std::string& error, std::string message) {
        error = std::move(message);
        return false;
    }

    std::string nodeName(const aiNode& n) const {
        std::string s = n.mName.C_Str();
        // Assimp names nodes the file leaves unnamed like "<STL_BINARY>".
        if (s.empty() || (s.front() == '<' && s.back() == '>'))
            s = fs::path(m_path).stem().string();
        return s;
    }

    std::string bodyName(unsigned mi) const {
        const aiMesh& mesh = *m_scene.mMeshes[mi];
        if (mesh.mName.length)
            return mesh.mName.C_Str();
        const std::string material = MaterialOf(m_scene, mesh).name;
        return material.empty() ? "Body" : material;
    }

    /// Nodes in pre-order (parents before children), each with its valid mesh indices.
    bool collectNodes(std::string& error) {
        std::unordered_set<const aiNode*> seen;
        std::vector<const aiNode*> stack{m_scene.mRootNode};
        while (!stack.empty()) {
            const aiNode* n = stack.back();
            stack.pop_back();
            if (!seen.insert(n).second)
                return fail(error, "cannot read '" + m_path + "': its node tree has a loop");
            if (!Finite(n->mTransformation))
                return fail(error,
                            "cannot read '" + m_path + "': node '" + n->mName.C_Str() + "' has an invalid transform");
            m_nodes.push_back(n);
            std::vector<unsigned> ms;
            for (unsigned i = 0; i < n->mNumMeshes && n->mMeshes; ++i) {
                const unsigned mi = n->mMeshes[i];
                if (mi < m_scene.mNumMeshes && m_scene.mMeshes[mi])
                    ms.push_back(mi);
            }
            std::sort(ms.begin(), ms.end());
            ms.erase(std::unique(ms.begin(), ms.end()), ms.end());
            m_nodeMeshes.push_back(std::move(ms));
            for (unsigned i = n->mNumChildren; i-- > 0;)
                if (n->mChildren && n->mChildren[i])
                    stack.push_back(n->mChildren[i]);
        }
        return true;
    }

    /// Welded, smoothed meshes with edges for every mesh a node uses; null where nothing is left.
    bool buildMeshes(std::string& error) {
        std::vector<char> used(m_scene.mNumMeshes, 0);
        std::size_t total = 0;
        for (const auto& ms : m_nodeMeshes)
            for (unsigned mi : ms)
                if (!used[mi]) {
                    used[mi] = 1;
                    const aiMesh& mesh = *m_scene.mMeshes[mi];
                    if (mesh.mNumVertices > Mesh::kMaxVertices || mesh.mNumFaces > Mesh::kMaxTriangles)
                        return fail(error, "cannot read '" + m_path + "': mesh '" + mesh.mName.C_Str() + "' has " +
                                               std::to_string(mesh.mNumVertices) + " vertices and " +
                                               std::to_string(mesh.mNumFaces) + " faces, more than the limit of " +
                                               std::to_string(Mesh::kMaxVertices) + " vertices and " +
                                               std::to_string(Mesh::kMaxTriangles) + " triangles");
                    total += mesh.mNumFaces;
                }
        if (total > Mesh::kMaxTriangles)
            return fail(error, "cannot read '" + m_path + "': " + std::to_string(total) +
                                   " triangles, more than the limit of " + std::to_string(Mesh::kMaxTriangles));
        m_meshes.assign(m_scene.mNumMeshes, nullptr);
        std::vector<vec3f> positions;
        std::vector<std::uint32_t> triangles;
        std::size_t done = 0;
        for (unsigned mi = 0; mi < m_scene.mNumMeshes; ++mi) {
            if (!used[mi])
                continue;
            const aiMesh& mesh = *m_scene.mMeshes[mi];
            m_meter.show(kReadShare + kProcessShare + (1 - kReadShare - kProcessShare) * double(done) / total,
                         "building");
            done += mesh.mNumFaces;
            if (!mesh.mVertices || !mesh.mFaces || !(mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE))
                continue;
            const unsigned nv = mesh.mNumVertices;
            positions.resize(nv);
            for (unsigned v = 0; v < nv; ++v)
                positions[v] = vec3f(mesh.mVertices[v].x, mesh.mVertices[v].y, mesh.mVertices[v].z);
            triangles.clear();
            triangles.reserve(std::size_t(mesh.mNumFaces) * 3);
            for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
                const aiFace& face = mesh.mFaces[f];
                if (face.mNumIndices != 3 || !face.mIndices)
                    continue;
                const unsigned a = face.mIndices[0], b = face.mIndices[1], c = face.mIndices[2];
                if (a < nv && b < nv && c < nv)
                    triangles.insert(triangles.end(), {a, b, c});
            }
            m_meshes[mi] = BuildMesh(positions, triangles, m_options.creaseDegrees);
        }
        m_meter.show(1.0, "building");
        // Meshes that came to nothing are dropped from the nodes that use them.
        for (auto& ms : m_nodeMeshes)
            std::erase_if(ms, [&](unsigned mi) { return !m_meshes[mi]; });
        return true;
    }

    int meshSet(const std::vector<unsigned>& ms, const std::string& name) {
        std::string key;
        AppendBytes(key, ms.data(), ms.size() * sizeof(unsigned));
        auto [it, fresh] = m_meshSets.try_emplace(key, int(m_protos.size()));
        if (fresh)
            m_protos.push_back(Proto{name, ms, {}});
        m_protos[it->second].name = name; // nodes come last to first: the first one names it
        return it->second;
    }

    /// Components from the nodes, children first: a set of meshes used by several nodes is one
    /// component, and sub-trees alike in content are one component too.
    void planComponents() {
        std::unordered_map<const aiNode*, std::size_t> index;
        for (std::size_t i = 0; i < m_nodes.size(); ++i)
            index[m_nodes[i]] = i;
        // A node's meshes are its assembly's own bodies when no other kind of node holds them: a
        // shaft placed three times, each time with its bearings, is one assembly with a body, not
        // an assembly around a part of its own. Sub-trees are told apart by a hash of their shape.
        struct Users {
            std::size_t leaves = 0;
            std::unordered_set<std::uint64_t> assemblies;
        };
        std::map<std::vector<unsigned>, Users> users;
        std::vector<std::uint64_t> shape(m_nodes.size());
        for (std::size_t i = m_nodes.size(); i-- > 0;) {
            const aiNode& n = *m_nodes[i];
            std::uint64_t h = 1469598103934665603ull;
            const auto mix = [&h](const void* data, std::size_t size) {
                for (std::size_t b = 0; b < size; ++b)
                    h = (h ^ static_cast<const unsigned char*>(data)[b]) * 1099511628211ull;
            };
            mix(m_nodeMeshes[i].data(), m_nodeMeshes[i].size() * sizeof(unsigned));
            bool kids = false;
            for (unsigned k = 0; k < n.mNumChildren && n.mChildren; ++k)
                if (const aiNode* child = n.mChildren[k]) {
                    mix(&shape[index.at(child)], sizeof(std::uint64_t));
                    mix(&child->mTransformation, sizeof child->mTransformation);
                    kids = true;
                }
            shape[i] = h;
            if (m_nodeMeshes[i].empty())
                continue;
            Users& u = users[m_nodeMeshes[i]];
            if (kids)
                u.assemblies.insert(h);
            else
                ++u.leaves;
        }
        const auto ownBodies = [&](const std::vector<unsigned>& ms) {
            const Users& u = users[ms];
            return u.leaves == 0 && u.assemblies.size() == 1;
        };
        std::vector<Placed> placed(m_nodes.size());
        std::unordered_map<std::string, int> assemblies;
        for (std::size_t i = m_nodes.size(); i-- > 0;) {
            const aiNode& n = *m_nodes[i];
            const std::vector<unsigned>& ms = m_nodeMeshes[i];
            std::vector<std::pair<int, mat4d>> kids;
            for (unsigned k = 0; k < n.mNumChildren && n.mChildren; ++k) {
                const aiNode* child = n.mChildren[k];
                if (!child)
                    continue;
                const Placed& r = placed[index.at(child)];
                if (r.proto >= 0)
                    kids.emplace_back(r.proto, r.local * ToRows(child->mTransformation));
            }
            Placed& out = placed[i];
            if (kids.empty()) {
                if (!ms.empty())
                    out.proto = meshSet(ms, nodeName(n));
                continue;
            }
            if (ms.empty() && kids.size() == 1) { // a bare group node adds only its transform
                out.proto = kids[0].first;
                out.local = kids[0].second;
                continue;
            }
            // Meshes split into child nodes in place (as FBX has one per material) are one component.
            const bool split = std::all_of(kids.begin(), kids.end(), [&](const auto& k) {
                return m_protos[k.first].children.empty() && NearIdentity(k.second);
            });
            if (split) {
                std::vector<unsigned> all = ms;
                for (const auto& k : kids)
                    all.insert(all.end(), m_protos[k.first].meshes.begin(), m_protos[k.first].meshes.end());
                std::sort(all.begin(), all.end());
                all.erase(std::unique(all.begin(), all.end()), all.end());
                out.proto = meshSet(all, nodeName(n));
                continue;
            }
            Proto p{nodeName(n), {}, {}};
            if (!ms.empty()) {
                if (ownBodies(ms))
                    p.meshes = ms;
                else
                    p.children.emplace_back(meshSet(ms, nodeName(n)), mat4d());
            }
            p.children.insert(p.children.end(), kids.begin(), kids.end());
            std::string key;
            AppendBytes(key, p.meshes.data(), p.meshes.size() * sizeof(unsigned));
            key += '|';
            for (const auto& [c, t] : p.children) {
                AppendBytes(key, &c, sizeof c);
                AppendBytes(key, &t.m[0][0], sizeof t.m);
            }
            auto [it, fresh] = assemblies.try_emplace(key, int(m_protos.size()));
            if (fresh)
                m_protos.push_back(p);
            m_protos[it->second].name = p.name;
            out.proto = it->second;
        }
        m_root = placed.front();
    }

    const aiScene& m_scene;
    const std::string& m_path;
    const ImportOptions& m_options;
    Meter& m_meter;
    std::vector<const aiNode*> m_nodes;
    std::vector<std::vector<unsigned>> m_nodeMeshes;
    std::vector<MeshPtr> m_meshes;
    std::vector<Proto> m_protos;
    std::unordered_map<std::string, int> m_meshSets;
    Placed m_root;
};

/// Why a file cannot be opened, or empty when it can.
std::string Unreadable(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st))
        return "no such file";
    if (fs::is_directory(st))
        return "it is a folder";
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return OneLine(std::strerror(errno));
    if (in.peek() == std::ifstream::traits_type::eof())
        return "it is empty";
    return {};
}

/// Bytes of a PLY scalar type, 0 for an unknown one.
std::size_t PlySize(const std::string& type) {
    static const std::map<std::string, std::size_t> sizes = {
        {"char", 1},  {"uchar", 1},   {"int8", 1},   {"uint8", 1},  {"short", 2}, {"ushort", 2},
        {"int16", 2}, {"uint16", 2},  {"int", 4},    {"uint", 4},   {"int32", 4}, {"uint32", 4},
        {"float", 4}, {"float32", 4}, {"double", 8}, {"float64", 8}};
    const auto it = sizes.find(type);
    return it == sizes.end() ? 0 : it->second;
}

/// What is wrong with a PLY file's layout, or empty. Assimp's reader loops forever on a header
/// without its end and reads past the data where a binary list's count is corrupt, so the
/// counts are walked here first.
std::string BadPly(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(1 << 20, '\0');
    in.read(head.data(), std::streamsize(head.size()));
    head.resize(std::size_t(in.gcount()));
    std::size_t end = head.find("\nend_header");
    const std::size_t body = end == std::string::npos ? end : head.find('\n', end + 1);
    if (!head.starts_with("ply") || body == std::string::npos || head.find_first_not_of("\r ", end + 11) != body)
        return "not a ply file that can be read (no complete header)";
    ++end;
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    struct Property {
        std::size_t size = 0, countSize = 0; // countSize: a list's
    };
    struct Element {
        std::string name;
        std::uintmax_t count = 0;
        std::vector<Property> properties;
    };
    std::vector<Element> elements;
    std::string format;
    std::istringstream lines(head.substr(0, end));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "format") {
            words >> format;
        } else if (word == "element") {
            Element e;
            double count = -1;
            words >> e.name >> count;
            if (!(count >= 0) || count > double(size))
                return "its header promises " + std::to_string(std::uintmax_t(std::max(count, 0.0))) + " " + e.name +
                       " elements in " + std::to_string(size) + " bytes";
            e.count = std::uintmax_t(count);
            elements.push_back(std::move(e));
        } else if (word == "property" && !elements.empty()) {
            std::string type, countType, itemType;
            words >> type;
            Property p;
            if (type == "list") {
                words >> countType >> itemType;
                p.countSize = PlySize(countType);
                p.size = PlySize(itemType);
            } else {
                p.size = PlySize(type);
            }
            if (!p.size || (type == "list" && !p.countSize))
                return "its header has a property of unknown type";
            elements.back().properties.push_back(p);
        }
    }
    if (format == "ascii")
        return {};
    const bool little = format == "binary_little_endian";
    if (!little && format != "binary_big_endian")
        return "its header names no known format";
    std::uintmax_t at = body + 1;
    in.clear();
    char bytes[8];
    for (const Element& e : elements) {
        const bool fixed =
            std::none_of(e.properties.begin(), e.properties.end(), [](const Property& p) { return p.countSize != 0; });
        std::uintmax_t stride = 0;
        for (const Property& p : e.properties)
            stride += p.size;
        if (fixed) {
            at += stride * e.count;
        } else {
            in.seekg(std::streamoff(at)); // then read on in order: seeking each time is slow
            for (std::uintmax_t i = 0; i < e.count && at <= size; ++i)
                for (const Property& p : e.properties) {
                    if (!p.countSize) {
                        at += p.size;
                        in.ignore(std::streamsize(p.size));
                        continue;
                    }
                    if (!in.read(bytes, std::streamsize(p.countSize)))
                        return "it ends inside its " + e.name + " elements";
                    std::uintmax_t n = 0;
                    for (std::size_t k = 0; k < p.countSize; ++k)
                        n |= std::uintmax_t(static_cast<unsigned char>(bytes[little ? k : p.countSize - 1 - k]))
                             << (8 * k);
                    at += p.countSize + n * p.size;
                    in.ignore(std::streamsize(n * p.size));
                }
        }
        if (at > size)
            return "it ends inside its " + e.name + " elements";
    }
    return {};
}

/// Assimp's message without the path it repeats, in plainer words where it means the format.
std::string Cause(std::string message, const std::string& path, const std::string& ext, bool known) {
    const bool noReader = message.starts_with("No suitable reader found");
    if (noReader)
        return known ? "not a " + ext + " file that can be read" : "unknown format";
    const std::string name = fs::path(path).filename().string();
    for (std::size_t at = message.find(path); !path.empty() && at != std::string::npos;
         at = message.find(path, at + name.size()))
        message.replace(at, path.size(), name);
    return known ? OneLine(message) : "unknown format (" + OneLine(message) + ")";
}

/// The file's own up axis and scale when the options leave them to it.
mat4d Conversion(const aiScene& scene, const std::string& ext, const ImportOptions& options) {
    const bool fbx = ext == "fbx";
    int axis = ext == "stl" || ext == "ply" || ext == "3mf" ? 2 : 1;
    double sign = 1;
    double value = 0;
    if (options.upAxis == 'y' || options.upAxis == 'Y')
        axis = 1;
    else if (options.upAxis == 'z' || options.upAxis == 'Z')
        axis = 2;
    else if (fbx && MetaNumber(scene.mMetaData, "UpAxis", value) && value >= 0 && value <= 2) {
        axis = int(value);
        if (MetaNumber(scene.mMetaData, "UpAxisSign", value) && value < 0)
            sign = -1;
    }
    double scale = 1;
    if (options.unitScale > 0)
        scale = options.unitScale;
    else if (fbx && MetaNumber(scene.mMetaData, "UnitScaleFactor", value) && value > 0 && std::isfinite(value))
        scale = value / 100.0; // FBX counts in centimetres
    else if (ext == "3mf")
        scale = 0.001; // the format's default, and Assimp does not pass on another
    return UpRotation(axis, sign) * mat4d::Scale(scale);
}

} // namespace

bool ImportModel(const std::string& path, Model& model, std::string& error, const ImportOptions& options) {
    if (std::string why = Unreadable(path); !why.empty()) {
        error = "cannot read '" + path + "': " + why;
        return false;
    }
    const std::string ext = ExtensionOf(path);
    if (std::string why = ext == "ply" ? BadPly(path) : BadGltf(path); !why.empty()) {
        error = "cannot read '" + path + "': " + why;
        return false;
    }
    Meter meter(path, options.progress);
    try {
        Assimp::Importer importer;
        const bool known = !ext.empty() && importer.IsExtensionSupported("." + ext);
        importer.SetProgressHandler(new ReadProgress(meter)); // the importer owns it
        // Only positions and materials are used; the rest is dropped early. Points and lines are
        // sorted out, not removed, so a file of nothing else is told as one without triangles.
        // No joining of vertices: BuildMesh welds them, several times faster on large meshes.
        importer.SetPropertyInteger(AI_CONFIG_PP_RVC_FLAGS,
                                    aiComponent_NORMALS | aiComponent_TANGENTS_AND_BITANGENTS | aiComponent_COLORS |
                                        aiComponent_TEXCOORDS | aiComponent_BONEWEIGHTS | aiComponent_ANIMATIONS |
                                        aiComponent_TEXTURES | aiComponent_LIGHTS | aiComponent_CAMERAS);
        importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
        importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_READ_ANIMATIONS, false);
        const aiScene* scene =
            importer.ReadFile(path, aiProcess_RemoveComponent | aiProcess_Triangulate | aiProcess_SortByPType |
                                        aiProcess_FindInstances | aiProcess_ValidateDataStructure);
        if (!scene) {
            error = "cannot read '" + path + "': " + Cause(importer.GetErrorString(), path, ext, known);
            return false;
        }
        SceneReader reader(*scene, path, options, meter);
        if (!reader.read(error))
            return false;
        reader.apply(model, Conversion(*scene, ext, options));
        meter.finish();
        return true;
    } catch (const std::bad_alloc&) {
        error = "cannot read '" + path + "': out of memory";
    } catch (const std::exception& e) {
        error = "cannot read '" + path + "': " + OneLine(e.what());
    }
    return false;
}

// ---------------------------------------------------------------------------------------------

namespace {

struct Format {
    const char* ext;
    const char* id;
    bool flat;   ///< holds no hierarchy: placements are baked into the meshes
    bool zUp;    ///< the format's custom is z up
    double unit; ///< metres per file unit the file is written in
    bool metre;  ///< says its unit: metres (FBX counts centimetres unless told)
};

// FBX is written as text: this Assimp's binary FBX writer leaves out block ends, so the files
// cannot be read back.
constexpr Format kFormats[] = {
    {"gltf", "gltf2", false, false, 1, false}, {"glb", "glb2", false, false, 1, false},
    {"obj", "obj", false, false, 1, false},    {"stl", "stlb", true, true, 1, false},
    {"ply", "plyb", true, true, 1, false},     {"3mf", "3mf", true, true, 0.001, false}, // says millimetres
    {"fbx", "fbxa", false, false, 1, true},
};

aiMaterial* ToAssimp(const Material& m) {
    auto* mat = new aiMaterial;
    const aiString name(m.name.empty() ? std::string("Material") : m.name);
    mat->AddProperty(&name, AI_MATKEY_NAME);
    // Alpha goes as opacity alone: the glTF writer multiplies it into the base colour's.
    const aiColor4D colour(m.r, m.g, m.b, 1.f);
    // Diffuse without alpha: the 3MF writer turns a fractional alpha into none at all.
    const aiColor3D diffuse(m.r, m.g, m.b);
    mat->AddProperty(&colour, 1, AI_MATKEY_BASE_COLOR);
    mat->AddProperty(&diffuse, 1, AI_MATKEY_COLOR_DIFFUSE);
    mat->AddProperty(&m.a, 1, AI_MATKEY_OPACITY);
    // Plastic rather than glTF's default of bare metal.
    const float metallic = 0.f, roughness = 0.6f;
    mat->AddProperty(&metallic, 1, AI_MATKEY_METALLIC_FACTOR);
    mat->AddProperty(&roughness, 1, AI_MATKEY_ROUGHNESS_FACTOR);
    if (m.a < 1.f) {
        const aiString blend("BLEND");
        mat->AddProperty(&blend, AI_MATKEY_GLTF_ALPHAMODE);
    }
    return mat;
}

/// The body's mesh, or with world given, a copy placed by it (for formats without placements).
aiMesh* ToAssimp(const Body& body, unsigned material, const mat4d* world = nullptr) {
    const Mesh& m = *body.mesh();
    auto* mesh = new aiMesh;
    mesh->mName = aiString(body.name());
    mesh->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    mesh->mMaterialIndex = material;
    mesh->mNumVertices = unsigned(m.positions.size());
    mesh->mVertices = new aiVector3D[m.positions.size()];
    mesh->mNormals = new aiVector3D[m.positions.size()];
    mat4d normalMatrix; // the inverse's transpose keeps normals square to sheared faces
    bool mirrored = false;
    if (world) {
        mat4d inverse;
        if (world->Inverse(inverse))
            normalMatrix = inverse.Transposed();
        mirrored = world->Determinant() < 0;
    }
    for (std::size_t i = 0; i < m.positions.size(); ++i) {
        Lumo::Objects::vec3<double> p(m.positions[i].x, m.positions[i].y, m.positions[i].z);
        Lumo::Objects::vec3<double> n(m.normals[i].x, m.normals[i].y, m.normals[i].z);
        if (world) {
            p = world->TransformPoint(p);
            n = normalMatrix.TransformVector(n).Normalized();
        }
        mesh->mVertices[i] = aiVector3D(ai_real(p.x), ai_real(p.y), ai_real(p.z));
        mesh->mNormals[i] = aiVector3D(ai_real(n.x), ai_real(n.y), ai_real(n.z));
    }
    mesh->mNumFaces = unsigned(m.triangleCount());
    mesh->mFaces = new aiFace[m.triangleCount()];
    for (std::size_t f = 0; f < m.triangleCount(); ++f) {
        aiFace& face = mesh->mFaces[f];
        face.mNumIndices = 3;
        const std::uint32_t* t = &m.triangles[3 * f];
        // A mirroring placement turns the faces inside out unless the winding turns too.
        face.mIndices = mirrored ? new unsigned[3]{t[0], t[2], t[1]} : new unsigned[3]{t[0], t[1], t[2]};
    }
    return mesh;
}

bool SharesCorners(const Mesh& m) {
    if (m.triangles.size() > m.positions.size())
        return true;
    std::vector<char> used(m.positions.size(), 0);
    for (std::uint32_t i : m.triangles)
        if (used[i]++)
            return true;
    return false;
}

void SetChildren(aiNode& node, std::vector<aiNode*>& children) {
    if (children.empty())
        return;
    node.mNumChildren = unsigned(children.size());
    node.mChildren = new aiNode*[children.size()];
    for (std::size_t i = 0; i < children.size(); ++i) {
        node.mChildren[i] = children[i];
        children[i]->mParent = &node;
    }
}

/// The scene: a mesh per body, each component's meshes shared by the nodes of all its placements;
/// or flat, a mesh per placed body under the root node, for formats that know no placements.
class SceneWriter {
public:
    SceneWriter(const Model& model, bool flat) : m_model(model), m_flat(flat) {}
    ~SceneWriter() { // what a failure left before the scene took it
        for (aiMesh* m : m_meshes)
            delete m;
        for (aiMaterial* m : m_materials)
            delete m;
    }
    SceneWriter(const SceneWriter&) = delete;
    SceneWriter& operator=(const SceneWriter&) = delete;

    std::unique_ptr<aiScene> write(const mat4d& rootTransform) {
        aiNode* root = nullptr;
        if (m_flat) {
            root = new aiNode(m_model.name());
            std::vector<aiNode*> children;
            place(m_model.root(), rootTransform, children);
            SetChildren(*root, children);
        } else {
            for (const auto& c : m_model.components()) {
                auto& ids = m_meshesOf[c.get()];
                for (const auto& b : c->bodies()) {
                    ids.push_back(unsigned(m_meshes.size()));
                    m_meshes.push_back(ToAssimp(*b, material(b->material())));
                }
            }
            root = node(m_model.root(), m_model.name(), rootTransform);
        }
        auto scene = std::make_unique<aiScene>();
        scene->mRootNode = root;
        // Assimp's writers take shared corners as such only when told; telling it of meshes that
        // share none fails its normal step.
        if (std::any_of(m_model.components().begin(), m_model.components().end(), [](const auto& c) {
                return std::any_of(c->bodies().begin(), c->bodies().end(),
                                   [](const auto& b) { return SharesCorners(*b->mesh()); });
            }))
            scene->mFlags |= AI_SCENE_FLAGS_NON_VERBOSE_FORMAT;
        scene->mNumMaterials = unsigned(m_materials.size());
        scene->mMaterials = new aiMaterial*[m_materials.size()];
        std::copy(m_materials.begin(), m_materials.end(), scene->mMaterials);
        m_materials.clear(); // the scene's now
        scene->mNumMeshes = unsigned(m_meshes.size());
        scene->mMeshes = new aiMesh*[m_meshes.size()];
        std::copy(m_meshes.begin(), m_meshes.end(), scene->mMeshes);
        m_meshes.clear();
        return scene;
    }

private:
    unsigned material(const Material& m) {
        auto it = std::find(m_seen.begin(), m_seen.end(), m);
        if (it != m_seen.end())
            return unsigned(it - m_seen.begin());
        m_seen.push_back(m);
        m_materials.push_back(ToAssimp(m));
        return unsigned(m_seen.size() - 1);
    }

    aiNode* node(const Component& c, const std::string& name, const mat4d& transform) {
        auto* n = new aiNode(name);
        n->mTransformation = ToColumns(transform);
        const auto& ids = m_meshesOf[&c];
        if (!ids.empty()) {
            n->mNumMeshes = unsigned(ids.size());
            n->mMeshes = new unsigned[ids.size()];
            std::copy(ids.begin(), ids.end(), n->mMeshes);
        }
        std::vector<aiNode*> children;
        for (const auto& i : c.instances())
            children.push_back(node(i->target(), i->target().name(), i->transform()));
        SetChildren(*n, children);
        return n;
    }

    void place(const Component& c, const mat4d& world, std::vector<aiNode*>& nodes) {
        for (const auto& b : c.bodies()) {
            auto* n = new aiNode(c.name());
            n->mNumMeshes = 1;
            n->mMeshes = new unsigned[1]{unsigned(m_meshes.size())};
            m_meshes.push_back(ToAssimp(*b, material(b->material()), &world));
            nodes.push_back(n);
        }
        for (const auto& i : c.instances())
            place(i->target(), i->transform() * world, nodes);
    }

    const Model& m_model;
    bool m_flat;
    std::vector<aiMaterial*> m_materials;
    std::vector<Material> m_seen;
    std::vector<aiMesh*> m_meshes;
    std::unordered_map<const Component*, std::vector<unsigned>> m_meshesOf;
};

} // namespace

namespace {

/// Assimp's 3MF writer puts every colour down as black: the base materials are written again
/// with the model's colours, found by material name.
bool Fix3mfColours(const Model& model, const std::string& path) {
    Brio::ZipArchive::Parts parts;
    if (!Brio::ZipArchive::read(path, parts).isSuccess())
        return false;
    auto it = parts.find("3D/3DModel.model");
    if (it == parts.end())
        return false;
    std::map<std::string, std::string> colours;
    for (const auto& c : model.components())
        for (const auto& b : c->bodies()) {
            const Material& m = b->material();
            char hex[16];
            auto byte = [](float v) { return unsigned(std::lround(std::clamp(v, 0.f, 1.f) * 255.f)); };
            std::snprintf(hex, sizeof hex, "#%02x%02x%02x%02x", byte(m.r), byte(m.g), byte(m.b), byte(m.a));
            colours.emplace(m.name, hex);
        }
    std::string xml(it->second.begin(), it->second.end());
    std::string out;
    std::size_t at = 0;
    for (std::size_t base; (base = xml.find("<base name=\"", at)) != std::string::npos;) {
        const std::size_t nameStart = base + 12, nameEnd = xml.find('"', nameStart);
        const std::size_t colour = xml.find("displaycolor=\"", nameEnd), colourEnd = xml.find('"', colour + 14);
        const std::size_t close = xml.find("/>", nameEnd);
        if (nameEnd == std::string::npos || colour == std::string::npos || colourEnd == std::string::npos ||
            colour > close)
            break;
        auto known = colours.find(xml.substr(nameStart, nameEnd - nameStart));
        out.append(xml, at, colour + 14 - at);
        out += known != colours.end() ? known->second : xml.substr(colour + 14, colourEnd - colour - 14);
        at = colourEnd;
    }
    out.append(xml, at, std::string::npos);
    it->second.assign(out.begin(), out.end());
    return Brio::ZipArchive::write(path, parts).isSuccess();
}

} // namespace

bool ExportModel(const Model& model, const std::string& path, std::string& error) {
    const std::string ext = ExtensionOf(path);
    const Format* format = nullptr;
    for (const Format& f : kFormats)
        if (ext == f.ext)
            format = &f;
    if (!format) {
        error = "cannot write '" + path + "': unknown format (use .gltf, .glb, .obj, .stl, .ply, .3mf or .fbx)";
        return false;
    }
    const fs::path folder = fs::path(path).parent_path();
    std::error_code ec;
    if (!folder.empty() && !fs::is_directory(folder, ec)) {
        error = "cannot write '" + path + "': no such folder";
        return false;
    }
    if (model.counts().occurrences == 0) {
        error = "cannot write '" + path + "': the model places no bodies";
        return false;
    }
    try {
        // glTF is written here: Assimp's writer grows its buffer by copying it whole for every
        // array, which takes minutes for a few million triangles.
        if (ext == "gltf" || ext == "glb")
            return WriteGltf(model, path, ext == "glb", error);
        if (ext == "obj")
            return WriteObj(model, path, error);
        // The model is y up; z-up formats get it turned back: (x, y, z) -> (x, -z, y).
        const mat4d up = format->zUp ? mat4d(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1) : mat4d();
        const mat4d root = up * mat4d::Scale(1.0 / format->unit);
        std::unique_ptr<aiScene> scene = SceneWriter(model, format->flat).write(root);
        if (format->metre) {
            scene->mMetaData = new aiMetadata;
            scene->mMetaData->Add("UnitScaleFactor", 100.0);
        }
        Assimp::Exporter exporter;
        if (exporter.Export(scene.get(), format->id, path) != AI_SUCCESS) {
            error = "cannot write '" + path + "': " + OneLine(exporter.GetErrorString());
            return false;
        }
        if (ext == "3mf" && !Fix3mfColours(model, path)) {
            error = "cannot write '" + path + "': the written archive cannot be read back";
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        error = "cannot write '" + path + "': out of memory";
    } catch (const std::exception& e) {
        error = "cannot write '" + path + "': " + OneLine(e.what());
    }
    return false;
}

} // namespace Host
