#include <Scene/Environment/Viewport.h>

#include <Brio/Types/BRect.h>

#include <algorithm>
#include <cmath>

namespace Brio::Scene {

namespace {
/// Rounded and clamped to the int range (a wild value must not overflow).
int Pixel(double v) {
    if (!(v == v))
        return 0;
    return int(std::lround(std::clamp(v, -2147483648.0, 2147483647.0)));
}

Brio::BRect Normalised(double x0, double y0, double x1, double y1) {
    return Brio::BRect(Pixel(std::min(x0, x1)), Pixel(std::min(y0, y1)), Pixel(std::max(x0, x1)),
                       Pixel(std::max(y0, y1)));
}
} // namespace

/// The persisted values, in the order they are stored.
struct ViewportMembers {
    Viewport* viewport = nullptr;
    double left = 0.0;
    double right = 1.0;
    double bottom = 0.0;
    double top = 1.0;
    Viewport::ESpace space = Viewport::eRelative;
};

BRIO_SCENE_ENTITY_META_TYPE(Viewport, "ViewportMetaType", Entity::s_metaTypeId, 2)

Viewport::Viewport(Segment* segment) : SceneEntity(segment) {
    members().viewport = this;
}

Viewport::Viewport(Segment* segment, std::uint64_t persistedId) : SceneEntity(segment, persistedId) {
    members().viewport = this;
}

Viewport::~Viewport() = default;

void Viewport::registerMembers(MemberSet& set, ViewportMembers& m) {
    set.addNewMember("left", &m.left);
    set.addNewMember("right", &m.right);
    set.addNewMember("bottom", &m.bottom);
    set.addNewMember("top", &m.top);
    set.addNewMember("space", &m.space, "ESpace");
}

double Viewport::left() const {
    return members().left;
}
void Viewport::left(double v) {
    members().left = v;
}
double Viewport::right() const {
    return members().right;
}
void Viewport::right(double v) {
    members().right = v;
}
double Viewport::bottom() const {
    return members().bottom;
}
void Viewport::bottom(double v) {
    members().bottom = v;
}
double Viewport::top() const {
    return members().top;
}
void Viewport::top(double v) {
    members().top = v;
}
Viewport::ESpace Viewport::space() const {
    return members().space;
}
void Viewport::space(ESpace s) {
    members().space = s;
}

void Viewport::set(double l, double r, double b, double t) {
    left(l);
    right(r);
    bottom(b);
    top(t);
}

void Viewport::set(const Brio::BRect& rect) {
    // Pixel rectangles grow downwards: their top is the smaller y.
    set(rect.left(), rect.right(), std::min(rect.top(), rect.bottom()), std::max(rect.top(), rect.bottom()));
}

void Viewport::get(double& l, double& r, double& b, double& t) const {
    l = left();
    r = right();
    b = bottom();
    t = top();
}

void Viewport::get(Brio::BRect& rect) const {
    rect = Normalised(left(), bottom(), right(), top());
}

Brio::BRect Viewport::windowRect(const Brio::BRect& window) const {
    switch (space()) {
    case eRelative: {
        const double w = window.width(), h = window.height(), x0 = window.left(), y0 = window.top();
        return Normalised(left() * w + x0, bottom() * h + y0, right() * w + x0, top() * h + y0);
    }
    case eAbsolute:
        return Normalised(left(), bottom(), right(), top());
    default:
        return window;
    }
}

} // namespace Brio::Scene
