#pragma once
#include <Lumo/Objects/HeapOperators.h>
#include <Lumo/Objects/IBaseInterface.h>

#include <atomic>

namespace Lumo::Objects {

/// Intrusive reference counting shared by every graphics object. An object is born with
/// a count of 0; holders AddRef and ReleaseRef; the last release deletes it.
class ARefCounted : public IBaseInterface, public HeapOperators {
public:
    ~ARefCounted() override;

    void* GetInterface(UString* name) override;
    UString* ClassName() const override;
    /// Destroys the object; called by the last ReleaseRef.
    virtual void Delete();
    virtual int AddRef();
    virtual int ReleaseRef();
    virtual void RefCount(int count);
    virtual int RefCount() const;
    /// Live objects of the most derived counted class.
    virtual int CurObjectCount() const;

    static UString* StaticClassName();
    /// Live ARefCounted objects of every kind.
    static int NetObjectCount();

protected:
    ARefCounted();
    ARefCounted(const ARefCounted&);
    ARefCounted& operator=(const ARefCounted&) { return *this; } // the count is per object

private:
    std::atomic<int> m_refCount{0};
};

} // namespace Lumo::Objects
