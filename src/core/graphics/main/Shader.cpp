// Building, caching and releasing GL programs.
#include "core/graphics/main/Shader.h"

#include <GL/glew.h>

#include "core/util/assert/EngineAssert.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

namespace ztgraphics {

namespace {

constexpr GLenum kStageTypes[Shader::kStageCount] = {
    GL_VERTEX_SHADER, GL_TESS_CONTROL_SHADER, GL_TESS_EVALUATION_SHADER, GL_GEOMETRY_SHADER,
    GL_FRAGMENT_SHADER,
};

}  // namespace

void Shader::SetStage(ShaderStage stage, const std::string& path)
{
    const int slot = static_cast<int>(stage);
    m_paths[slot] = path;
    m_used[slot] = true;
}

void Shader::SetStageHeader(ShaderStage stage, const std::string& glsl)
{
    m_headers[static_cast<int>(stage)] = glsl;
}

void Shader::BindAttribute(GLuint index, const std::string& name)
{
    m_attributes.push_back({name, index});
}

void Shader::BindOutput(GLuint index, const std::string& name)
{
    m_outputs.push_back({name, index});
}

void Shader::AddUniform(const std::string& name)
{
    m_uniformNames.push_back(name);
}

std::string Shader::DescribeFiles() const
{
    std::string files;
    for (int i = 0; i < kStageCount; ++i) {
        if (!m_used[i])
            continue;
        if (!files.empty())
            files += ", ";
        files += m_paths[i];
    }
    return files;
}

GLuint Shader::Link()
{
    for (int i = 0; i < kStageCount; ++i) {
        if (!m_used[i])
            continue;
        m_shaders[i] = createShader(m_paths[i], kStageTypes[i], m_headers[i]);
        if (m_shaders[i] == 0) {
            // Do not leave the stages compiled so far behind.
            for (int j = 0; j < i; ++j) {
                if (m_used[j] && m_shaders[j] != 0) {
                    glDeleteShader(m_shaders[j]);
                    m_shaders[j] = 0;
                }
            }
            return 0;
        }
    }

    m_program = glCreateProgram();
    for (int i = 0; i < kStageCount; ++i) {
        if (m_used[i])
            glAttachShader(m_program, m_shaders[i]);
    }
    for (const Binding& b : m_attributes)
        glBindAttribLocation(m_program, b.index, b.name.c_str());
    for (const Binding& b : m_outputs)
        glBindFragDataLocation(m_program, b.index, b.name.c_str());

    glLinkProgram(m_program);
    GLint linked = GL_FALSE;
    glGetProgramiv(m_program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        GLchar log[1024] = {};
        glGetProgramInfoLog(m_program, sizeof(log), nullptr, log);
        std::cout << log << " [from: " << DescribeFiles() << "]" << std::endl;
        EngineAssert(false);
    }
    glValidateProgram(m_program);
    CacheUniformLocations();
    return m_program;
}

GLuint Shader::createShader(const std::string& path, GLenum type, const std::string& header)
{
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file) {
        std::cout << "Shader file not found: " << path << std::endl;
        return 0;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string source = text.str();
    if (!header.empty()) {
        // #version must stay the first thing; #line puts the file's own lines back at their numbers.
        const size_t lineEnd = source.find('\n');
        const bool versioned = source.compare(0, 8, "#version") == 0 && lineEnd != std::string::npos;
        const size_t at = versioned ? lineEnd + 1 : 0;
        source.insert(at, header + "\n#line " + (versioned ? "2" : "1") + "\n");
    }
    const GLchar* src = source.c_str();
    const GLint length = static_cast<GLint>(source.size());

    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &src, &length);
    glCompileShader(shader);

    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        GLchar log[1024] = {};
        glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
        std::cout << log << " [from: " << path << "]" << std::endl;
        EngineAssert(false);
    }
    return shader;
}

void Shader::CacheUniformLocations()
{
    for (const std::string& name : m_uniformNames) {
        const GLint location = glGetUniformLocation(m_program, name.c_str());
        if (location < 0) {
            std::cout << "uniform location not found: " << name << std::endl;
            continue;
        }
        m_uniformLocations[name] = location;
    }
}

GLint Shader::GetUniformLocation(std::string_view name) const
{
    auto it = m_uniformLocations.find(name);
    return it == m_uniformLocations.end() ? -1 : it->second;
}

void Shader::Destroy()
{
    if (m_program == 0)
        return;
    glUseProgram(0);
    for (int i = 0; i < kStageCount; ++i) {
        if (!m_used[i] || m_shaders[i] == 0)
            continue;
        glDetachShader(m_program, m_shaders[i]);
        glDeleteShader(m_shaders[i]);
        m_shaders[i] = 0;
    }
    glDeleteProgram(m_program);
    m_program = 0;
    m_uniformLocations.clear();
}

void Shader::Use() const
{
    if (m_program != 0)
        glUseProgram(m_program);
}

void Shader::Unuse()
{
    glUseProgram(0);
}

void Shader::SetInt(std::string_view name, GLint value) const
{
    const GLint loc = GetUniformLocation(name);
    if (loc >= 0)
        glUniform1i(loc, value);
}

void Shader::SetFloat(std::string_view name, GLfloat value) const
{
    const GLint loc = GetUniformLocation(name);
    if (loc >= 0)
        glUniform1f(loc, value);
}

void Shader::SetVec2(std::string_view name, GLfloat x, GLfloat y) const
{
    const GLint loc = GetUniformLocation(name);
    if (loc >= 0)
        glUniform2f(loc, x, y);
}

void Shader::SetVec3(std::string_view name, GLfloat x, GLfloat y, GLfloat z) const
{
    const GLint loc = GetUniformLocation(name);
    if (loc >= 0)
        glUniform3f(loc, x, y, z);
}

void Shader::SetVec4(std::string_view name, GLfloat x, GLfloat y, GLfloat z, GLfloat w) const
{
    const GLint loc = GetUniformLocation(name);
    if (loc >= 0)
        glUniform4f(loc, x, y, z, w);
}

void Shader::SetMatrix4(std::string_view name, const GLfloat* rowMajor16) const
{
    const GLint loc = GetUniformLocation(name);
    if (loc >= 0)
        glUniformMatrix4fv(loc, 1, GL_TRUE, rowMajor16);
}

}  // namespace ztgraphics
