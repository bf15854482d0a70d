#include <Host/Import/GltfCheckInternal.h>

#include <cjson/cJSON.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Host {

namespace {

namespace fs = std::filesystem;

using Json = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;

constexpr std::uint64_t kNone = ~std::uint64_t(0);

std::uint32_t Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

/// A whole number in [0, 2^53) from a member, `fallback` when the member is missing, kNone when
/// it is something else.
std::uint64_t Count(const cJSON* object, const char* name, std::uint64_t fallback = kNone) {
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(object, name);
    if (!item)
        return fallback;
    const double v = cJSON_IsNumber(item) ? item->valuedouble : -1;
    return v >= 0 && v < 9007199254740992.0 && std::floor(v) == v ? std::uint64_t(v) : kNone;
}

const cJSON* At(const cJSON* array, std::uint64_t i) {
    return cJSON_IsArray(array) && i < std::uint64_t(cJSON_GetArraySize(array)) ? cJSON_GetArrayItem(array, int(i))
                                                                                : nullptr;
}

std::string Base64(const char* s) {
    std::string out;
    unsigned bits = 0, have = 0;
    for (; *s && *s != '='; ++s) {
        const char c = *s;
        int v = c >= 'A' && c <= 'Z'   ? c - 'A'
                : c >= 'a' && c <= 'z' ? c - 'a' + 26
                : c >= '0' && c <= '9' ? c - '0' + 52
                : c == '+'             ? 62
                : c == '/'             ? 63
                                       : -1;
        if (v < 0)
            continue; // line breaks and the like
        bits = bits << 6 | unsigned(v);
        if ((have += 6) >= 8) {
            have -= 8;
            out.push_back(char((bits >> have) & 0xFF));
        }
    }
    return out;
}

/// A buffer's bytes: held (a data URI) or a stretch of a file (a GLB's binary chunk, a .bin).
struct Buffer {
    std::string held;
    fs::path file;
    std::uint64_t offset = 0, size = 0;

    /// Calls `use` with consecutive pieces of [at, at + length), which must lie inside; every
    /// piece but the last is a whole number of `step`s long.
    template <class Use> bool read(std::uint64_t at, std::uint64_t length, std::uint64_t step, Use use) const {
        if (file.empty()) {
            use(reinterpret_cast<const unsigned char*>(held.data()) + at, std::size_t(length));
            return true;
        }
        std::ifstream in(file, std::ios::binary);
        in.seekg(std::streamoff(offset + at));
        const std::uint64_t piece = std::max<std::uint64_t>(1, (1 << 20) / step) * step;
        std::vector<unsigned char> bytes(std::size_t(std::min(length, piece)));
        for (std::uint64_t left = length; left > 0;) {
            const std::size_t n = std::size_t(std::min<std::uint64_t>(left, bytes.size()));
            if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(n)))
                return false;
            use(bytes.data(), n);
            left -= n;
        }
        return true;
    }
};

class Checker {
public:
    Checker(const fs::path& path, const cJSON* root, const Buffer* binary)
        : m_folder(path.parent_path()), m_root(root), m_binary(binary) {}

    std::string run() {
        const cJSON* meshes = cJSON_GetObjectItemCaseSensitive(m_root, "meshes");
        if (!cJSON_IsArray(meshes))
            return {};
        int m = 0;
        for (const cJSON* mesh = meshes->child; mesh; mesh = mesh->next, ++m) {
            const cJSON* prims = cJSON_GetObjectItemCaseSensitive(mesh, "primitives");
            if (!cJSON_IsArray(prims))
                continue;
            const cJSON* name = cJSON_GetObjectItemCaseSensitive(mesh, "name");
            const std::string what =
                cJSON_IsString(name) ? "mesh '" + std::string(name->valuestring) + "'" : "mesh " + std::to_string(m);
            for (const cJSON* prim = prims->child; prim; prim = prim->next)
                if (std::string why = primitive(prim, what); !why.empty())
                    return why;
        }
        return {};
    }

private:
    std::string primitive(const cJSON* prim, const std::string& what) {
        const cJSON* accessors = cJSON_GetObjectItemCaseSensitive(m_root, "accessors");
        const cJSON* indices = At(accessors, Count(prim, "indices"));
        const cJSON* position = At(accessors, Count(cJSON_GetObjectItemCaseSensitive(prim, "attributes"), "POSITION"));
        if (!indices || !position)
            return {};
        const std::uint64_t vertices = Count(position, "count");
        const std::uint64_t count = Count(indices, "count");
        const cJSON* type = cJSON_GetObjectItemCaseSensitive(indices, "type");
        const std::uint64_t component = Count(indices, "componentType");
        const std::uint64_t size = component == 5121 ? 1 : component == 5123 ? 2 : component == 5125 ? 4 : 0;
        if (vertices == kNone || count == kNone)
            return {};
        if (!size || !cJSON_IsString(type) || std::strcmp(type->valuestring, "SCALAR") != 0)
            return what + "'s indices are not unsigned integers";
        std::string why = values(indices, count, size, vertices, what);
        // A sparse accessor replaces some values with others stored apart.
        const cJSON* sparse = cJSON_GetObjectItemCaseSensitive(indices, "sparse");
        if (why.empty() && sparse)
            why = values(cJSON_GetObjectItemCaseSensitive(sparse, "values"), Count(sparse, "count"), size, vertices,
                         what);
        return why;
    }

    /// Checks `count` indices of `size` bytes held where `view` (an accessor, or a sparse
    /// accessor's values) points.
    std::string values(const cJSON* view, std::uint64_t count, std::uint64_t size, std::uint64_t vertices,
                       const std::string& what) {
        const std::uint64_t viewIndex = Count(view, "bufferView");
        if (viewIndex == kNone || count == kNone || count == 0)
            return {}; // no data: zeros, which Assimp reads as such
        const cJSON* bufferView = At(cJSON_GetObjectItemCaseSensitive(m_root, "bufferViews"), viewIndex);
        if (!bufferView)
            return {};
        const std::uint64_t viewOffset = Count(bufferView, "byteOffset", 0);
        const std::uint64_t viewLength = Count(bufferView, "byteLength");
        const std::uint64_t stride = Count(bufferView, "byteStride", 0);
        const std::uint64_t offset = Count(view, "byteOffset", 0);
        const Buffer* buffer = source(Count(bufferView, "buffer"));
        if (!buffer || viewOffset == kNone || viewLength == kNone || stride == kNone || offset == kNone)
            return {};
        // Index views should have no stride at all; more than glTF allows any view is refused, so
        // that pieces of the buffer are read a whole number of indices at a time.
        if (stride && (stride < size || stride > 252))
            return what + "'s indices are spaced " + std::to_string(stride) + " bytes apart";
        const std::uint64_t step = stride ? stride : size;
        const std::uint64_t start = viewOffset + offset;
        const std::uint64_t last = count - 1;
        // Each term is below 2^53 but their sum and product are not: compare without overflow.
        const std::uint64_t limit = std::min(viewOffset + viewLength, buffer->size);
        if (start > limit || last > (limit - start) / step || last * step + size > limit - start)
            return what + "'s indices lie outside their buffer";
        std::uint64_t largest = 0;
        const bool read = buffer->read(start, last * step + size, step, [&](const unsigned char* d, std::size_t n) {
            for (std::size_t at = 0; at + size <= n; at += step) {
                const unsigned char* p = d + at;
                const std::uint64_t value = size == 1 ? p[0] : size == 2 ? std::uint64_t(p[0] | p[1] << 8) : Le32(p);
                largest = std::max(largest, value);
            }
        });
        if (!read)
            return {};
        if (largest >= vertices)
            return what + " has an index (" + std::to_string(largest) + ") past its " + std::to_string(vertices) +
                   " vertices";
        return {};
    }

    /// The buffer numbered `index`, read on first use; null when it cannot be followed.
    const Buffer* source(std::uint64_t index) {
        const cJSON* buffer = At(cJSON_GetObjectItemCaseSensitive(m_root, "buffers"), index);
        if (!buffer)
            return nullptr;
        if (auto it = m_buffers.find(index); it != m_buffers.end())
            return it->second.get();
        auto made = std::make_unique<Buffer>();
        const cJSON* uri = cJSON_GetObjectItemCaseSensitive(buffer, "uri");
        if (!uri) {
            if (!m_binary)
                return nullptr;
            *made = *m_binary;
        } else if (!cJSON_IsString(uri)) {
            return nullptr;
        } else if (std::strncmp(uri->valuestring, "data:", 5) == 0) {
            const char* comma = std::strchr(uri->valuestring, ',');
            if (!comma || !std::strstr(uri->valuestring, ";base64,"))
                return nullptr;
            made->held = Base64(comma + 1);
            made->size = made->held.size();
        } else {
            std::error_code ec;
            // As the reader takes it: the URI's text as a path, not percent-decoded.
            made->file = m_folder / fs::path(uri->valuestring);
            made->size = fs::file_size(made->file, ec);
            if (ec)
                return nullptr;
        }
        return (m_buffers[index] = std::move(made)).get();
    }

    fs::path m_folder;
    const cJSON* m_root;
    const Buffer* m_binary;
    std::map<std::uint64_t, std::unique_ptr<Buffer>> m_buffers;
};

} // namespace

std::string BadGltf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    const std::uint64_t fileSize = fs::file_size(path, ec);
    if (!in || ec)
        return {};
    unsigned char head[20] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    const std::size_t got = std::size_t(in.gcount());
    std::string json;
    Buffer binary;
    bool glb = false;
    if (got >= 4 && std::memcmp(head, "glTF", 4) == 0) {
        if (got < 20 || Le32(head + 4) != 2)
            return {}; // a version 1 file, or too short to say: Assimp judges
        const std::uint64_t length = Le32(head + 12);
        if (std::memcmp(head + 16, "JSON", 4) != 0 || length > fileSize - 20)
            return "its JSON chunk runs past the end of the file";
        json.resize(std::size_t(length));
        in.read(json.data(), std::streamsize(length));
        const std::uint64_t at = 20 + (length + 3) / 4 * 4;
        unsigned char chunk[8];
        if (at + 8 <= fileSize && in.seekg(std::streamoff(at)) && in.read(reinterpret_cast<char*>(chunk), 8) &&
            std::memcmp(chunk + 4, "BIN\0", 4) == 0) {
            binary.file = path;
            binary.offset = at + 8;
            binary.size = std::min<std::uint64_t>(Le32(chunk), fileSize - at - 8);
            glb = true;
        }
    } else {
        std::size_t i = 0;
        while (i < got && std::isspace(head[i]))
            ++i;
        if (i == got || head[i] != '{')
            return {};
        json.resize(std::size_t(fileSize));
        in.seekg(0);
        in.read(json.data(), std::streamsize(fileSize));
        json.resize(std::size_t(in.gcount()));
    }
    Json root(cJSON_ParseWithLength(json.data(), json.size()), cJSON_Delete);
    if (!root)
        return {};
    json = std::string(); // the tree holds what is needed; large files hold a lot
    return Checker(path, root.get(), glb ? &binary : nullptr).run();
}

} // namespace Host
