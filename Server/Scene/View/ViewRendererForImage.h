#pragma once
#include <Scene/View/ViewRenderer.h>

#include <memory>

namespace Brio::Scene {

class RenderEngine;

/// A view drawn off screen, for pictures and previews. Leaves out fragments named "Autocam"
/// (the view cube and similar on-screen aids).
class ViewRendererForImage : public ViewRenderer {
public:
    explicit ViewRendererForImage(Lumo::Graphics::GroupNode* viewNode);
    ~ViewRendererForImage() override;

    bool excludeViewFragment(Lumo::Graphics::GroupNode* fragmentNode) const override;
    void renderFrame(EInvalidateType type) override;
    Brio::StrongRef<Brio::MemoryImageResource> readImage() override;
    bool writeImage(const std::wstring& path) override;

    RenderEngine& engine() const { return *m_engine; }

private:
    std::unique_ptr<RenderEngine> m_engine;
};

} // namespace Brio::Scene
