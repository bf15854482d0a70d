#pragma once
/// The client-type registry: client types are bits of a 32-bit mask that node data carries
/// (matched by type-specific attribute sets); each bit has a name, and names new to the
/// process get bits of their own.
#include <string>
#include <vector>

namespace Brio::Scene {

/// Client-type bits this library tests.
enum EClientType : unsigned {
    eClientInstance = 0x1,
    eClientComponent = 0x2,
    eClientGrip = 0x4,
    eClientBody = 0x8,
    eClientFaces = 0x10,
    eClientEdges = 0x20,
    eClientFace = 0x40,
    eClientEdge = 0x80,
    eClientMeshBody = 0x4000000,
    eClientMeshFacet = 0x8000000,
};

/// The first bit given to names the process registers itself.
constexpr unsigned kFirstRegisteredClientType = 0x40000000u;

/// The bit of the name, registering it when new; 0 when every registrable bit is taken.
/// Safe from any thread.
unsigned RegisterClientType(const std::wstring& name);
/// Fills names with the names of the mask's set bits, in bit order. With onlyRegistered
/// false every bit is named and the answer is 0; with it true only the registered bits
/// (0x40000000 upward) are named and the answer is the mask without them.
unsigned GetStringsForClientType(unsigned mask, std::vector<std::wstring>& names, bool onlyRegistered);

} // namespace Brio::Scene
