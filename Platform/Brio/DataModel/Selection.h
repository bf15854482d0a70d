#pragma once
#include <Brio/Base/StrongRef.h>
#include <Brio/DataModel/Object.h>

#include <map>

namespace Brio {

class UniqueString;

/// Something the user picked. Kinds say what (a model object by its path, a scene node by its
/// node path) and how they order and shorten. A selection may record alternates under keys:
/// the same pick in another form (a logical selection and the scene selection it came from).
class Selection : public Object {
public:
    /// The selection's order among selections of its kind: -1, 0 or 1; 0 across kinds.
    int compare(const Selection& other) const { return onCompare(other); }
    /// The selection of the parent (the path without its leaf), or empty at the top.
    StrongRef<Selection> pop() const { return onPop(); }
    /// Whether what it names still exists.
    bool isValid() const { return onIsValid(); }

    /// The alternate recorded under key, or empty.
    StrongRef<Selection> alternateSelection(const UniqueString* key) const;
    /// Records alternate under key (an empty one removes the record). Every alternate held
    /// before hears of it through onPropagateAlternate, so that the forms stay in step.
    void alternateSelection(const UniqueString* key, const StrongRef<Selection>& alternate);

    void* queryInterface(const UniqueString* id) const override;
    /// "Brio::Selection".
    static const UniqueString* interfaceId();

protected:
    Selection() = default;
    ~Selection() override;
    virtual int onCompare(const Selection&) const { return 0; }
    virtual StrongRef<Selection> onPop() const { return {}; }
    virtual bool onIsValid() const { return true; }
    /// `alternate`, which records this selection, has just recorded `selection` under key.
    virtual void onPropagateAlternate(Selection& selection, const UniqueString* key, Selection& alternate);

private:
    std::map<const UniqueString*, StrongRef<Selection>> m_alternates;
};

} // namespace Brio
