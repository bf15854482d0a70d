#pragma once
// Private to the OpenGL backend: never installed, never included by a public header.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <Lumo/Devices/ABackendData.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace Lumo::Devices {

class ADeviceResource;
class SimpleMesh;
class TextureInstance;
class RenderTarget;

/// Every device context shares one GL share group (buffers, textures, programs), so that a
/// resource uploaded by one device draws on every other. Names of resources that die while no
/// context is current wait here and are deleted by the next context made current.
class GLShareGroup {
public:
    static GLShareGroup& Get();
    void DeleteBuffer(GLuint name);
    void DeleteTexture(GLuint name);
    /// Runs the waiting deletions; a context of the group must be current.
    void Collect();
    /// Bumped each time a context is made; lets backend data tell a live group from a dead one.
    std::uint64_t Generation() const { return m_generation; }
    void NewGeneration() { ++m_generation; }

private:
    std::mutex m_mutex;
    std::vector<GLuint> m_buffers, m_textures;
    std::uint64_t m_generation = 1;
};

/// GL copy of a mesh: vertex and index buffers, remade when the mesh's version moves on.
struct GLMeshData : ABackendData {
    ~GLMeshData() override;
    GLuint vbo = 0, ebo = 0;
    std::uint64_t version = 0;
    GLsizei count = 0; // indices, or vertices when not indexed
    bool indexed = false;
    GLenum mode = GL_TRIANGLES;
    unsigned components = 0;
    bool empty = true;
};

/// GL copy of a texture or a render target.
struct GLTextureData : ABackendData {
    ~GLTextureData() override;
    GLuint texture = 0;
    std::uint64_t version = 0;
    int sampling = -1; // filter and address modes as last set
};

/// Uniform locations of a compiled stock program.
struct GLProgram {
    GLuint program = 0;
    GLint world = -1, viewProj = -1, normalMat = -1, clipCount = -1, clip = -1, depthShift = -1;
    GLint lightCount = -1, lightType = -1, lightDir = -1, lightPos = -1, lightColor = -1, lightSpec = -1, lightAtt = -1,
          lightSpot = -1, ambientLight = -1, eye = -1, viewDir = -1, ortho = -1, ibl = -1, shAmbient = -1,
          shGlossy = -1;
    // effect values
    GLint color = -1, opacity = -1, colorSource = -1, vertexColorAlpha = -1, lighting = -1;
    GLint texture = -1, hasTexture = -1, textureAlpha = -1, blendMode = -1, texTransform = -1;
    GLint emissive = -1, ambient = -1, diffuse = -1, specular = -1, shininess = -1, reflectionBlend = -1;
    std::uint64_t lightsStamp = 0; // the frame stamp the lights were last uploaded for
    float lastShift = -1.0f;       // uniform values as last set, to skip repeats
};

enum EStockProgram : int { eProgSolid = 0, eProgSolidT = 1, eProgMaterial = 2 };
/// Variant bits of a stock program: per-vertex colours, clipping planes.
constexpr int kVariantBaseMask = 3, kVariantVertexColor = 4, kVariantClip = 8, kVariantFlat = 16, kVariantCount = 32;

/// Compiles and links a program of the two sources; 0 (the log says why) when it does not build.
GLuint BuildProgram(const std::string& vertexSource, const std::string& fragmentSource, std::string& log);

/// Compiles one variant of a stock program; false (the log says why) when it does not build.
bool CompileStockProgram(int variant, GLProgram& program, std::string& log);

/// Makes sure the GL copy of a mesh is current; false when there is nothing to draw.
GLMeshData* UploadMesh(SimpleMesh* mesh);
/// The GL texture of a texture instance, uploaded when stale; 0 on failure.
GLuint UploadTexture(TextureInstance* texture);
/// The GL texture behind a render target, made on first use.
GLuint TargetTexture(RenderTarget* target);

} // namespace Lumo::Devices
