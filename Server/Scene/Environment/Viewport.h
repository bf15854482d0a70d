#pragma once
#include <Scene/Foundations/SceneEntity.h>

#include <cstdint>

namespace Brio {
class BRect;
}

namespace Brio::Scene {

struct ViewportMembers;

/// The rectangle of a view, or of a view fragment, within its window: fractions of the
/// window measured from its minimum corner (relative) or window pixels (absolute). A document
/// entity; setters store and announce nothing.
class Viewport : public SceneEntity<Viewport, Entity, ViewportMembers> {
public:
    static constexpr const char* s_metaTypeId = "5F12987F-9901-49FD-A94C-BDB899006790";
    static SceneEntityMetaType* s_metaType();

    enum ESpace : int32_t {
        eRelative = 1,
        eAbsolute = 2, ///< any other value covers the whole window
    };

    // make(segment): relative, the whole window.

    double left() const;
    void left(double v);
    double right() const;
    void right(double v);
    double bottom() const;
    void bottom(double v);
    double top() const;
    void top(double v);
    ESpace space() const;
    void space(ESpace s);

    double width() const { return right() - left(); }
    double height() const { return top() - bottom(); }

    void set(double left, double right, double bottom, double top);
    /// x from the rectangle's left to right, y from its smaller to its larger y.
    void set(const Brio::BRect& rect);
    void get(double& left, double& right, double& bottom, double& top) const;
    /// The normalised rectangle through (left, bottom) and (right, top), rounded to pixels.
    void get(Brio::BRect& rect) const;

    /// The pixels the viewport covers in a window occupying `window`: relative values scale
    /// its size from its minimum corner, absolute ones are taken as they are; any other space
    /// is the whole window. Reversed values still give a normalised rectangle.
    Brio::BRect windowRect(const Brio::BRect& window) const;

protected:
    friend SceneEntity;
    explicit Viewport(Segment* segment);
    Viewport(Segment* segment, std::uint64_t persistedId);
    ~Viewport() override;
    static void registerMembers(MemberSet& set, ViewportMembers& members);
};

} // namespace Brio::Scene
