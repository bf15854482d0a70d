#pragma once

namespace Brio {

/// Per-entity scratch state that an entity class keeps while it is migrated from an older
/// version; entity classes derive their own.
class MigrationHelper {
public:
    virtual ~MigrationHelper();
};

} // namespace Brio
