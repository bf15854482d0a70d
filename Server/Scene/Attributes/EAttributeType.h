#pragma once

namespace Lumo::Scene {

/// Attribute kinds. Values are also bit positions in attribute-set masks, so they stay below 32.
enum EAttributeType : int {
    eVisibility = 0,
    eSelectability = 1,
    eDepthPriority = 2,
    eOpacity = 3,
    eTransform = 4,
    eEffect = 5,
    eLineStyle = 6,
    eBillBoard = 7,
    ePixelScale = 8,
    eCullMode = 9,
    eObjectID = 10,
    eSliceCap = 11,
    eColorHint = 12,
    eThread = 13,
    eGroup = 14,
    eTransparentLayer = 15,
    eOrderInTransparentGroup = 16,
    eDecalGeometry = 17,
};

/// Number of attribute kinds.
constexpr int kAttributeTypeCount = 18;

/// Remove-mask bit meaning "every attribute (and child set) removed".
constexpr unsigned kAllRemovedBit = 1u << 18;
/// Remove mask of a set whose attributes were all removed: every kind plus the all-removed bit.
constexpr unsigned kRemoveAllMask = 0x7FFFFu;

/// Text name of a kind ("eVisibility"...), or null for a value outside the enumeration.
const wchar_t* AttributeTypeName(int type);

} // namespace Lumo::Scene
