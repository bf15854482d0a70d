#include <Lumo/Objects/AAttachable.h>
#include <Lumo/Objects/ARefCounted.h>

#include <utility>

namespace Lumo::Objects {

AAttachable::~AAttachable() {
    RemoveAllAttachments();
}

void AAttachable::RemoveAllAttachments() {
    std::vector<Entry> entries;
    entries.swap(m_entries);
    for (const Entry& e : entries)
        if (e.counted)
            e.counted->ReleaseRef();
}

void AAttachable::Put(UString* key, void* data, ARefCounted* counted) {
    if (counted)
        counted->AddRef();
    for (Entry& e : m_entries) {
        if (e.key == key) {
            ARefCounted* old = std::exchange(e.counted, counted);
            e.data = data;
            if (old)
                old->ReleaseRef();
            return;
        }
    }
    m_entries.push_back({key, data, counted});
}

void AAttachable::AddVoidAttachment(UString* key, void* data) {
    Put(key, data, nullptr);
}
void AAttachable::AddRefAttachment(UString* key, ARefCounted* object) {
    Put(key, object, object);
}

void* AAttachable::GetAttachmentVoidData(UString* key) const {
    for (const Entry& e : m_entries)
        if (e.key == key)
            return e.data;
    return nullptr;
}

ARefCounted* AAttachable::GetRefAttachment(UString* key) const {
    for (const Entry& e : m_entries)
        if (e.key == key)
            return e.counted;
    return nullptr;
}

bool AAttachable::HasAttachment(UString* key) const {
    for (const Entry& e : m_entries)
        if (e.key == key)
            return true;
    return false;
}

bool AAttachable::RemoveAttachment(UString* key) {
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->key == key) {
            ARefCounted* counted = it->counted;
            m_entries.erase(it);
            if (counted)
                counted->ReleaseRef(); // after erasing: the release may re-enter
            return true;
        }
    }
    return false;
}

} // namespace Lumo::Objects
