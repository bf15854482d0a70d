#pragma once
#include <Brio/AddInMgr/IAddIn.h>

namespace Brio {

/// An add-in that runs inside the host's server side and answers interface queries, so the
/// host can ask a loaded add-in what more it offers.
class IServerAddIn : public IAddIn {
public:
    /// The id of the interface this object presents: "Brio::IServerAddIn" unless a kind says
    /// otherwise.
    virtual const UniqueString* getInterfaceId() const;
    /// This object as the interface of that id (IServerAddIn or IAddIn, or a kind's own), or
    /// null for an id it does not know.
    virtual void* queryInterface(const UniqueString* id);

    /// "Brio::IServerAddIn".
    static const UniqueString* interfaceId();

protected:
    IServerAddIn() = default;
    ~IServerAddIn() = default;
};

} // namespace Brio
