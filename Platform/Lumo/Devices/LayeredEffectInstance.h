#pragma once
#include <Lumo/Devices/EffectInstance.h>
#include <Lumo/Objects/ArrayList.h>

namespace Lumo::Devices {

class AVirtualDevice;

/// An instance of "Stock_Layered": the geometry is drawn once per layer, in order, each
/// with its own instance (hidden parts first, back faces first, and the like).
class LayeredEffectInstance : public EffectInstance {
    LUMO_DECLARE_CLASS()
public:
    /// Null unless the effect is "Stock_Layered".
    static LayeredEffectInstance* Make(IRenderEffect* effect);
    static LayeredEffectInstance* Make(AVirtualDevice* device);
    ~LayeredEffectInstance() override;
    /// Clones the layers too.
    LayeredEffectInstance* Clone() const override;

    /// Appends a layer, holding a reference; refuses null and a layer that is (or holds)
    /// this instance, which would draw forever.
    bool AddLayer(EffectInstance* layer);
    int LayerCount() const { return m_layers.Count(); }
    /// Null for a bad index; not counted for the caller.
    EffectInstance* Layer(int index) const;
    void RemoveLayer(int index) { m_layers.RemoveAt(index); }
    void ClearLayers() { m_layers.Clear(); }

    /// Marked, or any layer transparent.
    bool IsTransparent(ADrawContext* dc = nullptr) const override;

protected:
    explicit LayeredEffectInstance(IRenderEffect* effect) : EffectInstance(effect) {}
    LayeredEffectInstance(const LayeredEffectInstance& other);

private:
    bool Holds(const EffectInstance* instance) const;
    Lumo::Objects::_ArrayList<EffectInstance*, Lumo::Objects::RefCountedLifetime> m_layers;
};

} // namespace Lumo::Devices
