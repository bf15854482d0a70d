#pragma once
#include <Brio/Base/RefCounted.h>
#include <Brio/Base/StrongRef.h>

#include <cstdint>
#include <memory>

namespace Brio { class BRect; }

namespace Brio::Scene {

/// The rectangle of a view, or of a view fragment, within its window: fractions of the
/// window measured from its minimum corner (relative) or window pixels (absolute).
class Viewport : public Brio::RefCounted {
public:
    enum ESpace : int32_t {
        eRelative = 1,
        eAbsolute = 2, ///< any other value covers the whole window
    };

    /// Relative, the whole window.
    static Brio::StrongRef<Viewport> make();
    ~Viewport() override;

    double left() const { return m_members->left; }
    void left(double v) { m_members->left = v; }
    double right() const { return m_members->right; }
    void right(double v) { m_members->right = v; }
    double bottom() const { return m_members->bottom; }
    void bottom(double v) { m_members->bottom = v; }
    double top() const { return m_members->top; }
    void top(double v) { m_members->top = v; }
    ESpace space() const { return m_members->space; }
    void space(ESpace s) { m_members->space = s; }

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
    Viewport();

private:
    /// The persisted values, in the order they are stored.
    struct Members {
        Viewport* viewport;
        double left = 0.0;
        double right = 1.0;
        double bottom = 0.0;
        double top = 1.0;
        ESpace space = eRelative;
    };

    std::unique_ptr<Members> m_members;
};

} // namespace Brio::Scene
