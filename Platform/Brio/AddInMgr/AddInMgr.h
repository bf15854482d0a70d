#pragma once
#include <memory>
#include <string>
#include <vector>

namespace Brio {

/// The host's registry of add-ins: which are known and which of them are core add-ins, those
/// shipped with the host whose entity kinds count as the host's own. The host registers an
/// add-in when it loads it.
class AddInMgr {
public:
    static AddInMgr& get();

    /// False, changing nothing, for an empty id or one already known.
    bool registerAddIn(const std::string& id, bool core);
    /// False when the id was not known.
    bool unregisterAddIn(const std::string& id);

    bool isKnown(const std::string& id) const;
    /// False for an add-in that is not known.
    bool isCoreAddIn(const std::string& id) const;
    /// Ordered by id.
    std::vector<std::string> addInIds() const;

    AddInMgr(const AddInMgr&) = delete;
    AddInMgr& operator=(const AddInMgr&) = delete;

private:
    AddInMgr();
    ~AddInMgr();
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Brio
