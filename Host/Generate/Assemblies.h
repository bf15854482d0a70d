#pragma once
#include <string>

namespace Host {

class Model;

/// The size of a generated assembly.
struct GenerateSpec {
    int parts = 10, triangles = 1000, instances = 100;
};

/// Reads "PARTS,TRIANGLES,INSTANCES" (positive whole numbers, at most 100 000 parts,
/// 10 000 000 triangles a part, 1 000 000 instances); false with error set otherwise.
bool ParseGenerateSpec(const std::string& text, GenerateSpec& spec, std::string& error);

/// Adds a deterministic synthetic assembly to the model's root: `parts` components, each one
/// closed body of about `triangles` triangles (gears, tubes and tori in turn), placed
/// `instances` times on a square grid, each placement with its own turn and colour.
void GenerateAssembly(Model& model, const GenerateSpec& spec);

/// Adds the built-in demo to the model's root: a small gearbox on a base plate, with bolts and
/// bearings placed many times, a shaft sub-assembly placed three times, and a transparent cover.
void BuildDemoAssembly(Model& model);

} // namespace Host
