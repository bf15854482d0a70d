#pragma once
#include <Brio/Base/RefCounted.h>
#include <Brio/Base/StrongRef.h>

#include <memory>
#include <vector>

namespace Brio::Scene {

class Light;

/// The ordered lights of a view. Lights are shared, not owned: the same light may appear in
/// several lightings, or twice in one.
class Lighting : public Brio::RefCounted {
public:
    static Brio::StrongRef<Lighting> make();
    ~Lighting() override;

    /// Refers to the other's lights, in order; self-assignment does nothing.
    Lighting& operator=(const Lighting& other);

    int lightCount() const;
    /// An empty reference outside 0 .. lightCount() - 1.
    Brio::StrongRef<Light> getLight(int index) const;
    /// Appends; an empty reference is ignored (a renderer could not draw it).
    void addLight(const Brio::StrongRef<Light>& light);
    /// Removes the first entry of that light; nothing when it is absent.
    void removeLight(const Brio::StrongRef<Light>& light);
    void removeAllLights();

protected:
    Lighting();

private:
    /// The persisted values, in the order they are stored.
    struct Members {
        Lighting* lighting;
        std::vector<Brio::StrongRef<Light>> lights;
    };

    std::unique_ptr<Members> m_members;
};

} // namespace Brio::Scene
