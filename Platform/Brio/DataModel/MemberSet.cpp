#include <Brio/DataModel/MemberSet.h>

#include <Brio/DataModel/Entity.h>

namespace Brio {

bool MemberSet::initialize(Entity* entity, const char* className) {
    if (isInitialized())
        return false;
    m_className = className ? className : "";
    m_record = entity ? entity->memberRecord(this) : nullptr;
    m_initialized.store(true, std::memory_order_release);
    return true;
}

bool MemberSet::addNewMember(const char* name, const void* address, const char* typeName,
                             const ValueMetaType* valueType) {
    if (!isInitialized() || !name || !*name || !valueType || !m_record || !address ||
        static_cast<const char*>(address) < static_cast<const char*>(m_record) || findMember(name))
        return false;
    const auto offset =
        static_cast<std::size_t>(static_cast<const char*>(address) - static_cast<const char*>(m_record));
    m_members.push_back(Member{name, offset, typeName ? typeName : valueType->name(), valueType});
    return true;
}

const MemberSet::Member* MemberSet::findMember(const std::string& name) const {
    for (const Member& member : m_members)
        if (member.name == name)
            return &member;
    return nullptr;
}

} // namespace Brio
