#pragma once
#include <cstdint>

namespace Brio {

/// What changed in a model object, as bits a scene node source is asked to rebuild for.
class DataChange {
public:
    enum EChangeType : std::uint32_t {
        eNoChange = 0,
        eGeometry = 0x1,   ///< shape: tessellation and boxes
        eChildren = 0x2,   ///< the object's children
        eDisplay = 0x4,    ///< display settings other than appearance
        eAppearance = 0x8, ///< colours, materials, visibility
        eAllChanges = 0xFFFF,
    };
    /// How a change came about.
    enum ETransact : int {
        eTransactNone = 0,
        eTransactCreate = 1,
        eTransactModify = 2,
        eTransactDelete = 3,
        eTransactUndo = 4,
        eTransactRedo = 5,
    };

    static void set(EChangeType& types, std::uint32_t bits) { types = EChangeType(types | bits); }
    static bool test(EChangeType types, std::uint32_t bits) { return (types & bits) != 0; }
    static void clear(EChangeType& types, std::uint32_t bits) { types = EChangeType(types & ~bits); }
};

} // namespace Brio
