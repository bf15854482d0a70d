#include <Host/Generate/Assemblies.h>
#include <Host/Generate/Shapes.h>
#include <Host/Model/Body.h>
#include <Host/Model/Component.h>
#include <Host/Model/Model.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace Host {

namespace {

mat4d Place(double x, double y, double z, double turn = 0) {
    return mat4d::Rotation({0, 1, 0}, turn) * mat4d::Translation({x, y, z});
}

Rgba ColourOf(int i) {
    return {0.35f + 0.5f * float((i * 37) % 11) / 10.0f, 0.35f + 0.5f * float((i * 17) % 7) / 6.0f,
            0.35f + 0.5f * float((i * 7) % 5) / 4.0f, 1.0f};
}

/// About `triangles` triangles of a shape picked by the part's number.
MeshPtr GeneratedPart(int p, int triangles) {
    const float s = 1.f + 0.05f * float(p % 5);
    switch (p % 3) {
    case 0: { // a gear: 8 triangles per profile sample
        const int teeth = 10 + p % 11;
        return Shapes::Gear(teeth, 0.62f * s, 0.75f * s, 0.2f * s, -0.12f, 0.12f, std::max(4, triangles / (8 * teeth)));
    }
    case 1: // a tube: 8 triangles per segment
        return Shapes::Tube(0.7f * s, (0.35f + 0.03f * float(p % 4)) * s, -0.25f, 0.25f, std::max(3, triangles / 8));
    default: { // a torus: 2 triangles per grid cell
        const int minor = std::max(3, int(std::sqrt(triangles / 8.0)));
        return Shapes::Torus(0.55f * s, (0.12f + 0.02f * float(p % 4)) * s, std::max(3, triangles / 2 / minor), minor);
    }
    }
}

bool ParseCount(std::string_view text, long long max, int& out) {
    long long v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < 1 || v > max)
        return false;
    out = int(v);
    return true;
}

} // namespace

bool ParseGenerateSpec(const std::string& text, GenerateSpec& spec, std::string& error) {
    const std::size_t a = text.find(','), b = a == std::string::npos ? a : text.find(',', a + 1);
    GenerateSpec s;
    const std::string_view t(text);
    if (b == std::string::npos || !ParseCount(t.substr(0, a), 100000, s.parts) ||
        !ParseCount(t.substr(a + 1, b - a - 1), 10000000, s.triangles) ||
        !ParseCount(t.substr(b + 1), 1000000, s.instances)) {
        error = "'" + text +
                "' is not PARTS,TRIANGLES,INSTANCES (whole numbers from 1, at most 100000 parts, 10000000 "
                "triangles, 1000000 instances)";
        return false;
    }
    spec = s;
    return true;
}

void GenerateAssembly(Model& model, const GenerateSpec& spec) {
    std::vector<Component*> parts;
    for (int p = 0; p < spec.parts; ++p) {
        Component* c = model.addComponent("Part " + std::to_string(p + 1));
        c->addBody("Body", GeneratedPart(p, spec.triangles), Material{"Generated", 0.7f, 0.7f, 0.72f, 1.f});
        parts.push_back(c);
    }
    const int side = int(std::ceil(std::sqrt(double(spec.instances))));
    for (int i = 0; i < spec.instances; ++i) {
        Instance* inst = model.root().addInstance(*parts[std::size_t(i % spec.parts)],
                                                  Place(2.0 * (i % side), 0, 2.0 * (i / side), 0.37 * i));
        inst->colour(ColourOf(i + 1));
    }
}

void BuildDemoAssembly(Model& model) {
    const Material iron{"Cast iron", 0.42f, 0.47f, 0.53f, 1.f};
    const Material steel{"Steel", 0.78f, 0.79f, 0.81f, 1.f};
    const Material bronze{"Bronze", 0.80f, 0.58f, 0.30f, 1.f};
    const Material orange{"Painted orange", 0.90f, 0.45f, 0.15f, 1.f};
    const Material green{"Painted green", 0.30f, 0.62f, 0.35f, 1.f};
    const Material glass{"Clear cover", 0.62f, 0.78f, 0.95f, 0.28f};

    Component* base = model.addComponent("Base plate");
    base->addBody("Plate", Shapes::Block({1.5f, 0.08f, 1.1f}), iron);
    Component* bolt = model.addComponent("Bolt M12");
    bolt->addBody("Head", Shapes::Hexagon(0.075f, 0.f, 0.06f), steel);
    Component* bearing = model.addComponent("Bearing");
    bearing->addBody("Ring", Shapes::Tube(0.15f, 0.06f, 0.f, 0.12f), bronze);
    Component* shaft = model.addComponent("Shaft");
    shaft->addBody("Shaft", Shapes::Cylinder(0.06f, 0.f, 1.25f, 32), steel);
    shaft->addInstance(*bearing, Place(0, 0.f, 0));
    shaft->addInstance(*bearing, Place(0, 1.0, 0));
    Component* big = model.addComponent("Gear 24");
    big->addBody("Gear", Shapes::Gear(24, 0.40f, 0.47f, 0.06f, -0.06f, 0.06f), orange);
    Component* small = model.addComponent("Gear 12");
    small->addBody("Gear", Shapes::Gear(12, 0.17f, 0.24f, 0.06f, -0.08f, 0.08f), green);
    Component* cover = model.addComponent("Cover");
    cover->addBody("Cover", Shapes::Block({1.4f, 0.55f, 1.0f}), glass);

    Component& root = model.root();
    root.addInstance(*base, Place(0, -0.08, 0));
    for (double x : {-1.3, 0.0, 1.3})
        for (double z : {-0.9, 0.9})
            root.addInstance(*bolt, Place(x, 0, z, 0.3 * x));
    // Three shafts: a gear pair low on the first two, another pair high on the last two.
    const double pitch = 0.435 + 0.205;
    const double ax = -0.75, bx = ax + pitch, cx = bx + pitch * 0.6, cz = pitch * 0.8;
    root.addInstance(*shaft, Place(ax, 0, 0));
    root.addInstance(*shaft, Place(bx, 0, 0));
    root.addInstance(*shaft, Place(cx, 0, cz));
    root.addInstance(*big, Place(ax, 0.35, 0));
    root.addInstance(*small, Place(bx, 0.35, 0, 3.14159265 / 12));
    root.addInstance(*big, Place(bx, 0.8, 0, 0.07));
    root.addInstance(*small, Place(cx, 0.8, cz, 0.1));
    root.addInstance(*cover, Place(0, 0.55, 0));
}

} // namespace Host
