#pragma once
#include <Brio/DataModel/ObjectPath.h>
#include <Brio/DataModel/Selection.h>

#include <functional>

class ZoGeMatrix3d;
class ZoGePoint3d;

namespace Brio {

/// A model object picked, named by its object path from the document's root, with where it was
/// hit when the pick said so.
class LogicalSelection : public Selection {
public:
    /// Makes the selection a path's source wants: the creator is asked with the leaf object
    /// (the source), the path and the selection it came from; an empty answer gives a plain one.
    using Creator = std::function<StrongRef<LogicalSelection>(Object* source, const ObjectPath& path,
                                                              const StrongRef<Selection>& from)>;
    static StrongRef<LogicalSelection> make(const ObjectPath& path);
    static StrongRef<LogicalSelection> make(const ObjectPath& path, const Creator& creator,
                                            const StrongRef<Selection>& from);

    const ObjectPath& path() const { return m_path; }

    /// Where it was hit: a point in the leaf's space and the leaf's local-to-world transform.
    bool hasHitInfo() const { return m_hasHit; }
    const ZoGePoint3d& hitPoint() const;
    const ZoGeMatrix3d& hitTransform() const;
    /// Sets where it was hit; `replace` false keeps hit information already there.
    void hitInfo(const ZoGePoint3d& point, const ZoGeMatrix3d& localToWorld, bool replace);

    void* queryInterface(const UniqueString* id) const override;
    /// "Brio::LogicalSelection".
    static const UniqueString* interfaceId();

protected:
    explicit LogicalSelection(const ObjectPath& path);
    ~LogicalSelection() override;
    /// By path, object by object (identity), then by length.
    int onCompare(const Selection& other) const override;
    StrongRef<Selection> onPop() const override;
    /// Not empty, and no object of the path gone.
    bool onIsValid() const override;

private:
    ObjectPath m_path;
    bool m_hasHit = false;
    struct Hit;
    Hit* m_hit = nullptr;
};

/// What a filter is asked with: a mode number of the host's and a flag the filter may read.
class SelectionFilterContext {
public:
    SelectionFilterContext(int mode, bool flag) : m_mode(mode), m_flag(flag) {}
    int mode() const { return m_mode; }
    bool flag() const { return m_flag; }

private:
    int m_mode;
    bool m_flag;
};

/// Turns a selection into another form (logical to scene and back, say); kinds supply onFilter.
class SelectionFilter {
public:
    virtual ~SelectionFilter();
    /// The filter's answer for the selection; empty when it is off or has none.
    static StrongRef<Selection> filter(SelectionFilter& filter, const StrongRef<Selection>& selection,
                                       const SelectionFilterContext& context);
    virtual bool onIsEnabled(const SelectionFilterContext&) const { return true; }

protected:
    virtual StrongRef<Selection> onFilter(const StrongRef<Selection>& selection,
                                          const SelectionFilterContext& context) = 0;
};

/// A model object that makes its own logical selections (a subclass with more to say).
class ILogicalSelectionSource {
public:
    virtual ~ILogicalSelectionSource();
    StrongRef<LogicalSelection> createLogicalSelection(const ObjectPath& path) {
        return onCreateLogicalSelection(path);
    }
    /// "Brio::ILogicalSelectionSource".
    static const UniqueString* interfaceId();

protected:
    virtual StrongRef<LogicalSelection> onCreateLogicalSelection(const ObjectPath& path) = 0;
};

} // namespace Brio
