#include <Host/Document/ModelCodec.h>
#include <Host/Model/Body.h>
#include <Host/Model/Component.h>
#include <Host/Model/Model.h>

#include <cstring>
#include <type_traits>
#include <unordered_map>

namespace Host {

namespace {

constexpr char kMagic[8] = {'B', 'R', 'I', 'O', 'H', 'O', 'S', 'T'};
constexpr std::uint32_t kVersion = 1;

class Writer {
public:
    std::vector<std::uint8_t> bytes;
    void raw(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    void u32(std::uint32_t v) { raw(&v, 4); }
    void f32(float v) { raw(&v, 4); }
    void f64(double v) { raw(&v, 8); }
    void str(const std::string& s) {
        u32(std::uint32_t(s.size()));
        raw(s.data(), s.size());
    }
    template <class T> void array(const std::vector<T>& v) {
        u32(std::uint32_t(v.size()));
        raw(v.data(), v.size() * sizeof(T));
    }
};

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& b) : m_b(b) {}
    bool ok() const { return m_ok; }
    bool raw(void* p, std::size_t n) {
        if (!m_ok || n > m_b.size() - m_at)
            return m_ok = false;
        if (n) // an empty array has no storage to copy into
            std::memcpy(p, m_b.data() + m_at, n);
        m_at += n;
        return true;
    }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        raw(&v, 4);
        return v;
    }
    float f32() {
        float v = 0;
        raw(&v, 4);
        return v;
    }
    double f64() {
        double v = 0;
        raw(&v, 8);
        return v;
    }
    /// A count of items of `size` bytes each that the rest of the input can hold.
    std::uint32_t count(std::size_t size) {
        const std::uint32_t n = u32();
        if (m_ok && std::uint64_t(n) * size > m_b.size() - m_at)
            m_ok = false;
        return m_ok ? n : 0;
    }
    std::string str() {
        std::string s(count(1), '\0');
        raw(s.data(), s.size());
        return s;
    }
    template <class T> std::vector<T> array() {
        std::vector<T> v(count(sizeof(T)));
        raw(v.data(), v.size() * sizeof(T));
        return v;
    }
    /// As array, refusing more than `limit` items before the bytes left are even weighed: the
    /// count goes to `declared` and reading stops.
    template <class T> std::vector<T> array(std::size_t limit, std::uint64_t& declared) {
        const std::size_t at = m_at;
        const std::uint32_t n = u32();
        if (m_ok && n > limit) {
            declared = n;
            m_ok = false;
            return {};
        }
        m_at = at;
        return array<T>();
    }
    bool atEnd() const { return m_at == m_b.size(); }

private:
    const std::vector<std::uint8_t>& m_b;
    std::size_t m_at = 0;
    bool m_ok = true;
};

} // namespace

std::vector<std::uint8_t> ModelCodec::write(const Model& model) {
    Writer w;
    w.raw(kMagic, 8);
    w.u32(kVersion);
    w.str(model.name());
    std::unordered_map<const Component*, std::uint32_t> index;
    const auto& components = model.components();
    for (std::size_t i = 0; i < components.size(); ++i)
        index[components[i].get()] = std::uint32_t(i);
    w.u32(std::uint32_t(components.size()));
    for (const auto& c : components)
        w.str(c->name());
    for (const auto& c : components) {
        w.u32(std::uint32_t(c->bodies().size()));
        for (const auto& b : c->bodies()) {
            w.str(b->name());
            const Material& m = b->material();
            w.str(m.name);
            for (float f : {m.r, m.g, m.b, m.a})
                w.f32(f);
            w.u32(b->visible() ? 1 : 0);
            const Mesh& mesh = *b->mesh();
            w.array(mesh.positions);
            w.array(mesh.normals);
            w.array(mesh.triangles);
            w.array(mesh.edges);
        }
        w.u32(std::uint32_t(c->instances().size()));
        for (const auto& i : c->instances()) {
            w.u32(index.at(&i->target()));
            for (int r = 0; r < 4; ++r)
                for (int k = 0; k < 4; ++k)
                    w.f64(i->transform().m[r][k]);
            w.u32((i->colour() ? 1u : 0u) | (i->visible() ? 2u : 0u));
            const Rgba c = i->colour().value_or(Rgba{});
            for (float f : {c.r, c.g, c.b, c.a})
                w.f32(f);
        }
    }
    return std::move(w.bytes);
}

bool ModelCodec::read(const std::vector<std::uint8_t>& bytes, Model& model, std::string& error) {
    Reader r(bytes);
    char magic[8] = {};
    if (!r.raw(magic, 8) || std::memcmp(magic, kMagic, 8) != 0) {
        error = "not a model of this host";
        return false;
    }
    const std::uint32_t version = r.u32();
    if (r.ok() && version > kVersion) {
        error = "the model was written by a newer version (" + std::to_string(version) + ")";
        return false;
    }
    auto damaged = [&error] {
        error = "the model is damaged";
        return false;
    };
    model.name(r.str());
    // At least a name length, a body count and an instance count each.
    const std::uint32_t n = r.count(12);
    if (!r.ok() || n == 0)
        return damaged();
    std::vector<Component*> components{&model.root()};
    model.root().name(r.str());
    for (std::uint32_t i = 1; i < n && r.ok(); ++i)
        components.push_back(model.addComponent(r.str()));
    for (Component* c : components) {
        const std::uint32_t bodies = r.count(4 * 7);
        for (std::uint32_t b = 0; b < bodies && r.ok(); ++b) {
            const std::string name = r.str();
            Material m;
            m.name = r.str();
            m.r = r.f32();
            m.g = r.f32();
            m.b = r.f32();
            m.a = r.f32();
            const bool visible = r.u32() != 0;
            auto mesh = std::make_shared<Mesh>();
            std::string overLimit;
            const auto limited = [&](auto& out, std::size_t limit, const char* what) {
                using Item = typename std::decay_t<decltype(out)>::value_type;
                std::uint64_t declared = 0;
                out = r.array<Item>(limit, declared);
                if (declared && overLimit.empty())
                    overLimit = "the model's body '" + name + "' declares " + std::to_string(declared) + " " + what +
                                ", more than the limit of " + std::to_string(limit);
            };
            limited(mesh->positions, Mesh::kMaxVertices, "vertices");
            limited(mesh->normals, Mesh::kMaxVertices, "normals");
            limited(mesh->triangles, 3 * Mesh::kMaxTriangles, "triangle indices");
            limited(mesh->edges, 2 * Mesh::kMaxEdges, "edge indices");
            if (!overLimit.empty()) {
                error = std::move(overLimit);
                return false;
            }
            if (!r.ok())
                break;
            Body* body = c->addBody(name, std::move(mesh), m);
            if (!body)
                return damaged();
            body->visible(visible);
        }
        const std::uint32_t instances = r.count(4 + 16 * 8 + 4 + 16);
        for (std::uint32_t k = 0; k < instances && r.ok(); ++k) {
            const std::uint32_t target = r.u32();
            mat4d t;
            for (int row = 0; row < 4; ++row)
                for (int col = 0; col < 4; ++col)
                    t.m[row][col] = r.f64();
            const std::uint32_t flags = r.u32();
            Rgba colour;
            colour.r = r.f32();
            colour.g = r.f32();
            colour.b = r.f32();
            colour.a = r.f32();
            if (!r.ok() || target >= components.size())
                return damaged();
            Instance* instance = c->addInstance(*components[target], t);
            if (!instance)
                return damaged(); // a cycle
            if (flags & 1)
                instance->colour(colour);
            instance->visible((flags & 2) != 0);
        }
    }
    if (!r.ok() || !r.atEnd())
        return damaged();
    return true;
}

} // namespace Host
