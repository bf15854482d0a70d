#include <Scene/View/ViewRendererForWindow.h>

#include <Scene/Diagnostics/FPSRateMetric.h>
#include <Scene/View/RenderEngine.h>

#include <Brio/Base/MemoryImageResource.h>
#include <Brio/Base/StringConversion.h>

#include <algorithm>

namespace Brio::Scene {

ViewRendererForWindow::ViewRendererForWindow(Lumo::Graphics::GroupNode* viewNode, void* window)
    : ViewRenderer(viewNode), m_window(window), m_engine(std::make_unique<RenderEngine>(*this, window)) {
    m_engine->initialize();
    FPSRateMetric::frameRate().subscribe(this);
    FPSRateMetric::rawFrameRate().subscribe(this);
    FPSRateMetric::frameRate().reset();
    FPSRateMetric::rawFrameRate().reset();
}

ViewRendererForWindow::~ViewRendererForWindow() {
    m_engine->releaseTargets();
    m_engine.reset();
    FPSRateMetric::frameRate().unsubscribe(this);
    FPSRateMetric::rawFrameRate().unsubscribe(this);
}

void ViewRendererForWindow::onMetricChanged(Brio::Metrics::RateMetric&) {}

void ViewRendererForWindow::renderFrame(EInvalidateType type) {
    FPSRateMetric& rate = FPSRateMetric::frameRate();
    FPSRateMetric& raw = FPSRateMetric::rawFrameRate();
    rate.start();
    const bool measureRaw = (type & eInvalidateAll) && !raw.skipped();
    if (measureRaw)
        raw.start();
    m_engine->frame(type);
    rate.stop();
    if (measureRaw)
        raw.stop();
    // Cached frames are cheap by design; only frames drawn in full tell how slow drawing is.
    if (m_engine->cachingLevel() == 0)
        m_engine->lastFrameRate(int(std::max(rate.rate(), rate.windowRate())));
}

Brio::StrongRef<Brio::MemoryImageResource> ViewRendererForWindow::readImage() {
    return m_engine->readImage();
}

bool ViewRendererForWindow::writeImage(const std::wstring& path) {
    return m_engine->writeImage(path);
}

} // namespace Brio::Scene
