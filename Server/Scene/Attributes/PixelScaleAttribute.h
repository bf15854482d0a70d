#pragma once
#include <Scene/Attributes/Attribute.h>

namespace Lumo::Scene {

/// Keeps the subgraph at a constant size on screen: a model-space size is drawn as the
/// screen-space size, scaled about the centre.
class PixelScaleAttribute : public Attribute, public NetObjectCountImpl<PixelScaleAttribute> {
    LUMO_SCENE_CLASS(PixelScaleAttribute)
public:
    static PixelScaleAttribute* Make(double screenSpaceSize, double modelSpaceSize,
                                     const Lumo::Objects::vec3<float>& scaleCenter, bool winTies = false,
                                     unsigned char priority = 0);
    EAttributeType Type() const override { return ePixelScale; }
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::KString ToString() const override;
    double GetScreenSpaceSize() const { return m_screenSpaceSize; }
    double GetModelSpaceSize() const { return m_modelSpaceSize; }
    const Lumo::Objects::vec3<float>& GetScaleCenter() const { return m_scaleCenter; }

protected:
    PixelScaleAttribute(double screenSpaceSize, double modelSpaceSize, const Lumo::Objects::vec3<float>& scaleCenter,
                        bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_screenSpaceSize(screenSpaceSize), m_modelSpaceSize(modelSpaceSize),
          m_scaleCenter(scaleCenter) {}
    void ScreenSpaceSize(double size) { m_screenSpaceSize = size; }
    void ModelSpaceSize(double size) { m_modelSpaceSize = size; }
    void ScaleCenter(const Lumo::Objects::vec3<float>& center) { m_scaleCenter = center; }

private:
    double m_screenSpaceSize;
    double m_modelSpaceSize;
    Lumo::Objects::vec3<float> m_scaleCenter;
};

} // namespace Lumo::Scene
