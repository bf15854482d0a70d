#pragma once
#include <vector>

namespace Lumo::Objects {

class UString;
class ARefCounted;

/// Keyed attachments: data hung on an object under an interned name. A void attachment
/// is not owned; a counted attachment holds one reference until removed or replaced.
class AAttachable {
public:
    AAttachable() = default;
    AAttachable(const AAttachable&) = delete;
    AAttachable& operator=(const AAttachable&) = delete;
    virtual ~AAttachable();

    /// Attaches data under key, replacing (and releasing) what was there.
    void AddVoidAttachment(UString* key, void* data);
    void AddRefAttachment(UString* key, ARefCounted* object);
    void* GetAttachmentVoidData(UString* key) const;
    ARefCounted* GetRefAttachment(UString* key) const;
    bool HasAttachment(UString* key) const;
    /// Removes the attachment; answers whether there was one.
    bool RemoveAttachment(UString* key);
    /// Removes every attachment, releasing the counted ones.
    void RemoveAllAttachments();
    int AttachmentCount() const { return static_cast<int>(m_entries.size()); }

private:
    struct Entry {
        UString* key;
        void* data;
        ARefCounted* counted;
    };
    void Put(UString* key, void* data, ARefCounted* counted);
    std::vector<Entry> m_entries; // few per object: a linear scan beats a map
};

} // namespace Lumo::Objects
