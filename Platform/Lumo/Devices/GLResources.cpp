#include <Lumo/Devices/GLInternal.h>
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/VertexFormat.h>

#include <algorithm>
#include <cmath>

namespace Lumo::Devices {

GLMeshData::~GLMeshData() {
    GLShareGroup::Get().DeleteBuffer(vbo);
    GLShareGroup::Get().DeleteBuffer(ebo);
}

GLTextureData::~GLTextureData() {
    GLShareGroup::Get().DeleteTexture(texture);
}

namespace {
GLenum Mode(EPrimitiveType type) {
    switch (type) {
    case ePrimPointList:
        return GL_POINTS;
    case ePrimLineList:
        return GL_LINES;
    case ePrimLineStrip:
        return GL_LINE_STRIP;
    case ePrimTriangleStrip:
        return GL_TRIANGLE_STRIP;
    case ePrimTriangleFan:
        return GL_TRIANGLE_FAN;
    default:
        return GL_TRIANGLES;
    }
}
} // namespace

static void ApplySampling(GLuint name, TextureInstance* texture, int) {
    auto wrap = [](ETextureAddress a) {
        return a == eAddressRepeat ? GL_REPEAT : a == eAddressMirror ? GL_MIRRORED_REPEAT : GL_CLAMP_TO_EDGE;
    };
    const bool linear = texture->Filter() == eFilterLinear;
    glTextureParameteri(name, GL_TEXTURE_MIN_FILTER, linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST);
    glTextureParameteri(name, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
    glTextureParameteri(name, GL_TEXTURE_WRAP_S, wrap(texture->AddressU()));
    glTextureParameteri(name, GL_TEXTURE_WRAP_T, wrap(texture->AddressV()));
}

GLMeshData* UploadMesh(SimpleMesh* mesh) {
    if (!mesh)
        return nullptr;
    if (mesh->NeedsPreparing())
        mesh->Prepare(nullptr, 15);
    auto* data = static_cast<GLMeshData*>(mesh->BackendData());
    if (data && data->version == mesh->Version())
        return data->empty ? nullptr : data;
    if (!data) {
        data = new GLMeshData;
        mesh->BackendData(data);
    }
    data->version = mesh->Version();
    data->mode = Mode(mesh->PrimitiveType());
    data->components = mesh->Format() ? mesh->Format()->Components() : eVertexPosition;
    data->indexed = mesh->IsIndexed();
    data->count = data->indexed ? mesh->IndexCount() : mesh->VertexCount();
    data->empty = data->count == 0 || mesh->VertexCount() == 0;
    if (data->empty)
        return nullptr;
    const GLsizeiptr vbytes = GLsizeiptr(mesh->VertexCount()) * (mesh->Format() ? mesh->Format()->StrideBytes() : 12);
    // New storage each time: buffers of meshes that change are rare and small next to the draw.
    GLShareGroup::Get().DeleteBuffer(data->vbo);
    glCreateBuffers(1, &data->vbo);
    glNamedBufferStorage(data->vbo, vbytes, mesh->VertexData(), 0);
    GLShareGroup::Get().DeleteBuffer(data->ebo);
    data->ebo = 0;
    if (data->indexed) {
        glCreateBuffers(1, &data->ebo);
        glNamedBufferStorage(data->ebo, GLsizeiptr(mesh->IndexCount()) * 4, mesh->IndexData(), 0);
    }
    return data;
}

GLuint UploadTexture(TextureInstance* texture) {
    if (!texture)
        return 0;
    auto* data = static_cast<GLTextureData*>(texture->BackendData());
    const int sampling = int(texture->Filter()) | int(texture->AddressU()) << 4 | int(texture->AddressV()) << 8;
    if (data && data->version == texture->Version()) {
        if (data->sampling != sampling)
            ApplySampling(data->texture, texture, data->sampling = sampling);
        return data->texture;
    }
    if (texture->IsLocked())
        return data ? data->texture : 0;
    if (!data) {
        data = new GLTextureData;
        texture->BackendData(data);
    }
    const int w = texture->Width(), h = texture->Height();
    if (!data->texture || data->version == 0) {
        GLShareGroup::Get().DeleteTexture(data->texture);
        glCreateTextures(GL_TEXTURE_2D, 1, &data->texture);
        const int levels = 1 + int(std::floor(std::log2(double(std::max(w, h)))));
        glTextureStorage2D(data->texture, levels, GL_RGBA8, w, h);
    }
    SLockedLevel level = texture->LockLevel(0, false);
    if (level) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, level.rowPitch / 4);
        glTextureSubImage2D(data->texture, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, level.data);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        texture->UnlockLevel(0);
        glGenerateTextureMipmap(data->texture);
    }
    ApplySampling(data->texture, texture, data->sampling = sampling);
    data->version = texture->Version();
    return data->texture;
}

GLuint TargetTexture(RenderTarget* target) {
    if (!target)
        return 0;
    auto* data = static_cast<GLTextureData*>(target->BackendData());
    if (data)
        return data->texture;
    data = new GLTextureData;
    target->BackendData(data);
    GLenum format = GL_RGBA8;
    switch (target->Format()) {
    case eTargetRGBA16F:
        format = GL_RGBA16F;
        break;
    case eTargetR32F:
        format = GL_R32F;
        break;
    case eTargetDepthStencil:
        format = GL_DEPTH24_STENCIL8;
        break;
    case eTargetDepth32F:
        format = GL_DEPTH_COMPONENT32F;
        break;
    default:
        break;
    }
    if (target->Samples() > 1) {
        glCreateTextures(GL_TEXTURE_2D_MULTISAMPLE, 1, &data->texture);
        glTextureStorage2DMultisample(data->texture, target->Samples(), format, target->Width(), target->Height(),
                                      GL_TRUE);
    } else {
        glCreateTextures(GL_TEXTURE_2D, 1, &data->texture);
        glTextureStorage2D(data->texture, 1, format, target->Width(), target->Height());
        glTextureParameteri(data->texture, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTextureParameteri(data->texture, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTextureParameteri(data->texture, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTextureParameteri(data->texture, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    data->version = target->Version();
    return data->texture;
}

} // namespace Lumo::Devices
