#pragma once
#include <string>

/// What `brioscene render` draws and how.
struct DemoRenderOptions {
    std::string output = "brioscene-demo.png";
    int width = 800, height = 600;
    int columns = 3, rows = 2;
    bool msaa = true, fxaa = false, edges = true, groundShadow = true;
    int visualStyle = 2;
};

/// Renders the demo assembly (machined parts with their edges, instanced on a grid) off
/// screen and writes a PNG; answers the exit status, with the reason on stderr.
int RenderDemo(const DemoRenderOptions& options);
