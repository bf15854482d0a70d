#include <Lumo/Devices/DrawManager.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Devices/GLInternal.h>
#include <Lumo/Devices/TargetCache.h>
#include <Lumo/Objects/UString.h>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(GLDevice, AVirtualDevice)

GLShareGroup& GLShareGroup::Get() {
    static GLShareGroup* group = new GLShareGroup; // outlives every static that may free a resource
    return *group;
}

void GLShareGroup::DeleteBuffer(GLuint name) {
    if (!name)
        return;
    if (eglGetCurrentContext() != EGL_NO_CONTEXT) {
        glDeleteBuffers(1, &name);
        return;
    }
    std::lock_guard lock(m_mutex);
    m_buffers.push_back(name);
}

void GLShareGroup::DeleteTexture(GLuint name) {
    if (!name)
        return;
    if (eglGetCurrentContext() != EGL_NO_CONTEXT) {
        glDeleteTextures(1, &name);
        return;
    }
    std::lock_guard lock(m_mutex);
    m_textures.push_back(name);
}

void GLShareGroup::Collect() {
    std::vector<GLuint> buffers, textures;
    {
        std::lock_guard lock(m_mutex);
        buffers.swap(m_buffers);
        textures.swap(m_textures);
    }
    if (!buffers.empty())
        glDeleteBuffers(GLsizei(buffers.size()), buffers.data());
    if (!textures.empty())
        glDeleteTextures(GLsizei(textures.size()), textures.data());
}

namespace {

struct EglRoot {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext root = EGL_NO_CONTEXT; // the share group's anchor, never destroyed
    std::string error;
};

/// One display and one root context per process: every device context shares with the root,
/// so the share group lives as long as the process.
EglRoot& Root() {
    static EglRoot* root = [] {
        auto* r = new EglRoot;
        // llvmpipe keeps large per-frame buffers; glibc would return them to the system and
        // fault them in again every frame.
        mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        auto getDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (!getDisplay) {
            r->error = "EGL has no platform displays";
            return r;
        }
        r->display = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0, minor = 0;
        if (r->display == EGL_NO_DISPLAY || !eglInitialize(r->display, &major, &minor)) {
            r->error = "no surfaceless EGL display";
            r->display = EGL_NO_DISPLAY;
            return r;
        }
        if (!eglBindAPI(EGL_OPENGL_API)) {
            r->error = "EGL cannot bind OpenGL";
            return r;
        }
        const EGLint attribs[] = {
            EGL_CONTEXT_MAJOR_VERSION,           4,       EGL_CONTEXT_MINOR_VERSION, 5, EGL_CONTEXT_OPENGL_PROFILE_MASK,
            EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
        r->root = eglCreateContext(r->display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attribs);
        if (r->root == EGL_NO_CONTEXT)
            r->error = "no OpenGL 4.5 core context";
        return r;
    }();
    return *root;
}

} // namespace

struct GLDevice::Context {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
};

GLDevice::GLDevice(int deviceType)
    : AVirtualDevice(Lumo::Objects::Intern(L"VirtualDeviceGL"), deviceType), m_context(std::make_unique<Context>()),
      m_targets(std::make_unique<TargetCache>()) {}

GLDevice* GLDevice::MakeOffscreen(std::string* error) {
    static std::mutex makeMutex; // EGL context creation and the root are set up once
    std::lock_guard lock(makeMutex);
    EglRoot& root = Root();
    eglBindAPI(EGL_OPENGL_API); // the bound API is the calling thread's
    if (root.root == EGL_NO_CONTEXT) {
        if (error)
            *error = root.error;
        return nullptr;
    }
    const EGLint attribs[] = {
        EGL_CONTEXT_MAJOR_VERSION,           4,       EGL_CONTEXT_MINOR_VERSION, 5, EGL_CONTEXT_OPENGL_PROFILE_MASK,
        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(root.display, EGL_NO_CONFIG_KHR, root.root, attribs);
    if (context == EGL_NO_CONTEXT) {
        if (error)
            *error = "no OpenGL 4.5 core context";
        return nullptr;
    }
    if (!eglMakeCurrent(root.display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        eglDestroyContext(root.display, context);
        if (error)
            *error = "cannot make the OpenGL context current";
        return nullptr;
    }
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    std::string r = renderer ? renderer : "";
    std::string lower = r;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    const bool software = lower.find("llvmpipe") != std::string::npos || lower.find("softpipe") != std::string::npos ||
                          lower.find("swrast") != std::string::npos;
    auto* device = new GLDevice(software ? eDeviceSoftware : eDeviceHardware);
    device->m_context->display = root.display;
    device->m_context->context = context;
    device->m_renderer = r;
    device->m_version = version ? version : "";
    const char* vendor = reinterpret_cast<const char*>(glGetString(GL_VENDOR));
    device->m_vendor = vendor ? vendor : "";
    GLint samples = 1;
    glGetIntegerv(GL_MAX_SAMPLES, &samples);
    device->m_maxSamples = std::max(1, int(samples));
    // Device space is left-handed with depth 0 .. 1: match it instead of converting matrices.
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    device->m_draw = std::make_unique<DrawManager>(*device);
    return device;
}

GLDevice::~GLDevice() {
    if (m_context->context != EGL_NO_CONTEXT) {
        MakeCurrent();
        m_draw.reset(); // deletes the context's own objects while it is current
        m_targets.reset();
        GLShareGroup::Get().Collect();
        eglMakeCurrent(m_context->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(m_context->display, m_context->context);
    }
}

bool GLDevice::MakeCurrent() {
    if (m_context->context == EGL_NO_CONTEXT)
        return false;
    if (eglGetCurrentContext() == m_context->context)
        return true;
    eglBindAPI(EGL_OPENGL_API); // a thread new to EGL starts on OpenGL ES
    if (!eglMakeCurrent(m_context->display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_context->context))
        return false;
    GLShareGroup::Get().Collect();
    return true;
}

} // namespace Lumo::Devices
