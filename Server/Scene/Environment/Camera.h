#pragma once
#include <Lumo/Objects/Mat4.h>
#include <Scene/Foundations/SceneEntity.h>
#include <ZoGe/ZoGeMatrix3d.h>
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

#include <cstdint>

namespace Brio {
class BBox;
}

namespace Brio::Scene {

class CameraEvent;
struct CameraMembers;

/// The camera of a view: eye, target, up, clip range, view extents and projection. Its view
/// and projection matrices are right-handed and act on column vectors, like the rest of the
/// host's geometry (the eye looks along -z; depth runs 0 at the near plane to 1 at the far
/// one); the device forms convert them for the graphics system. Every change of eye, target,
/// up or projection is announced through CameraEventSource. A document entity.
class Camera : public SceneEntity<Camera, Entity, CameraMembers> {
public:
    static constexpr const char* s_metaTypeId = "736DEAAF-2425-405E-B871-003AAB726295";
    static SceneEntityMetaType* s_metaType();

    enum EProjection : int32_t {
        eParallel = 1,
        ePerspective = 2,
        eNoProjection = 3, ///< view and projection are the identity
    };

    /// The extents a perspective camera has per unit of distance to its target.
    static constexpr float s_normalPersLens = 0.6f;

    // make(segment): a camera looking from (0, 0, 1) at the origin, up +y, parallel,
    // extents 10 x 10.

    /// Copies projection, position, target, up, clip range and extents through the setters
    /// (so the usual events fire); the pivot stays as it is.
    Camera& operator=(const Camera& other);

    const ZoGePoint3d& position() const;
    void position(const ZoGePoint3d& p);
    const ZoGePoint3d& target() const;
    void target(const ZoGePoint3d& p);
    const ZoGeVector3d& up() const;
    void up(const ZoGeVector3d& v);
    EProjection projection() const;
    void projection(EProjection p);
    // Setters below fire nothing.
    const ZoGePoint3d& pivot() const;
    void pivot(const ZoGePoint3d& p);
    bool pivotEnabled() const;
    void pivotEnabled(bool on);
    double clipNear() const;
    void clipNear(double d);
    double clipFar() const;
    void clipFar(double d);
    double extentsWidth() const;
    void extentsWidth(double w);
    double extentsHeight() const;
    void extentsHeight(double h);

    /// Unit vector from position to target; zero when they coincide.
    ZoGeVector3d direction() const;
    /// Unit vector direction x up (screen right).
    ZoGeVector3d right() const;

    /// World to eye space.
    ZoGeMatrix3d getViewMatrix() const;
    /// Eye space to normalised device space for a viewport of the given width / height
    /// (0 counts as 1). The extents are widened in one direction to fit the aspect.
    ZoGeMatrix3d getProjectionMatrix(double aspect) const;
    /// The same matrices in the graphics system's form: row vectors, left-handed eye space
    /// (looking along +z, w = eye depth). Their product maps points exactly as the
    /// right-handed pair does.
    Lumo::Objects::mat4<double> getDeviceViewMatrix() const;
    Lumo::Objects::mat4<double> getDeviceProjectionMatrix(double aspect) const;
    static Lumo::Objects::mat4<double> viewMatrixRHToLH(const ZoGeMatrix3d& view);
    static Lumo::Objects::mat4<double> projMatrixRHToLH(const ZoGeMatrix3d& projection);

    /// Switches between parallel and perspective keeping the apparent size of what is at the
    /// target; any change of projection is announced, even one between other kinds.
    void toggleProjection(EProjection p);
    /// Scales the view by `factor` (below 1 moves closer). Refused when the extents would fall
    /// below 0.01.
    void zoom(double factor);
    /// The same keeping the point under `about` in place on screen.
    void zoom(double factor, const ZoGePoint3d& about);
    /// Moves eye and target together.
    void dolly(const ZoGeVector3d& offset);
    /// Turns the eye about the up vector through the target (radians).
    void yaw(double angle);
    /// Turns the eye and the up vector about right() through the target.
    void pitch(double angle);
    /// Turns the up vector about the view direction.
    void roll(double angle);
    void roll(double angle, ZoGePoint3d centre);
    /// Orbits the target by mouse deltas in pixels (640 pixels make half a turn).
    void orbit(double dx, double dy);
    /// Orbits about the pivot when it is enabled, else like orbit (without its last event).
    void orbitAroundPivot(double dx, double dy);
    /// Turns eye and target by angle / 320 half turns about `axis` through `centre`,
    /// keeping the axis upright on screen; with `keepSide` the camera does not flip over.
    void constrainedOrbit(double angle, bool keepSide, ZoGeVector3d axis, ZoGePoint3d centre);
    /// Looks at the whole box from the current direction; nothing for an empty box.
    void fit(const Brio::BBox& box);

protected:
    friend SceneEntity;
    explicit Camera(Segment* segment);
    Camera(Segment* segment, std::uint64_t persistedId);
    ~Camera() override;
    static void registerMembers(MemberSet& set, CameraMembers& members);

private:
    void fire(int change);
    /// Turns the eye and the up vector about an axis through the target.
    void rotateAboutTarget(double angle, const ZoGeVector3d& axis);
    /// Zoom by `factor` after moving eye and target by `offset`.
    void zoomBy(double factor, const ZoGeVector3d& offset);
    /// Clip distances as the projection uses them (a collapsed range becomes 1 .. -1).
    void effectiveClip(double& n, double& f) const;
};

} // namespace Brio::Scene
