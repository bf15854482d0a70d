#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Host {

class Model;

/// The host model's stored form, kept as a part of the document: a versioned little-endian
/// binary of components, bodies (materials and meshes) and instances.
class ModelCodec {
public:
    static std::vector<std::uint8_t> write(const Model& model);
    /// Reads bytes into an empty model; false with error set (the model is then partly filled
    /// and must be dropped). Every count is checked against the bytes left before anything is
    /// reserved for it.
    static bool read(const std::vector<std::uint8_t>& bytes, Model& model, std::string& error);
    /// The part's name in the document.
    static constexpr const char* kPartName = "host/model.bin";
};

} // namespace Host
