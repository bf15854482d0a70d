#pragma once
#include <Brio/DataModel/ReaderWriterMutex.h>
#include <Brio/DataModel/ValueMetaType.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

namespace Brio {

class Entity;

/// The persisted members of one entity class: for each, its key, where it sits in the class's
/// member record, its type name and how its value is stored. Filled once, on the first
/// construction of an entity of the class, under mutex(); linked to the member set of the base
/// class, whose members the entity persists too.
class MemberSet {
public:
    struct Member {
        std::string name;     ///< persisted key
        std::size_t offset;   ///< from the start of the member record
        std::string typeName; ///< the field's C++ type, for diagnosis
        const ValueMetaType* valueType;
    };

    MemberSet() = default;
    MemberSet(const MemberSet&) = delete;
    MemberSet& operator=(const MemberSet&) = delete;

    /// Starts filling the set for `className`, with `entity` showing where its member record
    /// lies (Entity::memberRecord); a set without members may pass no entity. Marks the set
    /// initialised. False when it already was.
    bool initialize(Entity* entity, const char* className);
    bool isInitialized() const { return m_initialized.load(std::memory_order_acquire); }
    const std::string& className() const { return m_className; }

    /// Registers a member at `address`, a field of the member record of the entity given to
    /// initialize(). False, registering nothing, before initialize(), for a name already
    /// registered, an address before the record, or no value type.
    bool addNewMember(const char* name, const void* address, const char* typeName, const ValueMetaType* valueType);
    /// The value type follows from T; an enumeration is stored as its 32-bit underlying type,
    /// and `typeName` defaults to the value type's name.
    template <class T> bool addNewMember(const char* name, const T* address, const char* typeName = nullptr);

    std::size_t memberCount() const { return m_members.size(); }
    /// Own members in registration order (not the base set's).
    const std::vector<Member>& members() const { return m_members; }
    const Member* findMember(const std::string& name) const;

    MemberSet* baseMemberSet() const { return m_base; }
    void baseMemberSet(MemberSet* base) { m_base = base; }

    /// Guards initialisation: read to test isInitialized, write to fill the set.
    ReaderWriterMutex& mutex() { return m_mutex; }

private:
    std::atomic<bool> m_initialized{false};
    std::string m_className;
    const void* m_record = nullptr; // record of the initialising entity, while registering
    std::vector<Member> m_members;
    MemberSet* m_base = nullptr;
    ReaderWriterMutex m_mutex;
};

template <class T> bool MemberSet::addNewMember(const char* name, const T* address, const char* typeName) {
    const ValueMetaType* type;
    if constexpr (std::is_enum_v<T>) {
        static_assert(sizeof(T) == 4, "enumerations are stored as 32-bit values");
        type = valueMetaType<
            std::conditional_t<std::is_signed_v<std::underlying_type_t<T>>, std::int32_t, std::uint32_t>>();
    } else {
        type = valueMetaType<T>();
    }
    return addNewMember(name, static_cast<const void*>(address), typeName ? typeName : type->name(), type);
}

} // namespace Brio
