#include <Lumo/Devices/GLInternal.h>

namespace Lumo::Devices {

namespace {

// Matrices arrive row-major for row vectors; read as column-major they are transposed, so
// "M * v" here is the row-vector "v * M" of the host code.
const char* kVertex = R"(
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColor;
layout(location = 3) in vec2 aTex;
uniform mat4 uWorld;
uniform mat4 uViewProj;
uniform mat3 uNormalMat;
uniform int uClipCount;
uniform vec4 uClip[6];
uniform float uDepthShift;
out vec3 vWorld;
out vec3 vNormal;
#ifdef VCOLOR
out vec4 vColor;
#endif
#ifdef TEXTURED
out vec2 vTex;
#endif
#ifdef CLIP
out float gl_ClipDistance[6];
#endif
void main() {
    vec4 w = uWorld * vec4(aPos, 1.0);
    vWorld = w.xyz / w.w;
    vNormal = uNormalMat * aNormal;
#ifdef VCOLOR
    vColor = aColor;
#endif
#ifdef TEXTURED
    vTex = aTex;
#endif
    gl_Position = uViewProj * w;
    gl_Position.z -= uDepthShift * gl_Position.w;
#ifdef CLIP
    for (int i = 0; i < 6; ++i)
        gl_ClipDistance[i] = i < uClipCount ? dot(uClip[i], vec4(vWorld, 1.0)) : 1.0;
#endif
}
)";

const char* kLighting = R"(
in vec3 vWorld;
in vec3 vNormal;
#ifdef VCOLOR
in vec4 vColor;
#else
const vec4 vColor = vec4(1.0);
#endif
#ifdef TEXTURED
in vec2 vTex;
#endif
out vec4 oColor;
uniform int uLightCount;
uniform int uLightType[8];
uniform vec3 uLightDir[8];
uniform vec3 uLightPos[8];
uniform vec3 uLightColor[8];
uniform vec3 uLightSpec[8];
uniform vec3 uLightAtt[8];
uniform vec2 uLightSpot[8];
uniform vec3 uAmbientLight;
uniform vec3 uEye;
uniform vec3 uViewDir;
uniform int uOrtho;
uniform int uIbl;
uniform vec3 uShAmbient[9];
uniform vec3 uShGlossy[9];

vec3 toViewer() { return uOrtho == 1 ? -uViewDir : normalize(uEye - vWorld); }

// The interpolated normal, turned to the viewer for back faces; meshes without normals get
// the facet's own.
vec3 surfaceNormal(vec3 V) {
#ifdef FLAT
    vec3 n = cross(dFdx(vWorld), dFdy(vWorld));
    if (dot(n, n) < 1e-30)
        return V;
    n = normalize(n);
    return dot(n, V) < 0.0 ? -n : n;
#else
    vec3 n = vNormal;
    if (dot(n, n) < 1e-12)
        return V; // a degenerate normal faces the viewer
    n = normalize(n);
    return gl_FrontFacing ? n : -n;
#endif
}

// Light of the environment about a direction, from its spherical-harmonic coefficients.
vec3 shLight(vec3 sh[9], vec3 n) {
    return sh[0] * 0.282095 + (sh[1] * n.y + sh[2] * n.z + sh[3] * n.x) * 0.488603 +
           (sh[4] * (n.x * n.y) + sh[5] * (n.y * n.z) + sh[7] * (n.x * n.z)) * 1.092548 +
           sh[6] * (0.315392 * (3.0 * n.z * n.z - 1.0)) + sh[8] * (0.546274 * (n.x * n.x - n.y * n.y));
}

vec3 shade(vec3 N, vec3 V, vec3 ambient, vec3 diffuse, vec3 specular, float shininess) {
    vec3 c = ambient * uAmbientLight;
    if (uIbl != 0) {
        c += diffuse * max(shLight(uShAmbient, N), vec3(0.0));
        vec3 R = reflect(-V, N);
        c += specular * max(shLight(uShGlossy, R), vec3(0.0));
    }
    for (int i = 0; i < uLightCount; ++i) {
        vec3 L;
        float att = 1.0;
        if (uLightType[i] == 0) {
            L = -uLightDir[i];
        } else {
            vec3 d = uLightPos[i] - vWorld;
            float dist = length(d);
            L = d / max(dist, 1e-6);
            att = 1.0 / max(uLightAtt[i].x + uLightAtt[i].y * dist + uLightAtt[i].z * dist * dist, 1e-6);
            if (uLightType[i] == 2)
                att *= smoothstep(uLightSpot[i].y, uLightSpot[i].x, dot(-L, uLightDir[i]));
        }
        float nl = dot(N, L);
        if (nl > 0.0) {
            c += att * diffuse * uLightColor[i] * nl;
            vec3 s = specular * uLightSpec[i];
            if (s.r + s.g + s.b > 0.0) {
                vec3 H = normalize(L + V);
                c += att * s * pow(max(dot(N, H), 0.0), max(shininess, 1.0));
            }
        }
    }
    return c;
}
)";

const char* kSolid = R"(
uniform vec4 uColor;
uniform float uOpacity;
uniform int uColorSource;
uniform int uVertexColorAlpha;
uniform int uLighting;
#ifdef TEXTURED
uniform sampler2D uTexture;
uniform int uHasTexture;
uniform int uTextureAlpha;
uniform int uBlendMode;
uniform mat4 uTexTransform;
#endif
void main() {
    vec4 c = uColor;
    if (uColorSource == 2) {
        c.rgb = vColor.rgb;
        if (uVertexColorAlpha != 0)
            c.a = vColor.a;
    }
#ifdef TEXTURED
    if (uHasTexture != 0) {
        vec2 tc = (uTexTransform * vec4(vTex, 0.0, 1.0)).xy;
        vec4 t = texture(uTexture, tc);
        if (uTextureAlpha == 0)
            t.a = 1.0;
        if (uBlendMode == 1)
            c = t;
        else if (uBlendMode == 2)
            c.rgb = mix(c.rgb, t.rgb, t.a);
        else if (uBlendMode == 3)
            c.rgb = min(c.rgb + t.rgb, vec3(1.0));
        else
            c *= t;
    }
#endif
#ifndef FLAT
    if (uLighting != 0) {
        vec3 V = toViewer();
        vec3 N = surfaceNormal(V);
        c.rgb = shade(N, V, c.rgb, c.rgb, vec3(0.15), 30.0);
    }
#endif
    oColor = vec4(c.rgb, c.a * uOpacity);
}
)";

const char* kMaterial = R"(
uniform vec3 uEmissive;
uniform vec3 uAmbient;
uniform vec3 uDiffuse;
uniform vec3 uSpecular;
uniform float uShininess;
uniform float uOpacity;
uniform int uColorSource;
uniform float uReflectionBlend;
void main() {
    vec3 diffuse = uDiffuse;
    vec3 ambient = uAmbient;
    float alpha = uOpacity;
    if (uColorSource == 2) {
        diffuse = vColor.rgb;
        ambient = vColor.rgb;
        alpha *= vColor.a;
    }
    vec3 V = toViewer();
    vec3 N = surfaceNormal(V);
    vec3 c = uEmissive + shade(N, V, ambient, diffuse, uSpecular, uShininess);
    oColor = vec4(min(c, vec3(1.0)), alpha);
}
)";

GLuint Compile(GLenum kind, const std::string& source, std::string& log) {
    GLuint s = glCreateShader(kind);
    const char* text = source.c_str();
    glShaderSource(s, 1, &text, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char buffer[2048] = {};
        glGetShaderInfoLog(s, sizeof buffer - 1, nullptr, buffer);
        log += buffer;
        glDeleteShader(s);
        return 0;
    }
    return s;
}

} // namespace

GLuint BuildProgram(const std::string& vertexSource, const std::string& fragmentSource, std::string& log) {
    GLuint vs = Compile(GL_VERTEX_SHADER, vertexSource, log);
    GLuint fs = Compile(GL_FRAGMENT_SHADER, fragmentSource, log);
    if (!vs || !fs) {
        glDeleteShader(vs);
        glDeleteShader(fs);
        return 0;
    }
    GLuint prog = glCreateProgram();
    glAttachShader(prog, vs);
    glAttachShader(prog, fs);
    glLinkProgram(prog);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(prog, GL_LINK_STATUS, &ok);
    if (!ok) {
        char buffer[2048] = {};
        glGetProgramInfoLog(prog, sizeof buffer - 1, nullptr, buffer);
        log += buffer;
        glDeleteProgram(prog);
        return 0;
    }
    return prog;
}

namespace {

bool Link(GLProgram& p, const std::string& defines, const std::string& fragment, std::string& log) {
    const GLuint prog = BuildProgram(defines + kVertex, defines + fragment, log);
    if (!prog)
        return false;
    p.program = prog;
    auto at = [prog](const char* name) { return glGetUniformLocation(prog, name); };
    p.world = at("uWorld");
    p.viewProj = at("uViewProj");
    p.normalMat = at("uNormalMat");
    p.clipCount = at("uClipCount");
    p.clip = at("uClip");
    p.depthShift = at("uDepthShift");
    p.lightCount = at("uLightCount");
    p.lightType = at("uLightType");
    p.lightDir = at("uLightDir");
    p.lightPos = at("uLightPos");
    p.lightColor = at("uLightColor");
    p.lightSpec = at("uLightSpec");
    p.lightAtt = at("uLightAtt");
    p.lightSpot = at("uLightSpot");
    p.ambientLight = at("uAmbientLight");
    p.ibl = at("uIbl");
    p.shAmbient = at("uShAmbient");
    p.shGlossy = at("uShGlossy");
    p.eye = at("uEye");
    p.viewDir = at("uViewDir");
    p.ortho = at("uOrtho");
    p.color = at("uColor");
    p.opacity = at("uOpacity");
    p.colorSource = at("uColorSource");
    p.vertexColorAlpha = at("uVertexColorAlpha");
    p.lighting = at("uLighting");
    p.texture = at("uTexture");
    p.hasTexture = at("uHasTexture");
    p.textureAlpha = at("uTextureAlpha");
    p.blendMode = at("uBlendMode");
    p.texTransform = at("uTexTransform");
    p.emissive = at("uEmissive");
    p.ambient = at("uAmbient");
    p.diffuse = at("uDiffuse");
    p.specular = at("uSpecular");
    p.shininess = at("uShininess");
    p.reflectionBlend = at("uReflectionBlend");
    return true;
}

} // namespace

bool CompileStockProgram(int variant, GLProgram& program, std::string& log) {
    // Only what a variant uses is passed on: llvmpipe interpolates every output per pixel.
    std::string defines = "#version 450 core\n";
    const int base = variant & kVariantBaseMask;
    if (base == eProgSolidT)
        defines += "#define TEXTURED 1\n";
    if (variant & kVariantVertexColor)
        defines += "#define VCOLOR 1\n";
    if (variant & kVariantClip)
        defines += "#define CLIP 1\n";
    if (variant & kVariantFlat)
        defines += "#define FLAT 1\n"; // no normals: facets shade by their own plane
    return Link(program, defines, std::string(kLighting) + (base == eProgMaterial ? kMaterial : kSolid), log);
}

} // namespace Lumo::Devices
