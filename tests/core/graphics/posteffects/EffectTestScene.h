#pragma once
// A hand-filled G-buffer for the effect and particle screenshot tests: flat quads given in view
// space are drawn into view-space positions and normals, a scene colour, its bright part and the
// depth, with the renderer's 0.5 / 1000 perspective, so the passes can run without the frame.
// Also float read-back of textures and PNG artefacts under build/<dir>/test-artefacts/.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/graphics/framework/Graphics3D.h"
#include "core/graphics/glrenderer/PostEffects.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"
#include "support/GLTestContext.h"

namespace effecttest {

using ztmath::Vector3;
using ztmath::Vector4;

// One flat quad, corners counter-clockwise seen from the camera, in view space (camera at the
// origin looking down -z). Its colour is multiplied by a pattern of `checks` squares or stripes
// per side (0: plain); `bright` goes to the bloom source.
enum class Pattern { Checker = 0, StripesAcross = 1, StripesUp = 2 };

struct Quad {
    std::array<Vector3, 4> corners;
    Vector4 colour{1.0f, 1.0f, 1.0f, 1.0f};
    Vector4 bright{0.0f, 0.0f, 0.0f, 1.0f};
    float checks = 0.0f;
    // StripesAcross changes along the quad's first edge (vertical stripes on a facing quad),
    // StripesUp along its second.
    Pattern pattern = Pattern::Checker;
};

// An axis-aligned quad facing the camera at distance `depth`, spanning x0..x1 and y0..y1.
inline Quad FacingQuad(float x0, float y0, float x1, float y1, float depth)
{
    Quad quad;
    quad.corners = {Vector3(x0, y0, -depth), Vector3(x1, y0, -depth), Vector3(x1, y1, -depth),
                    Vector3(x0, y1, -depth)};
    return quad;
}

inline ztmath::Matrix4x4 TestProjection(int width, int height)
{
    ztmath::Matrix4x4 projection;
    projection.SetPerspective(1.5707964f, static_cast<float>(width) / static_cast<float>(height),
                              ztengine::Graphics3D::kNearPlane, ztengine::Graphics3D::kFarPlane);
    return projection;
}

inline GLuint CompileStage(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
        ADD_FAILURE() << "test shader: " << log;
    }
    return shader;
}

inline GLuint LinkProgram(const char* vertex, const char* fragment,
                          std::initializer_list<std::pair<GLuint, const char*>> attributes,
                          std::initializer_list<std::pair<GLuint, const char*>> outputs)
{
    const GLuint program = glCreateProgram();
    const GLuint vs = CompileStage(GL_VERTEX_SHADER, vertex);
    const GLuint fs = CompileStage(GL_FRAGMENT_SHADER, fragment);
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    for (const auto& [index, name] : attributes)
        glBindAttribLocation(program, index, name);
    for (const auto& [index, name] : outputs)
        glBindFragDataLocation(program, index, name);
    glLinkProgram(program);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    EXPECT_TRUE(ok) << "test program did not link";
    glDeleteShader(vs);
    glDeleteShader(fs);
    return program;
}

// The G-buffer and scene target of a test, with the quads drawn into it.
class EffectTestScene {
public:
    EffectTestScene(int width, int height) : m_width(width), m_height(height)
    {
        glGenFramebuffers(1, &m_fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
        for (size_t i = 0; i < m_colour.size(); ++i) {
            m_colour[i] = MakeTexture(GL_RGBA16F, GL_RGBA, GL_FLOAT);
            glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i), m_colour[i], 0);
        }
        m_depth = MakeTexture(GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT, GL_FLOAT);
        glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, m_depth, 0);
        const GLenum buffers[] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1, GL_COLOR_ATTACHMENT2,
                                  GL_COLOR_ATTACHMENT3};
        glDrawBuffers(4, buffers);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        glBindFramebuffer(GL_FRAMEBUFFER, 0);

        m_program = LinkProgram(kVertex, kFragment,
                                {{0, "position"}, {1, "normal"}, {2, "colour"}, {3, "bright"}, {4, "uv"}},
                                {{0, "outPosition"}, {1, "outNormal"}, {2, "outColour"}, {3, "outBright"}});
        glGenVertexArrays(1, &m_vao);
        glGenBuffers(1, &m_vbo);
    }

    ~EffectTestScene()
    {
        glDeleteBuffers(1, &m_vbo);
        glDeleteVertexArrays(1, &m_vao);
        glDeleteProgram(m_program);
        glDeleteFramebuffers(1, &m_fbo);
        glDeleteTextures(static_cast<GLsizei>(m_colour.size()), m_colour.data());
        glDeleteTextures(1, &m_depth);
    }

    // Clears to the sky (depth 1, colour `sky`) and draws the quads.
    void Draw(const std::vector<Quad>& quads, const Vector4& sky = Vector4(0.0f, 0.0f, 0.0f, 1.0f))
    {
        struct Vertex {
            float position[3], normal[3], colour[4], bright[4], uv[4];
        };
        std::vector<Vertex> vertices;
        static const float kUv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (const Quad& quad : quads) {
            Vector3 normal = (quad.corners[1] - quad.corners[0]).Cross(quad.corners[3] - quad.corners[0]);
            normal.Normalize();
            for (int corner : {0, 1, 2, 0, 2, 3}) {
                const Vector3& p = quad.corners[static_cast<size_t>(corner)];
                vertices.push_back(Vertex{{p.x, p.y, p.z},
                                          {normal.x, normal.y, normal.z},
                                          {quad.colour.x, quad.colour.y, quad.colour.z, quad.colour.w},
                                          {quad.bright.x, quad.bright.y, quad.bright.z, quad.bright.w},
                                          {kUv[corner][0], kUv[corner][1], quad.checks,
                                           static_cast<float>(quad.pattern)}});
            }
        }
        glBindVertexArray(m_vao);
        glBindBuffer(GL_ARRAY_BUFFER, m_vbo);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)), vertices.data(),
                     GL_STATIC_DRAW);
        const GLsizei stride = sizeof(Vertex);
        const GLint sizes[] = {3, 3, 4, 4, 4};
        size_t offset = 0;
        for (GLuint attribute = 0; attribute < 5; ++attribute) {
            glEnableVertexAttribArray(attribute);
            glVertexAttribPointer(attribute, sizes[attribute], GL_FLOAT, GL_FALSE, stride,
                                  reinterpret_cast<const void*>(offset));
            offset += static_cast<size_t>(sizes[attribute]) * sizeof(float);
        }

        glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
        glViewport(0, 0, m_width, m_height);
        const float zero[4] = {0, 0, 0, 0};
        const float skyColour[4] = {sky.x, sky.y, sky.z, sky.w};
        const float black[4] = {0, 0, 0, 1};
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        glDisable(GL_CULL_FACE);
        glClearBufferfv(GL_COLOR, 0, zero);
        glClearBufferfv(GL_COLOR, 1, zero);
        glClearBufferfv(GL_COLOR, 2, skyColour);
        glClearBufferfv(GL_COLOR, 3, black);
        glClearDepth(1.0);
        glClear(GL_DEPTH_BUFFER_BIT);
        glUseProgram(m_program);
        const ztmath::Matrix4x4 projection = TestProjection(m_width, m_height);
        glUniformMatrix4fv(glGetUniformLocation(m_program, "projection"), 1, GL_TRUE, projection.data());
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
        glUseProgram(0);
        for (GLuint attribute = 0; attribute < 5; ++attribute)
            glDisableVertexAttribArray(attribute);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    ztengine::PostEffectInputs Inputs() const
    {
        ztengine::PostEffectInputs inputs;
        inputs.m_depth = m_depth;
        inputs.m_positions = m_colour[0];
        inputs.m_normals = m_colour[1];
        inputs.m_sceneColor = m_colour[2];
        inputs.m_sceneBright = m_colour[3];
        return inputs;
    }

    GLuint SceneColour() const { return m_colour[2]; }
    GLuint Depth() const { return m_depth; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    ztmath::Matrix4x4 Projection() const { return TestProjection(m_width, m_height); }

private:
    GLuint MakeTexture(GLint internalFormat, GLenum format, GLenum type) const
    {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, m_width, m_height, 0, format, type, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindTexture(GL_TEXTURE_2D, 0);
        return texture;
    }

    static constexpr const char* kVertex = R"(#version 330
in vec3 position;
in vec3 normal;
in vec4 colour;
in vec4 bright;
in vec4 uv;
uniform mat4 projection;
out vec3 viewPosition;
out vec3 viewNormal;
out vec4 baseColour;
out vec4 brightColour;
out vec4 pattern;
void main()
{
    viewPosition = position;
    viewNormal = normal;
    baseColour = colour;
    brightColour = bright;
    pattern = uv;
    gl_Position = projection * vec4(position, 1.0);
}
)";
    static constexpr const char* kFragment = R"(#version 330
in vec3 viewPosition;
in vec3 viewNormal;
in vec4 baseColour;
in vec4 brightColour;
in vec4 pattern;
out vec4 outPosition;
out vec4 outNormal;
out vec4 outColour;
out vec4 outBright;
void main()
{
    float shade = 1.0;
    if (pattern.z > 0.0) {
        ivec2 cell = ivec2(floor(pattern.xy * pattern.z));
        if (pattern.w > 1.5)
            cell.x = 0;
        else if (pattern.w > 0.5)
            cell.y = 0;
        shade = ((cell.x + cell.y) & 1) == 0 ? 1.0 : 0.1;
    }
    outPosition = vec4(viewPosition, 1.0);
    outNormal = vec4(normalize(viewNormal), 0.0);
    outColour = vec4(baseColour.rgb * shade, baseColour.a);
    outBright = brightColour;
}
)";

    int m_width;
    int m_height;
    GLuint m_fbo = 0;
    std::array<GLuint, 4> m_colour{};
    GLuint m_depth = 0;
    GLuint m_program = 0;
    GLuint m_vao = 0;
    GLuint m_vbo = 0;
};

// Float RGBA (or the red channel in every slot, for one-channel textures) of a whole texture,
// rows bottom first.
struct FloatImage {
    int width = 0;
    int height = 0;
    std::vector<float> rgba;

    const float* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    float Red(int x, int y) const { return At(x, y)[0]; }
    float Luminance(int x, int y) const
    {
        const float* p = At(x, y);
        return 0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2];
    }
    // Mean luminance over a rectangle (inclusive bounds).
    float MeanLuminance(int x0, int y0, int x1, int y1) const
    {
        double sum = 0.0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                sum += Luminance(x, y);
        return static_cast<float>(sum / ((x1 - x0 + 1) * (y1 - y0 + 1)));
    }
    // Mean absolute luminance step between horizontal (dx = 1) or vertical (dy = 1) neighbours:
    // kept by an edge that is only softened, lost where stripes narrower than a blur turn grey.
    float Variation(int x0, int y0, int x1, int y1, int dx, int dy) const
    {
        double sum = 0.0;
        int count = 0;
        for (int y = y0; y + dy <= y1; ++y)
            for (int x = x0; x + dx <= x1; ++x, ++count)
                sum += std::fabs(Luminance(x + dx, y + dy) - Luminance(x, y));
        return count > 0 ? static_cast<float>(sum / count) : 0.0f;
    }
    // Mean squared luminance step between horizontal (dx = 1) or vertical (dy = 1) neighbours:
    // sharp edges score high, the same edges spread over several pixels low.
    float Detail(int x0, int y0, int x1, int y1, int dx, int dy) const
    {
        double sum = 0.0;
        int count = 0;
        for (int y = y0; y + dy <= y1; ++y)
            for (int x = x0; x + dx <= x1; ++x, ++count)
            {
                const double step = Luminance(x + dx, y + dy) - Luminance(x, y);
                sum += step * step;
            }
        return count > 0 ? static_cast<float>(sum / count) : 0.0f;
    }
};

inline FloatImage ReadTexture(GLuint texture)
{
    FloatImage image;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &image.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &image.height);
    image.rgba.assign(static_cast<size_t>(image.width) * image.height * 4, 0.0f);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, image.rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return image;
}

inline std::filesystem::path ArtefactDir()
{
    const std::filesystem::path dir = std::filesystem::path(ZT_TEST_TMP_DIR).parent_path() / "test-artefacts";
    std::filesystem::create_directories(dir);
    return dir;
}

// Saves images side by side as one PNG (values clamped to 0..1, single-channel ones as grey).
inline void SaveArtefact(const std::string& name, const std::vector<FloatImage>& images, bool grey = false)
{
    int width = 0;
    int height = 0;
    for (const FloatImage& image : images) {
        width += image.width;
        height = std::max(height, image.height);
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4, 0);
    int left = 0;
    for (const FloatImage& image : images) {
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const float* p = image.At(x, y);
                uint8_t* out = &pixels[(static_cast<size_t>(y) * width + left + x) * 4];
                for (int c = 0; c < 3; ++c)
                    out[c] = static_cast<uint8_t>(std::clamp(grey ? p[0] : p[c], 0.0f, 1.0f) * 255.0f + 0.5f);
                out[3] = 255;
            }
        }
        left += image.width;
    }
    EXPECT_TRUE(zttest::GLTestContext::SavePng(ArtefactDir() / name, pixels, width, height));
}

}  // namespace effecttest
