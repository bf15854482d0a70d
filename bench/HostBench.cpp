// The sample host's path from a model to its first picture, phase by phase, for a generated
// assembly (components x triangles each x instances) and for a glTF binary file of the same kind
// written by the host's exporter and read back by its importer:
//   build  the model: generated, or imported from the file (progress off)
//   scene  Document::showModel (the scene's nodes) and the object manager's sync (children join)
//   frame  Host::RenderDocument at 1280 x 800 into a PNG (drawing and writing the picture)
// Each phase runs once per case (they take seconds): wall seconds, growth of the resident set,
// and heap allocations on this thread (global operator new and the graphics heap). peak_MiB is
// the resident high-water mark while the case ran; mesh_MiB the unique meshes' arrays, to set
// against it (placing an instance costs no mesh memory). A table of the same figures is written
// to standard error at exit.
// The provider is started and a tiny model drawn once before the first case (warmup_s), so that
// every case's first frame finds the device, its programs and the environment ready.
// Filter to one large case per run: the software device keeps heap from a big multisampled
// frame, which would count in a later case's base and peak.
// HOSTBENCH_FILES=<directory> keeps the glTF files and pictures there (else a temporary folder).
#include <Host/Host.h>
#include <Lumo/Objects/HeapOperators.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/View/Provider.h>

#include "../tests/Scene/Walk/CountingNew.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 1280, kHeight = 800;

/// Every heap allocation so far on this thread: through operator new, and the graphics heap's.
std::uint64_t Allocations() {
    return std::uint64_t(CountingNew::allocations) + std::uint64_t(Lumo::Objects::HeapOperators::Stats().totalBlocks);
}

/// A field of /proc/self/status in MiB (the kernel gives kB), or -1 when it cannot be read.
double StatusMiB(const std::string& field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return double(std::strtoll(line.c_str() + field.size() + 1, nullptr, 10)) / 1024.0;
    return -1;
}

double RssMiB() {
    return StatusMiB("VmRSS");
}

/// Hands freed heap back to the system and restarts the high-water mark at the current resident
/// set, so that a case's peak is its own and not an earlier case's.
void ResetPeak() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

/// Wall time, resident set and allocations at a moment; Since gives a phase's share.
struct Mark {
    std::chrono::steady_clock::time_point time = std::chrono::steady_clock::now();
    double rss = RssMiB();
    std::uint64_t allocations = Allocations();
};

struct Phase {
    double seconds = 0, rssMiB = 0, allocations = 0;
};

Phase Since(const Mark& m) {
    const Mark now;
    return {std::chrono::duration<double>(now.time - m.time).count(), now.rss - m.rss,
            double(now.allocations - m.allocations)};
}

/// Where the files go: HOSTBENCH_FILES, kept; or a folder of this process, removed at exit.
const fs::path& Folder() {
    struct Owned {
        fs::path path;
        bool keep = false;
        Owned() {
            if (const char* dir = std::getenv("HOSTBENCH_FILES")) {
                path = dir;
                keep = true;
            } else {
                path = fs::temp_directory_path() / ("HostBench-" + std::to_string(getpid()));
            }
            fs::create_directories(path);
        }
        ~Owned() {
            std::error_code ec;
            if (!keep)
                fs::remove_all(path, ec);
        }
    };
    static const Owned folder;
    return folder.path;
}

using Key = std::tuple<int, int, int>; // components, triangles each, instances

std::string NameOf(const char* kind, const Key& k) {
    return std::string(kind) + "-" + std::to_string(std::get<0>(k)) + "x" + std::to_string(std::get<1>(k)) + "x" +
           std::to_string(std::get<2>(k));
}

Host::RenderOptions FrameOptions(const std::string& name) {
    Host::RenderOptions o;
    o.output = (Folder() / (name + ".png")).string();
    o.width = kWidth;
    o.height = kHeight;
    return o;
}

/// Starts the provider and draws a tiny model once; answers the seconds that took.
double Warmup() {
    static const double seconds = [] {
        const auto t0 = std::chrono::steady_clock::now();
        Brio::Scene::Provider::provider()->initialize();
        Host::Document doc("HostBenchWarmup");
        Host::GenerateAssembly(doc.model(), {1, 100, 1});
        std::string error;
        if (!Host::RenderDocument(doc, FrameOptions("warmup"), error))
            std::fprintf(stderr, "HostBench: warmup: %s\n", error.c_str());
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }();
    return seconds;
}

/// The glTF binary file of a generated assembly, written once per process; empty with error set
/// when the exporter fails. The model that wrote it is gone before any case measures.
struct Written {
    std::string path, error;
    double seconds = 0, MiB = 0;
};

const Written& FileOf(const Key& k) {
    static std::map<Key, Written> files;
    auto found = files.find(k);
    if (found != files.end())
        return found->second;
    Written w;
    w.path = (Folder() / (NameOf("generated", k) + ".glb")).string();
    {
        Host::Model model("HostBench");
        Host::GenerateAssembly(model, {std::get<0>(k), std::get<1>(k), std::get<2>(k)});
        const auto t0 = std::chrono::steady_clock::now();
        if (!Host::ExportModel(model, w.path, w.error))
            w.path.clear();
        w.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    std::error_code ec;
    if (!w.path.empty())
        w.MiB = double(fs::file_size(w.path, ec)) / (1024.0 * 1024.0);
    return files[k] = w;
}

/// One case's figures, for the table at exit.
struct Row {
    std::string name;
    Phase build, show, sync, frame, teardown;
    double peakMiB = 0, baseMiB = 0, meshMiB = 0;
    Host::ModelCounts counts;
};

struct Table {
    std::vector<Row> rows;
    ~Table() {
        if (rows.empty())
            return;
        std::fprintf(stderr, "\n%-30s %9s %9s %9s %9s %9s | %8s %8s %8s %8s %8s %8s | %11s %11s %11s %11s\n", "case",
                     "build_s", "show_s", "sync_s", "frame_s", "total_s", "base_MiB", "build", "scene", "frame",
                     "peak_MiB", "mesh_MiB", "build_alloc", "scene_alloc", "frame_alloc", "tris");
        for (const Row& r : rows) {
            const double total = r.build.seconds + r.show.seconds + r.sync.seconds + r.frame.seconds;
            std::fprintf(stderr,
                         "%-30s %9.3f %9.3f %9.3f %9.3f %9.3f | %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f | %11.0f "
                         "%11.0f %11.0f %11zu\n",
                         r.name.c_str(), r.build.seconds, r.show.seconds, r.sync.seconds, r.frame.seconds, total,
                         r.baseMiB, r.build.rssMiB, r.show.rssMiB + r.sync.rssMiB, r.frame.rssMiB, r.peakMiB, r.meshMiB,
                         r.build.allocations, r.show.allocations + r.sync.allocations, r.frame.allocations,
                         r.counts.triangles);
        }
        std::fprintf(stderr,
                     "(MiB under build, scene and frame: resident set growth in the phase; allocations: operator "
                     "new and graphics heap, this thread; tris: placed triangles)\n");
    }
};

Table& Figures() {
    static Table table;
    return table;
}

enum class Source { Generated, Imported };

void Case(benchmark::State& state, Source source) {
    const Key k{int(state.range(0)), int(state.range(1)), int(state.range(2))};
    const double warmup = Warmup();
    const char* kind = source == Source::Generated ? "generated" : "imported";
    const Written* file = nullptr;
    if (source == Source::Imported) {
        file = &FileOf(k);
        if (file->path.empty()) {
            state.SkipWithError(("export: " + file->error).c_str());
            return;
        }
    }
    Row row;
    row.name = NameOf(kind, k);
    for (auto _ : state) {
        ResetPeak();
        row.baseMiB = RssMiB();
        auto doc = std::make_unique<Host::Document>("HostBench");
        std::string error;

        Mark m;
        if (source == Source::Generated) {
            Host::GenerateAssembly(doc->model(), {std::get<0>(k), std::get<1>(k), std::get<2>(k)});
        } else {
            Host::ImportOptions options;
            options.progress = false;
            if (!Host::ImportModel(file->path, doc->model(), error, options)) {
                state.SkipWithError(("import: " + error).c_str());
                return;
            }
        }
        row.build = Since(m);

        m = Mark();
        doc->showModel();
        row.show = Since(m);
        m = Mark();
        Brio::Scene::ObjectManager::get()->syncChanges();
        row.sync = Since(m);

        m = Mark();
        Host::RenderReport report;
        if (!Host::RenderDocument(*doc, FrameOptions(row.name), error, &report)) {
            state.SkipWithError(("render: " + error).c_str());
            return;
        }
        row.frame = Since(m);
        row.peakMiB = StatusMiB("VmHWM");

        row.counts = doc->model().counts();
        m = Mark();
        doc.reset();
        row.teardown = Since(m);
        state.SetIterationTime(row.build.seconds + row.show.seconds + row.sync.seconds + row.frame.seconds);
        state.SetLabel(report.device);
    }
    row.meshMiB = double(row.counts.meshBytes) / (1024.0 * 1024.0);
    auto& c = state.counters;
    c["build_s"] = row.build.seconds;
    c["scene_s"] = row.show.seconds + row.sync.seconds;
    c["frame_s"] = row.frame.seconds;
    c["teardown_s"] = row.teardown.seconds;
    c["warmup_s"] = warmup;
    c["build_MiB"] = row.build.rssMiB;
    c["scene_MiB"] = row.show.rssMiB + row.sync.rssMiB;
    c["frame_MiB"] = row.frame.rssMiB;
    c["peak_MiB"] = row.peakMiB;
    c["mesh_MiB"] = row.meshMiB;
    c["build_allocs"] = row.build.allocations;
    c["scene_allocs"] = row.show.allocations + row.sync.allocations;
    c["frame_allocs"] = row.frame.allocations;
    c["triangles"] = double(row.counts.triangles);
    c["unique_tris"] = double(row.counts.uniqueTriangles);
    if (file) {
        c["file_MiB"] = file->MiB;
        c["export_s"] = file->seconds;
    }
    Figures().rows.push_back(row);
}

void BM_Generated(benchmark::State& state) {
    Case(state, Source::Generated);
}
void BM_Imported(benchmark::State& state) {
    Case(state, Source::Imported);
}

/// glTF binary export of a generated assembly (the model is made untimed): seconds and heap
/// allocations of ExportModel, against a floor measured alongside, copying every unique mesh's
/// arrays once into a buffer of their size, which any writer must at least do.
void BM_Export(benchmark::State& state) {
    const Key k{int(state.range(0)), int(state.range(1)), int(state.range(2))};
    Host::Model model("HostBench");
    Host::GenerateAssembly(model, {std::get<0>(k), std::get<1>(k), std::get<2>(k)});
    const std::string path = (Folder() / (NameOf("export", k) + ".glb")).string();
    Phase write, floor;
    for (auto _ : state) {
        Mark m;
        std::vector<unsigned char> copy;
        copy.reserve(model.counts().meshBytes);
        for (const auto& c : model.components())
            for (const auto& b : c->bodies()) {
                const Host::Mesh& mesh = *b->mesh();
                const auto* p = reinterpret_cast<const unsigned char*>(mesh.positions.data());
                const auto* n = reinterpret_cast<const unsigned char*>(mesh.normals.data());
                const auto* t = reinterpret_cast<const unsigned char*>(mesh.triangles.data());
                copy.insert(copy.end(), p, p + mesh.positions.size() * sizeof(Host::vec3f));
                copy.insert(copy.end(), n, n + mesh.normals.size() * sizeof(Host::vec3f));
                copy.insert(copy.end(), t, t + mesh.triangles.size() * sizeof(std::uint32_t));
            }
        benchmark::DoNotOptimize(copy.data());
        floor = Since(m);
        m = Mark();
        std::string error;
        if (!Host::ExportModel(model, path, error)) {
            state.SkipWithError(("export: " + error).c_str());
            return;
        }
        write = Since(m);
        state.SetIterationTime(write.seconds);
    }
    std::error_code ec;
    auto& c = state.counters;
    c["export_s"] = write.seconds;
    c["floor_s"] = floor.seconds;
    c["export_allocs"] = write.allocations;
    c["floor_allocs"] = floor.allocations;
    c["file_MiB"] = double(fs::file_size(path, ec)) / (1024.0 * 1024.0);
    c["unique_tris"] = double(model.counts().uniqueTriangles);
}

// 4 x 500 x 16 is the smoke run's size; the others are the figures': twenty million placed
// triangles of two hundred thousand unique ones, one file of a million triangles, and an
// export of two million unique triangles.
const bool registered = [] {
    struct Sizes {
        const char* name;
        void (*fn)(benchmark::State&);
        std::vector<Key> keys;
    };
    const Sizes cases[] = {{"Generated", BM_Generated, {{4, 500, 16}, {100, 2000, 10000}}},
                           {"Imported", BM_Imported, {{4, 500, 16}, {1, 1000000, 1}}},
                           {"Export", BM_Export, {{4, 500, 16}, {100, 20000, 100}}}};
    for (const Sizes& s : cases)
        for (const auto& [c, t, n] : s.keys)
            benchmark::RegisterBenchmark(s.name, s.fn)
                ->Args({c, t, n})
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kSecond);
    return true;
}();

} // namespace
