#pragma once

namespace Lumo::Devices {

/// What a drawing backend keeps for one device resource (buffer names, program handles).
/// The resource owns it and deletes it with itself, so the backend's objects never outlive
/// the data they were made from.
class ABackendData {
public:
    virtual ~ABackendData() = default;
};

} // namespace Lumo::Devices
