#include <Scene/Environment/Camera.h>

#include <Brio/Types/BBox.h>
#include <Scene/Environment/CameraEvent.h>
#include <Scene/Environment/CameraEventSource.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Brio::Scene {

namespace {
constexpr double kLens = Camera::s_normalPersLens;
/// Smallest extent a zoom may reach.
constexpr double kMinExtent = 0.01;
/// A parallel camera stays at least extent / this from its target (the value is a float's).
constexpr double kExtentPerDistance = 0.1f;
/// Mouse pixels per half turn.
constexpr double kOrbitPixels = 640.0;
constexpr double kConstrainedOrbitPixels = 320.0;
constexpr double kTiny = 1e-7;

ZoGePoint3d ToPoint(const Brio::Point3f& p) {
    return {p.x, p.y, p.z};
}
} // namespace

/// The persisted values, in the order they are stored.
struct CameraMembers {
    Camera* camera = nullptr;
    ZoGePoint3d position{0.0, 0.0, 1.0};
    ZoGePoint3d target{0.0, 0.0, 0.0};
    ZoGePoint3d pivot{0.0, 0.0, 0.0}; // not persisted
    bool pivotEnabled = false;        // not persisted
    ZoGeVector3d up{0.0, 1.0, 0.0};
    double clipNear = 0.0;
    double clipFar = 2.0;
    double extentsWidth = 10.0;
    double extentsHeight = 10.0;
    Camera::EProjection projection = Camera::eParallel;
};

BRIO_SCENE_ENTITY_META_TYPE(Camera, "CameraMetaType", Entity::s_metaTypeId, 2)

Camera::Camera(Segment* segment) : SceneEntity(segment) {
    members().camera = this;
}

Camera::Camera(Segment* segment, std::uint64_t persistedId) : SceneEntity(segment, persistedId) {
    members().camera = this;
}

Camera::~Camera() = default;

void Camera::registerMembers(MemberSet& set, CameraMembers& m) {
    set.addNewMember("position", &m.position);
    set.addNewMember("target", &m.target);
    set.addNewMember("up", &m.up);
    set.addNewMember("clipNear", &m.clipNear);
    set.addNewMember("clipFar", &m.clipFar);
    set.addNewMember("extentsWidth", &m.extentsWidth);
    set.addNewMember("extentsHeight", &m.extentsHeight);
    set.addNewMember("projection", &m.projection, "EProjection");
}

const ZoGePoint3d& Camera::position() const {
    return members().position;
}
const ZoGePoint3d& Camera::target() const {
    return members().target;
}
const ZoGeVector3d& Camera::up() const {
    return members().up;
}
Camera::EProjection Camera::projection() const {
    return members().projection;
}
const ZoGePoint3d& Camera::pivot() const {
    return members().pivot;
}
void Camera::pivot(const ZoGePoint3d& p) {
    members().pivot = p;
}
bool Camera::pivotEnabled() const {
    return members().pivotEnabled;
}
void Camera::pivotEnabled(bool on) {
    members().pivotEnabled = on;
}
double Camera::clipNear() const {
    return members().clipNear;
}
void Camera::clipNear(double d) {
    members().clipNear = d;
}
double Camera::clipFar() const {
    return members().clipFar;
}
void Camera::clipFar(double d) {
    members().clipFar = d;
}
double Camera::extentsWidth() const {
    return members().extentsWidth;
}
void Camera::extentsWidth(double w) {
    members().extentsWidth = w;
}
double Camera::extentsHeight() const {
    return members().extentsHeight;
}
void Camera::extentsHeight(double h) {
    members().extentsHeight = h;
}

Camera& Camera::operator=(const Camera& other) {
    projection(other.projection());
    position(other.position());
    target(other.target());
    up(other.up());
    clipNear(other.clipNear());
    clipFar(other.clipFar());
    extentsWidth(other.extentsWidth());
    extentsHeight(other.extentsHeight());
    return *this;
}

void Camera::fire(int change) {
    CameraEvent event(this, CameraEvent::EChange(change), 0);
    CameraEventSource::get()->fireCameraChanged(&event);
}

void Camera::position(const ZoGePoint3d& p) {
    members().position = p;
    fire(CameraEvent::eMoved);
}

void Camera::target(const ZoGePoint3d& p) {
    members().target = p;
    fire(CameraEvent::eMoved);
}

void Camera::up(const ZoGeVector3d& v) {
    members().up = v;
    fire(CameraEvent::eMoved);
}

void Camera::projection(EProjection p) {
    members().projection = p;
    fire(CameraEvent::eProjectionChanged);
}

ZoGeVector3d Camera::direction() const {
    ZoGeVector3d d = target() - position();
    if (d.isZeroLength())
        return {};
    return d.normal();
}

ZoGeVector3d Camera::right() const {
    return direction().crossProduct(up()).normal();
}

ZoGeMatrix3d Camera::getViewMatrix() const {
    if (projection() == eNoProjection)
        return {};
    // A degenerate camera still gets a usable frame: eye and target together look down -z,
    // an up vector along the view takes any perpendicular.
    ZoGeVector3d d = direction();
    if (d.isZeroLength())
        d = -ZoGeVector3d::kZAxis;
    ZoGeVector3d r = d.crossProduct(up());
    if (r.isZeroLength())
        r = d.crossProduct(d.perpVector());
    r.normalize();
    const ZoGeVector3d u = r.crossProduct(d);
    // The inverse of the eye's frame (origin at the eye, axes r, u, -d): its rows are the axes.
    const ZoGeVector3d axes[3] = {r, u, -d};
    const ZoGeVector3d eye = position().asVector();
    ZoGeMatrix3d m;
    for (int i = 0; i < 3; ++i) {
        m.entry[i][0] = axes[i].x;
        m.entry[i][1] = axes[i].y;
        m.entry[i][2] = axes[i].z;
        m.entry[i][3] = -axes[i].dotProduct(eye);
    }
    return m;
}

void Camera::effectiveClip(double& n, double& f) const {
    n = clipNear();
    f = clipFar();
    if (std::abs(n - f) < 1e-5) {
        n = 1.0;
        f = -1.0;
    }
}

ZoGeMatrix3d Camera::getProjectionMatrix(double aspect) const {
    ZoGeMatrix3d m;
    if (projection() == eNoProjection)
        return m;
    double h = extentsHeight() == 0.0 ? 1.0 : extentsHeight();
    double w = extentsWidth();
    const double a = aspect == 0.0 ? 1.0 : aspect;
    if (w / h > a)
        h = w / a;
    else
        w = h * a;
    double n, f;
    effectiveClip(n, f);
    if (projection() != eParallel) {
        m.entry[1][1] = 2.0 / h;
        m.entry[0][0] = (2.0 / h) / a;
        const double c = 1.0 / (f - n);
        m.entry[2][2] = -(c * f);
        m.entry[2][3] = -(f * n) * c;
        m.entry[3][2] = -1.0;
        m.entry[3][3] = 0.0;
    } else {
        m.entry[0][0] = 2.0 / w;
        m.entry[1][1] = 2.0 / h;
        m.entry[2][2] = 1.0 / (n - f);
        m.entry[2][3] = n / (n - f);
    }
    return m;
}

Lumo::Objects::mat4<double> Camera::viewMatrixRHToLH(const ZoGeMatrix3d& view) {
    Lumo::Objects::mat4<double> r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = view.entry[j][i];
    // Eye z flips: the device's eye looks along +z.
    for (int i = 0; i < 4; ++i)
        r.m[i][2] = -r.m[i][2];
    return r;
}

Lumo::Objects::mat4<double> Camera::projMatrixRHToLH(const ZoGeMatrix3d& projection) {
    Lumo::Objects::mat4<double> r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = projection.entry[j][i];
    // Takes the flipped eye z back, so that view * projection is unchanged.
    for (int j = 0; j < 4; ++j)
        r.m[2][j] = -r.m[2][j];
    return r;
}

Lumo::Objects::mat4<double> Camera::getDeviceViewMatrix() const {
    if (projection() == eNoProjection)
        return {};
    return viewMatrixRHToLH(getViewMatrix());
}

Lumo::Objects::mat4<double> Camera::getDeviceProjectionMatrix(double aspect) const {
    if (projection() == eNoProjection)
        return {};
    return projMatrixRHToLH(getProjectionMatrix(aspect));
}

void Camera::toggleProjection(EProjection p) {
    const EProjection current = projection();
    if (p == current)
        return;
    if (current == ePerspective && p == eParallel) {
        const double extent = kLens * position().distanceTo(target());
        extentsWidth(extent);
        extentsHeight(extent);
        members().projection = eParallel;
    } else if (current == eParallel && p == ePerspective) {
        const double distance = std::max(extentsWidth(), extentsHeight()) / kLens;
        position(target() - (target() - position()).normal() * distance);
        extentsWidth(kLens);
        extentsHeight(kLens);
        members().projection = ePerspective;
    }
    fire(CameraEvent::eProjectionChanged);
}

void Camera::zoom(double factor) {
    if (std::isfinite(factor))
        zoomBy(factor, ZoGeVector3d());
}

void Camera::zoom(double factor, const ZoGePoint3d& about) {
    if (!std::isfinite(factor))
        return;
    // Where `about` lies on the target's depth plane, on the same screen spot.
    const double distance = (target() - position()).length();
    const ZoGeMatrix3d view = getViewMatrix(), proj = getProjectionMatrix(1.0);
    ZoGePoint3d s = proj * (view * about);
    double n, f;
    effectiveClip(n, f); // the raw range would divide by zero when it has collapsed
    s.z = (distance - n) / (f - n);
    ZoGeMatrix3d invView, invProj;
    ZoGeVector3d offset;
    if (view.inverse(invView) && proj.inverse(invProj)) {
        const ZoGePoint3d back = invView * (invProj * s);
        offset = (back - target()) * (1.0 - factor);
    }

    zoomBy(factor, offset);
}

void Camera::zoomBy(double factor, const ZoGeVector3d& offset) {
    double d = factor * (target() - position()).length();
    if (projection() != ePerspective) {
        const double w = extentsWidth() * factor, h = extentsHeight() * factor;
        if (w < kMinExtent || h < kMinExtent)
            return;
        extentsWidth(w);
        extentsHeight(h);
        dolly(offset);
        d = std::max(d, std::max(w, h) / kExtentPerDistance);
    } else {
        if (extentsWidth() * d < kMinExtent || extentsHeight() * d < kMinExtent)
            return;
        dolly(offset);
    }
    position(target() - direction() * d);
    fire(CameraEvent::eZoomed);
}

void Camera::dolly(const ZoGeVector3d& offset) {
    position(position() + offset);
    target(target() + offset);
}

void Camera::yaw(double angle) {
    ZoGePoint3d p = position();
    p.rotateBy(angle, up(), target());
    position(p);
}

void Camera::rotateAboutTarget(double angle, const ZoGeVector3d& axis) {
    ZoGePoint3d p = position();
    p.rotateBy(angle, axis, target());
    ZoGeVector3d u = up();
    u.rotateBy(angle, axis).normalize();
    position(p);
    up(u);
}

void Camera::pitch(double angle) {
    rotateAboutTarget(angle, right());
}

void Camera::roll(double angle) {
    rotateAboutTarget(angle, direction());
}

void Camera::roll(double angle, ZoGePoint3d centre) {
    const ZoGeVector3d offset = centre - target();
    position(position() + offset);
    target(target() + offset);
    const ZoGeVector3d axis = direction();
    ZoGePoint3d p = position();
    p.rotateBy(angle, axis, centre);
    ZoGeVector3d u = up();
    u.rotateBy(angle, axis).normalize();
    position(p);
    up(u);
    position(position() - offset);
    target(target() - offset);
}

void Camera::orbit(double dx, double dy) {
    const double a = dx / kOrbitPixels * std::numbers::pi, b = dy / kOrbitPixels * std::numbers::pi;
    if (a != 0.0)
        yaw(-a);
    if (b != 0.0)
        pitch(b);
    fire(CameraEvent::eMoved);
}

void Camera::orbitAroundPivot(double dx, double dy) {
    const double a = dx / kOrbitPixels * std::numbers::pi, b = dy / kOrbitPixels * std::numbers::pi;
    const bool aboutPivot = pivotEnabled();
    const ZoGePoint3d oldTarget = target(), p = pivot();
    const ZoGeVector3d oldUp = up();
    if (aboutPivot) {
        const ZoGeVector3d toPivot = p - target();
        position(position() + toPivot);
        target(target() + toPivot);
    }
    if (a != 0.0)
        yaw(-a);
    if (b != 0.0)
        pitch(b);
    if (aboutPivot) {
        // Carry the old target through the same turns about the pivot and look at it again.
        ZoGePoint3d t = oldTarget;
        if (a != 0.0)
            t.rotateBy(-a, oldUp, p);
        if (b != 0.0)
            t.rotateBy(b, right(), p);
        const ZoGeVector3d back = t - p;
        position(position() + back);
        target(target() + back);
    }
}

void Camera::constrainedOrbit(double angle, bool keepSide, ZoGeVector3d axis, ZoGePoint3d centre) {
    ZoGeVector3d d = (target() - position()).normal();
    const ZoGeVector3d u = up();
    if (axis.dotProduct(u) < 0.0)
        axis = -axis;
    ZoGeVector3d r = d.crossProduct(axis);
    if (r.length() < kTiny) {
        axis = u;
        r = d.crossProduct(axis);
        if (r.length() < kTiny)
            return;
    }

    const double turn = angle / kConstrainedOrbitPixels * std::numbers::pi;
    ZoGePoint3d p = position();
    p.rotateBy(turn, axis, centre);
    ZoGePoint3d t = target();
    if (!t.isEqualTo(centre))
        t.rotateBy(turn, axis, centre);

    d = t - p;
    if (d.length() >= kTiny)
        d.normalize();
    if (keepSide && r.crossProduct(d).normal().dotProduct(axis) < 0.0)
        axis = -axis;
    ZoGeVector3d newRight = d.crossProduct(axis);
    if (newRight.length() < kTiny)
        return;
    newRight.normalize();
    ZoGeVector3d newUp = newRight.crossProduct(d);
    if (newUp.length() < kTiny)
        return;
    newUp.normalize();

    position(p);
    up(newUp);
    target(t);
    fire(CameraEvent::eMoved);
}

void Camera::fit(const Brio::BBox& box) {
    if (box.isEmpty())
        return;
    ZoGePoint3d lo = ToPoint(box.min()), hi = ToPoint(box.max());
    const double grow = 0.025 * (hi - lo).length();
    lo -= ZoGeVector3d(grow, grow, grow);
    hi += ZoGeVector3d(grow, grow, grow);
    const ZoGePoint3d centre = lo + (hi - lo) * 0.5;

    const ZoGeVector3d toCentre = centre - target();
    position(position() + toCentre);
    target(target() + toCentre);

    const ZoGeMatrix3d view = getViewMatrix();
    double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
    for (int i = 0; i < 8; ++i) {
        const ZoGePoint3d corner = view * ZoGePoint3d(i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z);
        minX = std::min(minX, corner.x);
        maxX = std::max(maxX, corner.x);
        minY = std::min(minY, corner.y);
        maxY = std::max(maxY, corner.y);
    }
    const double sx = maxX - minX, sy = maxY - minY;
    // A single point has no size to fit: it is only centred, so the camera keeps its distance
    // and extents instead of collapsing onto its target.
    if (sx > 0.0 || sy > 0.0) {
        const double distance = std::max(sy, sx) / kLens;
        position(target() - direction() * distance);
        if (projection() == ePerspective) {
            extentsWidth(kLens);
            extentsHeight(kLens);
        } else if (projection() == eParallel) {
            extentsWidth(sx);
            extentsHeight(sy);
        }
    }
    pivotEnabled(false);
}

} // namespace Brio::Scene
