// The host's documents drawn through the scene library: the demo, generated assemblies, edits
// seen at the next frame, and documents saved and opened again.
#include <Brio/Base/MemoryImageResource.h>
#include <Host/Host.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string OutDir() {
    if (const char* dir = std::getenv("BRIO_TEST_IMAGES")) {
        fs::create_directories(dir);
        return dir;
    }
    const fs::path dir = fs::temp_directory_path() / "brio-hostgl";
    fs::create_directories(dir);
    return dir.string();
}

TEST(HostRender, DemoRenders) {
    Host::Document doc("Demo");
    Host::BuildDemoAssembly(doc.model());
    Host::RenderOptions o;
    o.output = OutDir() + "/demo.png";
    o.width = 256;
    o.height = 192;
    std::string error;
    ASSERT_TRUE(Host::RenderDocument(doc, o, error)) << error;
}

} // namespace
