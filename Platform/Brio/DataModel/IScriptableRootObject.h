#pragma once
#include <string>
#include <vector>

namespace Brio {

class UniqueString;

/// What the host's scripts start from in a document: an object answering this interface
/// (an add-in's asset adapter, say) offers the objects it holds under names. Scripts pass
/// arbitrary text, so looking a name up must not intern it.
class IScriptableRootObject {
public:
    /// "Brio::IScriptableRootObject".
    static const UniqueString* interfaceId();

    /// The names scripts may ask for, in a stable order.
    virtual std::vector<std::wstring> scriptObjectNames() const = 0;
    /// The object held under `name` (UTF-8), or null; its type is the root's to document.
    virtual void* scriptObject(const std::string& name) const = 0;

protected:
    virtual ~IScriptableRootObject() = default;
};

} // namespace Brio
