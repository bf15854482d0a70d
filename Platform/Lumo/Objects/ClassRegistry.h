#pragma once
#include <vector>

namespace Lumo::Objects {

class UString;
class IBaseInterface;

/// Records each class's direct base by interned name, as classes name themselves on first
/// use, so that a class-name chain can be read back (for dumps and kind tests).
class ClassRegistry {
public:
    /// Records cls as deriving from base (null for a root) and returns cls.
    static UString* Register(UString* cls, UString* base);
    /// The direct base of cls, or null for a root or an unknown class.
    static UString* BaseOf(UString* cls);
    /// cls, its base, the base's base... up to the root.
    static std::vector<UString*> Chain(UString* cls);
    /// The chain of an object's most derived class.
    static std::vector<UString*> Chain(const IBaseInterface* object);
    /// True when cls is ancestor or ancestor's descendant: ancestor appears in cls's chain.
    static bool DerivesFrom(UString* cls, UString* ancestor);
};

} // namespace Lumo::Objects
