#include <Host/Import/ExportFilesInternal.h>
#include <Host/Import/ObjWriterInternal.h>
#include <Host/Model/Body.h>
#include <Host/Model/Component.h>
#include <Host/Model/Instance.h>
#include <Host/Model/Mesh.h>
#include <Host/Model/Model.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Host {

namespace {

namespace fs = std::filesystem;

/// OBJ and MTL names end at the line and may not hold spaces for every reader.
std::string NameOf(const std::string& s, const char* fallback) {
    std::string out = s.empty() ? fallback : s;
    for (char& c : out)
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            c = '_';
    return out;
}

class Writer {
public:
    void body(const Body& b, const mat4d& world, const std::optional<Rgba>& colour) {
        const Mesh& m = *b.mesh();
        Material material = b.material();
        if (colour)
            material = Material{ColourName(*colour), colour->r, colour->g, colour->b, 1.f};
        m_obj += "g " + NameOf(b.name(), "Body") + "\nusemtl " + materialName(material) + "\n";
        mat4d normalMatrix; // the inverse's transpose keeps normals square to sheared faces
        if (mat4d inverse; world.Inverse(inverse))
            normalMatrix = inverse.Transposed();
        for (const vec3f& p : m.positions)
            line("v ", world.TransformPoint(Lumo::Objects::vec3<double>(p.x, p.y, p.z)));
        for (const vec3f& n : m.normals)
            line("vn ", normalMatrix.TransformVector(Lumo::Objects::vec3<double>(n.x, n.y, n.z)).Normalized());
        const bool mirrored = world.Determinant() < 0; // turns faces inside out unless the winding turns
        for (std::size_t t = 0; t + 2 < m.triangles.size(); t += 3) {
            const std::uint32_t a = m.triangles[t], b2 = m.triangles[t + (mirrored ? 2 : 1)],
                                c = m.triangles[t + (mirrored ? 1 : 2)];
            m_obj += "f";
            for (std::uint32_t i : {a, b2, c}) {
                const std::string k = std::to_string(m_base + i + 1);
                m_obj += ' ';
                m_obj += k;
                m_obj += "//";
                m_obj += k;
            }
            m_obj += '\n';
        }
        m_base += m.positions.size();
    }

    void place(const Component& c, const mat4d& world, const std::optional<Rgba>& colour) {
        for (const auto& b : c.bodies())
            body(*b, world, colour);
        // The nearest placement's colour wins, as it does on screen.
        for (const auto& i : c.instances())
            place(i->target(), i->transform() * world, i->colour() ? i->colour() : colour);
    }

    std::string m_obj, m_mtl;

private:
    void line(const char* tag, const Lumo::Objects::vec3<double>& v) {
        m_obj += tag;
        char text[3 * 32];
        char* at = text;
        for (double x : {v.x, v.y, v.z}) {
            // Floats are what the meshes hold: their shortest exact text is enough.
            at = std::to_chars(at, text + sizeof text, float(std::isfinite(x) ? x : 0.0)).ptr;
            *at++ = ' ';
        }
        at[-1] = '\n';
        m_obj.append(text, at);
    }

    std::string materialName(const Material& m) {
        auto it = std::find(m_seen.begin(), m_seen.end(), m);
        const std::size_t index = it - m_seen.begin();
        if (it != m_seen.end())
            return m_names[index];
        // Two materials of one name but different colours need names of their own.
        std::string name = NameOf(m.name, "Material");
        if (std::find(m_names.begin(), m_names.end(), name) != m_names.end())
            name += "_" + std::to_string(m_seen.size());
        m_seen.push_back(m);
        m_names.push_back(name);
        char values[160];
        std::snprintf(values, sizeof values, "Kd %.9g %.9g %.9g\nd %.9g\nillum 1\n\n", m.r, m.g, m.b, m.a);
        m_mtl += "newmtl " + name + "\n" + values;
        return name;
    }

    std::vector<Material> m_seen;
    std::vector<std::string> m_names;
    std::size_t m_base = 0; ///< vertices written so far: OBJ's indices run across the file
};

} // namespace

bool WriteObj(const Model& model, const std::string& path, std::string& error) {
    const fs::path file(path);
    const std::string mtlName = file.stem().string() + ".mtl";
    Writer w;
    w.m_obj = "# " + model.name() + ", written by BrioScene\nmtllib " + mtlName + "\n";
    w.place(model.root(), mat4d(), std::nullopt);
    return WritePair(file, w.m_obj, file.parent_path() / mtlName, w.m_mtl, error);
}

} // namespace Host
