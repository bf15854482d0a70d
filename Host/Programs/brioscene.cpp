// brioscene: the sample host's program. It loads a model (a file, a generated assembly, a saved
// document or the built-in demo) into a host document and renders, describes, saves it, or runs
// text commands, all through the scene library as a CAD host would.
#include "Viewer.h"

#include <Brio/Base/OptionGroup.h>
#include <Brio/Base/PathInfo.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/Base/TextCommandConsole.h>
#include <Host/Host.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Persistence/SceneAssetAdapter.h>

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

using Host::RenderOptions;
bool quiet = false;

/// Where a command's model comes from.
struct Input {
    std::string path;     ///< a model file or a document (.brio); empty for the demo
    std::string generate; ///< PARTS,TRIANGLES,INSTANCES
    float crease = 30.f;
    char up = 0;
    double scale = 0;
};

void AddInputOptions(CLI::App* cmd, Input& in) {
    cmd->add_option("model", in.path,
                    "a model file (glTF, GLB, OBJ, STL, PLY, 3MF, FBX...) or a document (.brio); "
                    "without one, the built-in demo gearbox");
    cmd->add_option("--generate", in.generate,
                    "a synthetic assembly instead: PARTS,TRIANGLES,INSTANCES, e.g. 100,2000,10000");
    cmd->add_option("--crease", in.crease, "edge angle in degrees for imported models")
        ->check(CLI::Range(0.f, 180.f))
        ->capture_default_str();
    cmd->add_option("--up", in.up, "the file's up axis, y or z (default: from the file)")
        ->check(CLI::IsMember({'y', 'z'}));
    cmd->add_option("--unit", in.scale, "metres per file unit (default: from the file, else 1)")
        ->check(CLI::PositiveNumber);
}

bool IsDocument(const std::string& path) {
    const std::size_t n = path.size();
    return n > 5 && path.compare(n - 5, 5, ".brio") == 0;
}

/// The document the command works on; null with the reason printed.
std::unique_ptr<Host::Document> Load(const Input& in) {
    std::string error;
    if (!in.path.empty() && !in.generate.empty()) {
        std::fprintf(stderr, "brioscene: give a model or --generate, not both\n");
        return nullptr;
    }
    if (!in.path.empty() && IsDocument(in.path)) {
        auto doc = Host::Document::open(in.path, error);
        if (!doc)
            std::fprintf(stderr, "brioscene: %s\n", error.c_str());
        return doc;
    }
    auto doc = std::make_unique<Host::Document>("Demo gearbox");
    if (!in.generate.empty()) {
        Host::GenerateSpec spec;
        if (!Host::ParseGenerateSpec(in.generate, spec, error)) {
            std::fprintf(stderr, "brioscene: --generate: %s\n", error.c_str());
            return nullptr;
        }
        doc->model().name("Generated " + in.generate);
        Host::GenerateAssembly(doc->model(), spec);
    } else if (!in.path.empty()) {
        Host::ImportOptions options;
        options.creaseDegrees = in.crease;
        options.upAxis = in.up;
        options.unitScale = in.scale;
        doc->model().name(in.path);
        if (!Host::ImportModel(in.path, doc->model(), error, options)) {
            std::fprintf(stderr, "brioscene: %s\n", error.c_str());
            return nullptr;
        }
    } else {
        Host::BuildDemoAssembly(doc->model());
    }
    return doc;
}

/// Render nodes reachable from the root, each counted once however many paths reach it.
std::size_t CountNodes(Lumo::Graphics::ARenderNode* root) {
    std::unordered_set<const Lumo::Graphics::ARenderNode*> seen;
    std::vector<Lumo::Graphics::ARenderNode*> stack{root};
    while (!stack.empty()) {
        Lumo::Graphics::ARenderNode* n = stack.back();
        stack.pop_back();
        if (!n || !seen.insert(n).second)
            continue;
        if (Lumo::Graphics::BaseGroupNode* g = n->AsGroup())
            for (Lumo::Graphics::ARenderNode* child : g->Children())
                stack.push_back(child);
    }
    return seen.size();
}

/// The process's peak resident memory in MiB (0 when unknown).
double PeakMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

int Info(Host::Document& doc) {
    doc.showModel();
    Brio::Scene::ObjectManager::get()->syncChanges();
    const Host::ModelCounts n = doc.model().counts();
    double lo[3] = {}, hi[3] = {};
    doc.model().bounds(lo, hi);
    std::printf("Model:          %s\n", doc.model().name().c_str());
    std::printf("Components:     %zu\n", n.components);
    std::printf("Instances:      %zu\n", n.instances);
    std::printf("Bodies:         %zu (%zu placed)\n", n.bodies, n.occurrences);
    std::printf("Triangles:      %zu unique, %zu placed\n", n.uniqueTriangles, n.triangles);
    std::printf("Render nodes:   %zu\n", CountNodes(doc.adapter().scene()));
    std::printf("Bounds:         %.4g %.4g %.4g .. %.4g %.4g %.4g\n", lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
    std::printf("Mesh memory:    %.1f MiB\n", double(n.meshBytes) / (1024.0 * 1024.0));
    std::printf("Peak memory:    %.1f MiB\n", PeakMiB());
    return 0;
}

/// Runs the given command lines, then the console on the standard input when asked, and saves
/// the preferences they changed. Answers the exit status.
int RunCommands(const std::vector<std::string>& commands, bool console) {
    Brio::TextCommandConsole runner(std::cin, std::cout);
    for (const std::string& line : commands)
        runner.execute(line);
    if (console && !runner.finished()) {
        if (::isatty(STDIN_FILENO))
            runner.prompt("> ");
        runner.run();
    }
    Brio::Status saved = Brio::OptionGroup::saveModified();
    if (!saved.isSuccess())
        std::fprintf(stderr, "brioscene: %s\n", Brio::Utility::toUtf8(saved.message()).c_str());
    return runner.failures() > 0 || saved.failed() ? 1 : 0;
}

int Render(Host::Document& doc, const RenderOptions& options) {
    std::string error;
    Host::RenderReport report;
    if (!Host::RenderDocument(doc, options, error, &report)) {
        std::fprintf(stderr, "brioscene: %s\n", error.c_str());
        return 1;
    }
    if (!quiet) {
        const Host::ModelCounts n = doc.model().counts();
        std::printf("Rendered %s: %d x %d, %zu bodies placed %zu times (%zu triangles), %s, %.0f ms\n",
                    options.output.c_str(), options.width, options.height, n.bodies, n.occurrences, n.triangles,
                    report.device.c_str(), report.milliseconds);
    }
    return 0;
}

int Pick(Host::Document& doc, int width, int height, const std::string& view, const std::vector<double>& at,
         const std::vector<double>& rect, double tolerance, bool crossing) {
    Host::Picker picker(doc, width, height, view);
    const std::vector<Host::PickHit> hits = at.empty() ? picker.rectangle(rect[0], rect[1], rect[2], rect[3], crossing)
                                                       : picker.point(at[0], at[1], tolerance);
    int n = 0;
    for (const Host::PickHit& h : hits) {
        std::string path;
        for (const std::string& p : h.path)
            path += (path.empty() ? "" : " / ") + p;
        const bool point = !at.empty();
        std::printf("%d. %s", ++n, point || h.kind == "background" ? h.kind.c_str() : (h.kind + "s").c_str());
        if (point && (h.kind == "face" || h.kind == "edge" || h.kind == "vertex"))
            std::printf(" %d", h.id);
        std::printf(" of %s", path.c_str());
        if (!at.empty())
            std::printf("\n   at (%.4g, %.4g, %.4g), distance %.4g", h.point[0], h.point[1], h.point[2], h.distance);
        if (point && h.kind == "face")
            std::printf(", normal (%.3f, %.3f, %.3f)", h.normal[0], h.normal[1], h.normal[2]);
        if (point && h.kind != "background")
            std::printf(", priorities %d/%d", h.selectionPriority, h.depthPriority);
        std::printf("\n");
    }
    return 0;
}

/// Selects what lies under an image pixel of the view `render` draws, and says what it was.
bool Select(Host::Document& doc, Host::Highlighter& highlighter, const RenderOptions& options, double x, double y) {
    if (x < 0 || y < 0 || x >= options.width || y >= options.height) {
        std::fprintf(stderr, "brioscene: --select %g,%g lies outside the %d x %d image\n", x, y, options.width,
                     options.height);
        return false;
    }
    Host::Picker picker(doc, options.width, options.height, options.view);
    const std::vector<Host::PickHit> hits = picker.point(x, y, 3);
    if (hits.empty() || !hits.front().body) {
        if (!quiet)
            std::printf("Selected nothing (the background)\n");
        return true;
    }
    const Host::PickHit& h = hits.front();
    highlighter.select(h);
    if (!quiet) {
        std::string path;
        for (const std::string& p : h.path)
            path += (path.empty() ? "" : " / ") + p;
        std::printf("Selected %s %d of %s\n", h.kind.c_str(), h.id, path.c_str());
    }
    return true;
}

void AddRenderOptions(CLI::App* cmd, RenderOptions& r, bool& noMsaa, bool& noShadow) {
    cmd->add_option("-o,--output", r.output, "the PNG to write")->capture_default_str();
    cmd->add_option("--width", r.width, "image width in pixels")->check(CLI::Range(16, 8192))->capture_default_str();
    cmd->add_option("--height", r.height, "image height in pixels")->check(CLI::Range(16, 8192))->capture_default_str();
    cmd->add_option("--style", r.style, "visual style: shaded, edges (shaded with edges) or hidden")
        ->check([](const std::string& s) {
            return std::string(Host::VisualStyleOf(s) < 0 ? "must be shaded, edges, hidden or 0 to 6" : "");
        })
        ->capture_default_str();
    cmd->add_option("--environment", r.environment, "SkyRoom, Studio or none")->capture_default_str();
    cmd->add_option("--view", r.view,
                    "camera: iso, front, back, left, right, top or bottom, fitted to the model; or saved (a "
                    "document's own camera)")
        ->check(CLI::IsMember({"iso", "front", "back", "left", "right", "top", "bottom", "saved"}))
        ->capture_default_str();
    cmd->add_flag("--no-msaa", noMsaa, "no multisampling");
    cmd->add_flag("--fxaa", r.fxaa, "smooth edges with FXAA");
    cmd->add_flag("--no-ground-shadow", noShadow, "no ground and shadow under the model");
    cmd->add_flag("--transparent", r.transparent, "a transparent background");
    cmd->add_flag("-q,--quiet", quiet, "print nothing on success");
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"brioscene: the BrioScene sample host. Without a subcommand it renders the demo gearbox."};
    app.set_help_all_flag("--help-all", "help for every subcommand");
    // One line, like every other error of the program.
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return "brioscene: " + std::string(e.what()) + " (--help lists the options)\n";
    });
    std::string optionsDir;
    app.add_option("--options-dir", optionsDir, "folder of the preference files (default: ~/.config/brioscene)");

    Input input;
    RenderOptions render;
    bool noMsaa = false, noShadow = false;
    auto* renderCmd = app.add_subcommand("render", "draw a model, generated assembly or document into a PNG");
    AddInputOptions(renderCmd, input);
    AddRenderOptions(renderCmd, render, noMsaa, noShadow);
    std::vector<double> selectAt;
    renderCmd->add_option("--select", selectAt, "select what lies under the image pixel X,Y (y down) and draw it so")
        ->delimiter(',')
        ->expected(2);

    auto* infoCmd = app.add_subcommand("info", "count components, instances, bodies, triangles and render nodes");
    AddInputOptions(infoCmd, input);

    std::string savePath;
    auto* saveCmd = app.add_subcommand("save", "write a model, generated assembly or the demo as a document");
    saveCmd->add_option("document", savePath, "the document to write (.brio)")->required();
    AddInputOptions(saveCmd, input);
    std::string saveView = "iso";
    saveCmd->add_option("--view", saveView, "the camera saved with it")
        ->check(CLI::IsMember({"iso", "front", "back", "left", "right", "top", "bottom"}))
        ->capture_default_str();

    std::string exportPath;
    auto* exportCmd = app.add_subcommand("export", "write a model, generated assembly or the demo as a model file");
    exportCmd->add_option("file", exportPath, "the file to write: .glb, .gltf, .obj, .stl, .ply, .3mf or .fbx")
        ->required();
    AddInputOptions(exportCmd, input);

    std::string openPath;
    RenderOptions openRender;
    openRender.output.clear();
    openRender.view = "saved";
    bool openNoMsaa = false, openNoShadow = false;
    auto* openCmd = app.add_subcommand("open", "open a document, describe it, and render it when -o is given");
    openCmd->add_option("document", openPath, "the document (.brio)")->required()->check(CLI::ExistingFile);
    AddRenderOptions(openCmd, openRender, openNoMsaa, openNoShadow);

    std::vector<std::string> commands;
    auto* consoleCmd = app.add_subcommand("console", "run text commands from the standard input (\"help\" lists them)");
    consoleCmd->add_option("--command", commands, "run a command first, e.g. \"Options.MSAA /off\" (repeatable)")
        ->expected(1)
        ->take_all();
    bool batch = false;
    consoleCmd->add_flag("--batch", batch, "run the --command lines only, not the standard input");

    std::vector<double> pickAt, pickRect;
    double pickTolerance = 3;
    bool pickCrossing = false;
    int pickWidth = 800, pickHeight = 600;
    std::string pickView = "iso";
    auto* pickCmd = app.add_subcommand(
        "pick", "pick in the view `render` would draw: what lies under a pixel or in a rectangle, nearest first");
    AddInputOptions(pickCmd, input);
    pickCmd->add_option("--at", pickAt, "the pixel X,Y of the image (y down)")->delimiter(',')->expected(2);
    pickCmd->add_option("--rect", pickRect, "the rectangle X0,Y0,X1,Y1 of the image")->delimiter(',')->expected(4);
    pickCmd->add_flag("--crossing", pickCrossing, "with --rect: what the rectangle touches, not only what it holds");
    pickCmd->add_option("--tolerance", pickTolerance, "with --at: pixels around it that count (edges)")
        ->check(CLI::Range(0.0, 100.0))
        ->capture_default_str();
    pickCmd->add_option("--width", pickWidth, "image width")->check(CLI::Range(16, 8192))->capture_default_str();
    pickCmd->add_option("--height", pickHeight, "image height")->check(CLI::Range(16, 8192))->capture_default_str();
    pickCmd->add_option("--view", pickView, "camera, as for render")
        ->check(CLI::IsMember({"iso", "front", "back", "left", "right", "top", "bottom", "saved"}))
        ->capture_default_str();
    ViewerOptions viewer;
    auto* viewCmd = app.add_subcommand(
        "view", "show a model in a window: drag to orbit, middle-drag or shift-drag to pan, wheel to zoom, f to "
                "fit, q to quit; what is under the pointer is prehighlighted, a click selects it");
    AddInputOptions(viewCmd, input);
    viewCmd->add_option("--width", viewer.width, "window width")->check(CLI::Range(16, 8192))->capture_default_str();
    viewCmd->add_option("--height", viewer.height, "window height")->check(CLI::Range(16, 8192))->capture_default_str();
    viewCmd->add_option("--frames", viewer.frames, "quit after this many frames (for scripts)")
        ->check(CLI::NonNegativeNumber);
    std::vector<int> clickAt;
    viewCmd->add_option("--click", clickAt, "click the window pixel X,Y once it is drawn (for scripts)")
        ->delimiter(',')
        ->expected(2);
    std::vector<int> hoverAt;
    viewCmd->add_option("--hover", hoverAt, "move the pointer to the window pixel X,Y first (for scripts)")
        ->delimiter(',')
        ->expected(2);
    app.require_subcommand(0, 1);

    CLI11_PARSE(app, argc, argv);
    if (!optionsDir.empty())
        Brio::PathInfo::optionsDirectory(optionsDir);

    if (consoleCmd->parsed())
        return RunCommands(commands, !batch);
    if (pickCmd->parsed() && pickAt.empty() == pickRect.empty()) {
        std::fprintf(stderr, "brioscene: pick needs --at X,Y or --rect X0,Y0,X1,Y1\n");
        return 1;
    }
    if (openCmd->parsed()) {
        std::string error;
        auto doc = Host::Document::open(openPath, error);
        if (!doc) {
            std::fprintf(stderr, "brioscene: %s\n", error.c_str());
            return 1;
        }
        Info(*doc);
        if (openRender.output.empty())
            return 0;
        openRender.msaa = !openNoMsaa;
        openRender.groundShadow = !openNoShadow;
        return Render(*doc, openRender);
    }
    auto doc = Load(input);
    if (!doc)
        return 1;
    if (infoCmd->parsed())
        return Info(*doc);
    if (viewCmd->parsed()) {
        if (clickAt.size() == 2)
            viewer.clicks.emplace_back(clickAt[0], clickAt[1]);
        if (hoverAt.size() == 2)
            viewer.hovers.emplace_back(hoverAt[0], hoverAt[1]);
        return RunViewer(*doc, viewer);
    }
    if (pickCmd->parsed())
        return Pick(*doc, pickWidth, pickHeight, pickView, pickAt, pickRect, pickTolerance, pickCrossing);
    if (exportCmd->parsed()) {
        std::string error;
        if (!Host::ExportModel(doc->model(), exportPath, error)) {
            std::fprintf(stderr, "brioscene: %s\n", error.c_str());
            return 1;
        }
        std::printf("Wrote %s\n", exportPath.c_str());
        return 0;
    }
    if (saveCmd->parsed()) {
        Host::AimCamera(*doc, saveView);
        std::string error;
        if (!doc->save(savePath, error)) {
            std::fprintf(stderr, "brioscene: %s\n", error.c_str());
            return 1;
        }
        std::printf("Saved %s\n", savePath.c_str());
        return 0;
    }
    render.msaa = !noMsaa;
    render.groundShadow = !noShadow;
    std::unique_ptr<Host::Highlighter> highlighter;
    if (selectAt.size() == 2) {
        highlighter = std::make_unique<Host::Highlighter>(*doc);
        if (!Select(*doc, *highlighter, render, selectAt[0], selectAt[1]))
            return 1;
    }
    return Render(*doc, render);
}
