#pragma once
#include <Brio/Base/IMetricObserver.h>
#include <Scene/View/ViewRenderer.h>

#include <memory>

namespace Brio::Scene {

class RenderEngine;

/// A view drawn into a window (on X11 the handle is the window's id). Measures its frame rate,
/// which drives caching when frames get slow.
class ViewRendererForWindow : public ViewRenderer, public Brio::Metrics::IMetricObserver {
public:
    ViewRendererForWindow(Lumo::Graphics::GroupNode* viewNode, void* window);
    ~ViewRendererForWindow() override;

    void renderFrame(EInvalidateType type) override;
    Brio::StrongRef<Brio::MemoryImageResource> readImage() override;
    bool writeImage(const std::wstring& path) override;
    void onMetricChanged(Brio::Metrics::RateMetric& metric) override;

    void* window() const { return m_window; }
    RenderEngine& engine() const { return *m_engine; }

private:
    void* m_window;
    std::unique_ptr<RenderEngine> m_engine;
};

} // namespace Brio::Scene
