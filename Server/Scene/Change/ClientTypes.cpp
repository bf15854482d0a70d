#include <Scene/Change/ClientTypes.h>
#include <Scene/Foundations/AddInStaticInternal.h>

#include <tbb/spin_rw_mutex.h>

#include <unordered_map>

namespace Brio::Scene {

namespace {

/// Names to bits and bits to names, with readers sharing the lock.
class ClientTypeRegistry {
public:
    static ClientTypeRegistry& Get() {
        static AddInStatic<ClientTypeRegistry> registry; // outlives static users
        return *registry;
    }

    unsigned Register(const std::wstring& name) {
        tbb::spin_rw_mutex::scoped_lock lock(m_mutex, false);
        if (auto it = m_bits.find(name); it != m_bits.end())
            return it->second;
        // A miss: upgrade, and look again in case another writer got in first.
        lock.upgrade_to_writer();
        if (auto it = m_bits.find(name); it != m_bits.end())
            return it->second;
        if (m_next == 0)
            return 0; // no bit left: the name stays unregistered rather than sharing a bit
        unsigned bit = m_next;
        m_next = bit == 0x80000000u ? 0u : bit << 1;
        Add(bit, name);
        return bit;
    }

    unsigned Names(unsigned mask, std::vector<std::wstring>& names, bool onlyRegistered) {
        names.clear();
        tbb::spin_rw_mutex::scoped_lock lock(m_mutex, false);
        for (int b = 0; b < 32; ++b) {
            unsigned bit = 1u << b;
            if (!(mask & bit) || (onlyRegistered && bit < kFirstRegisteredClientType))
                continue;
            if (auto it = m_names.find(bit); it != m_names.end())
                names.push_back(it->second);
        }
        return onlyRegistered ? mask & (kFirstRegisteredClientType - 1) : 0u;
    }

private:
    friend class AddInStatic<ClientTypeRegistry>;
    ClientTypeRegistry() {
        static const struct {
            unsigned bit;
            const wchar_t* name;
        } known[] = {
            {0x1, L"Instance"},
            {0x2, L"Component"},
            {0x4, L"Grip"},
            {0x8, L"Body"},
            {0x10, L"Faces"},
            {0x20, L"Edges"},
            {0x40, L"Face"},
            {0x80, L"Edge"},
            {0x100, L"StartVertex"},
            {0x200, L"EndVertex"},
            {0x800, L"Sketch2D"},
            {0x1000, L"SketchCurve"},
            {0x2000, L"Manipulator"},
            {0x10000, L"Sketch3D"},
            {0x20000, L"ProfileFace"},
            {0x40000, L"ProfileEdge"},
            {0x80000, L"SketchDimension"},
            {0x100000, L"SketchConstraint"},
            {0x200000, L"DecalClientType"},
            {0x400000, L"CanvaslClientType"},
            {0x800000, L"eVisualAnalysisClientType"},
            {0x1000000, L"WorkGeometryClientType"},
            {0x2000000, L"JointClientType"},
            {0x4000000, L"MeshBody"},
            {0x8000000, L"MeshFacet"},
            {0x10000000, L"MeshWire"},
        };
        for (const auto& k : known)
            Add(k.bit, k.name);
    }

    void Add(unsigned bit, const std::wstring& name) {
        m_bits.emplace(name, bit);
        m_names.emplace(bit, name);
    }

    tbb::spin_rw_mutex m_mutex;
    std::unordered_map<std::wstring, unsigned> m_bits;
    std::unordered_map<unsigned, std::wstring> m_names;
    unsigned m_next = kFirstRegisteredClientType;
};

} // namespace

unsigned RegisterClientType(const std::wstring& name) {
    return ClientTypeRegistry::Get().Register(name);
}

unsigned GetStringsForClientType(unsigned mask, std::vector<std::wstring>& names, bool onlyRegistered) {
    return ClientTypeRegistry::Get().Names(mask, names, onlyRegistered);
}

} // namespace Brio::Scene
