// The sample host's render path: one view of one fragment showing the document's model, drawn by
// the scene library's image renderer, as a host sets a view up.
#include <Host/Document/Render.h>

#include <Brio/Brio.h>
#include <Host/Document/Document.h>
#include <Host/Model/Model.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Scene.h>
#include <ZoGe/ZoGe.h>

#include <chrono>
#include <filesystem>
#include <map>

namespace Host {

using Lumo::Objects::AutoPtr;

int VisualStyleOf(const std::string& name) {
    static const std::map<std::string, int> names{{"shaded", 0}, {"edges", 2}, {"hidden", 4}};
    if (auto it = names.find(name); it != names.end())
        return it->second;
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '6')
        return name[0] - '0';
    return -1;
}

bool AimCamera(Document& doc, const std::string& view) {
    static const std::map<std::string, ZoGeVector3d> directions{
        {"iso", {0.55, 0.75, 1.0}}, {"front", {0, 0, 1}}, {"back", {0, 0, -1}},   {"left", {-1, 0, 0}},
        {"right", {1, 0, 0}},       {"top", {0, 1, 0}},   {"bottom", {0, -1, 0}},
    };
    auto it = directions.find(view);
    if (it == directions.end())
        return false;
    double lo[3] = {-1, -1, -1}, hi[3] = {1, 1, 1};
    doc.model().bounds(lo, hi);
    const ZoGePoint3d centre((lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2);
    const double radius = std::max(1e-6, ZoGeVector3d(hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]).length() / 2);
    Brio::Scene::Camera& camera = doc.camera();
    camera.projection(Brio::Scene::Camera::ePerspective);
    camera.target(centre);
    camera.position(centre + it->second.normal() * (radius * 2.5));
    // Looking straight down or up, the screen's up is the model's -z or +z.
    camera.up(std::abs(it->second.y) > 0.99 ? ZoGeVector3d(0, 0, -it->second.y) : ZoGeVector3d(0, 1, 0));
    camera.fit(Brio::BBox(Brio::Point3f(float(lo[0]), float(lo[1]), float(lo[2])),
                          Brio::Point3f(float(hi[0]), float(hi[1]), float(hi[2]))));
    // A perspective fit frames the box at its centre; stepping back by half its depth along the
    // view keeps its near side in the picture too, with a margin.
    const ZoGeVector3d d = camera.direction();
    const double depth =
        std::abs(d.x) * (hi[0] - lo[0]) + std::abs(d.y) * (hi[1] - lo[1]) + std::abs(d.z) * (hi[2] - lo[2]);
    const double distance = (camera.position() - camera.target()).length();
    camera.position(camera.target() - d * (0.9 * distance + 0.5 * depth));
    return true;
}

bool RenderDocument(Document& doc, const RenderOptions& o, std::string& error, RenderReport* report) {
    using namespace Brio::Scene;
    const auto start = std::chrono::steady_clock::now();
    Provider::provider()->initialize();

    // This run's look; the user's saved preferences are not written back.
    GraphicsOptionGroup* options = GraphicsOptionGroup::get();
    options->MSAA(o.msaa);
    options->FXAA(o.fxaa);
    options->visualStyle(VisualStyleOf(o.style));
    // A transparent background leaves the environment's backdrop (dome and ground) out: it would cover it.
    const bool environment = o.environment != "none" && !o.transparent;
    if (environment) {
        EnvironmentManager* environments = EnvironmentManager::getEnvManager();
        environments->initialize();
        if (!environments->item(Brio::Utility::toWide(o.environment), true)) {
            std::string known;
            std::error_code ec;
            for (const auto& entry :
                 std::filesystem::directory_iterator(environments->resourceDirectory() / "Environments", ec))
                if (entry.is_directory(ec))
                    known += (known.empty() ? "" : ", ") + entry.path().filename().string();
            error = "no environment '" + o.environment + "' (there are: " + known + ")";
            return false;
        }
        options->environmentID(Brio::Utility::toWide(o.environment));
    }
    options->groundShadowEnabled(o.groundShadow && environment);
    options->displayGroundPlane(o.groundShadow && environment);
    options->transparentBackground(o.transparent);

    if (o.view != "saved" || !doc.hasCamera())
        AimCamera(doc, o.view == "saved" ? "iso" : o.view);
    doc.showModel();

    Brio::Segment* segment = doc.asset().transientSegment();
    Brio::StrongRef<ViewFragment> fragment = ViewFragment::make(segment);
    fragment->camera(&doc.camera());
    if (environment) {
        fragment->scene(&doc.adapter());
    } else {
        // The model pass alone, without the environment's dome, ground and lights.
        AutoPtr<RenderParams> params(RenderParams::make());
        params->renderer(eRendererVisualEffect);
        params->environmentEnabled(false);
        fragment->scene(doc.adapter().scene(), params.get());
        // Selections still show over the plain model.
        using Names = ViewFragementPassNames;
        SceneAssetAdapter& a = doc.adapter();
        fragment->addLayerPass(
            {a.selectionEffectScene(), Names::sSelectionEffect, false, a.selectionEffectParams().clone()});
        fragment->addLayerPass(
            {a.prehighlightEffectScene(), Names::sPrehighlightEffect, false, a.highlightEffectParams().clone()});
    }
    AutoPtr<Lumo::Graphics::GroupNode> view(makeViewNode(nullptr));
    Brio::StrongRef<Viewport> window = Viewport::make(segment);
    window->set(0, o.width, 0, o.height);
    viewNodeData(view)->viewport(window);
    view->AddChild(fragment->viewFragmentNode());

    ViewRenderer* renderer = Provider::provider()->requestViewRenderer(view, nullptr);
    renderer->render(ViewRenderer::eInvalidateAll);
    const bool written = renderer->writeImage(Brio::Utility::toWide(o.output));
    auto* engine = &static_cast<ViewRendererForImage*>(renderer)->engine();
    const std::string deviceName =
        engine->device() ? static_cast<Lumo::Devices::GLDevice*>(engine->device())->RendererName() : "no device";
    Provider::provider()->releaseViewRenderer(renderer);
    view->RemoveChild(fragment->viewFragmentNode());
    if (!written) {
        error = "cannot draw or write '" + o.output + "' (" + deviceName + ")";
        return false;
    }
    if (report) {
        report->milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        report->device = deviceName;
    }
    return true;
}

} // namespace Host
