// Shader programs under a real GL context: bindings before link, the uniform map, missing files,
// and compile or link errors that stop the program with the file named.
#include "core/graphics/main/Shader.h"

#include "support/GLTestContext.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace {

const char* kVertex = R"(#version 330
in vec3 position;
in vec2 uv;
uniform mat4 transform;
uniform float scale;
out vec2 texCoord;
void main() { texCoord = uv; gl_Position = transform * vec4(position * scale, 1.0); }
)";

const char* kFragment = R"(#version 330
in vec2 texCoord;
uniform vec4 tint;
out vec4 colour;
out vec4 extra;
void main() { colour = tint * vec4(texCoord, 0.0, 1.0); extra = tint; }
)";

class ShaderTest : public zttest::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        m_dir = zttest::MakeTempDir("shader");
        Write("ok.vert", kVertex);
        Write("ok.frag", kFragment);
    }

    std::string Write(const std::string& name, const std::string& text)
    {
        std::ofstream(m_dir / name) << text;
        return (m_dir / name).string();
    }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    std::filesystem::path m_dir;
};

TEST_F(ShaderTest, BindingsTakeEffectAndUniformsAreCached)
{
    ztgraphics::Shader shader;
    shader.SetVertexShader(Path("ok.vert"));
    shader.SetFragmentShader(Path("ok.frag"));
    shader.BindAttribute(5, "position");
    shader.BindAttribute(2, "uv");
    shader.BindOutput(1, "colour");
    shader.BindOutput(0, "extra");
    for (const char* name : {"transform", "scale", "tint", "notThere"})
        shader.AddUniform(name);

    GLuint program = 0;
    const std::string out = zttest::CaptureStdout([&] { program = shader.Link(); });
    ASSERT_NE(program, 0u);
    EXPECT_EQ(shader.GetProgram(), program);
    EXPECT_EQ(out, "uniform location not found: notThere\n");

    EXPECT_EQ(glGetAttribLocation(program, "position"), 5);
    EXPECT_EQ(glGetAttribLocation(program, "uv"), 2);
    EXPECT_EQ(glGetFragDataLocation(program, "colour"), 1);
    EXPECT_EQ(glGetFragDataLocation(program, "extra"), 0);

    const auto& map = shader.GetUniformLocations();
    EXPECT_EQ(map.size(), 3u);
    for (const char* name : {"transform", "scale", "tint"}) {
        EXPECT_EQ(shader.GetUniformLocation(name), glGetUniformLocation(program, name)) << name;
        EXPECT_GE(shader.GetUniformLocation(name), 0) << name;
    }
    EXPECT_EQ(shader.GetUniformLocation("notThere"), -1);
    EXPECT_EQ(shader.GetUniformLocation("neverRegistered"), -1);

    shader.Use();
    shader.SetFloat("scale", 2.5f);
    shader.SetFloat("notThere", 1.0f);  // skipped, no GL error
    GLfloat scale = 0.0f;
    glGetUniformfv(program, shader.GetUniformLocation("scale"), &scale);
    EXPECT_EQ(scale, 2.5f);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");

    shader.Destroy();
    EXPECT_EQ(shader.GetProgram(), 0u);
    EXPECT_TRUE(shader.GetUniformLocations().empty());
    EXPECT_EQ(glIsProgram(program), GL_FALSE);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(ShaderTest, MissingFileIsReportedAndBuildsNothing)
{
    ztgraphics::Shader shader;
    shader.SetVertexShader(Path("ok.vert"));
    shader.SetFragmentShader(Path("nowhere.frag"));
    GLuint program = 1;
    const std::string out = zttest::CaptureStdout([&] { program = shader.Link(); });
    EXPECT_EQ(program, 0u);
    EXPECT_FALSE(shader.IsBuilt());
    EXPECT_EQ(out, "Shader file not found: " + Path("nowhere.frag") + "\n");
    shader.Use();  // skipped while nothing is built
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
}

// The report goes to standard output; the death-test child sends it to standard error, where
// EXPECT_DEATH looks (its pattern is a POSIX extended expression: '.' also matches line ends).
// The child re-runs the test in a scratch folder of its own, so patterns leave the folder out.
void LinkWithStdoutOnStderr(ztgraphics::Shader& shader)
{
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    shader.Link();
}

TEST_F(ShaderTest, CompileErrorStopsWithTheFileName)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Write("bad.frag", "#version 330\nout vec4 c;\nvoid main() { c = undefinedThing; }\n");
    ztgraphics::Shader shader;
    shader.SetVertexShader(Path("ok.vert"));
    shader.SetFragmentShader(Path("bad.frag"));
    EXPECT_DEATH(LinkWithStdoutOnStderr(shader),
                 "undefinedThing.* \\[from: [^]]*/bad\\.frag\\].*ztgraphics::Shader::createShader");
}

TEST_F(ShaderTest, StageHeaderIsCompiledAfterTheVersionLine)
{
    // The file uses a constant only the header defines; the header must not come before #version.
    Write("header.frag", "#version 330\nout vec4 colour;\nvoid main() { colour = HEADER_TINT; }\n");
    ztgraphics::Shader shader;
    shader.SetVertexShader(Path("ok.vert"));
    shader.SetFragmentShader(Path("header.frag"));
    shader.SetStageHeader(ztgraphics::ShaderStage::Fragment,
                          "const vec4 HEADER_TINT = vec4(0.25, 0.5, 0.75, 1.0);\nconst float UNUSED = 1.0;");
    EXPECT_NE(shader.Link(), 0u);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
    shader.Destroy();
}

TEST_F(ShaderTest, ErrorsAfterAStageHeaderCarryTheFilesLineNumbers)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Write("bad_line.frag", "#version 330\nout vec4 c;\nvoid main() { c = undefinedThing; }\n");
    ztgraphics::Shader shader;
    shader.SetVertexShader(Path("ok.vert"));
    shader.SetFragmentShader(Path("bad_line.frag"));
    shader.SetStageHeader(ztgraphics::ShaderStage::Fragment, "const float A = 1.0;\nconst float B = 2.0;\n");
    EXPECT_DEATH(LinkWithStdoutOnStderr(shader), "0:3\\([0-9]+\\): error: .*undefinedThing");
}

TEST_F(ShaderTest, LinkErrorStopsWithTheFileNames)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Compiles on its own, but calls a function no stage defines.
    Write("link.frag", "#version 330\nout vec4 c;\nvec4 helper();\nvoid main() { c = helper(); }\n");
    ztgraphics::Shader shader;
    shader.SetVertexShader(Path("ok.vert"));
    shader.SetFragmentShader(Path("link.frag"));
    EXPECT_DEATH(LinkWithStdoutOnStderr(shader),
                 "\\[from: [^],]*/ok\\.vert, [^]]*/link\\.frag\\].*ztgraphics::Shader::Link");
}

}  // namespace
