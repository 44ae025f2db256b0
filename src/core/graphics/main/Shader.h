#pragma once
// A GL program built from up to five stage files. Attribute and output bindings and the uniform
// names are collected first and take effect at Link, which also caches every uniform location.
// GL types are spelled as plain integers so the header works whatever GL header came first.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ztgraphics {

// Stage slots in the order they are compiled and attached.
enum class ShaderStage : int {
    Vertex = 0,
    TessControl = 1,
    TessEvaluation = 2,
    Geometry = 3,
    Fragment = 4,
};

class Shader {
public:
    static constexpr int kStageCount = 5;

    // Uniform names are found by string_view: a setter called with a literal builds no
    // std::string, so a name longer than the small-string buffer costs no allocation per draw.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    using UniformLocations = std::unordered_map<std::string, int, NameHash, std::equal_to<>>;

    struct Binding {
        std::string name;
        unsigned int index = 0;
    };

    Shader() = default;
    // Frees CPU data only: the GL objects belong to whoever calls Destroy while the context lives.
    ~Shader() = default;

    void SetVertexShader(const std::string& path) { SetStage(ShaderStage::Vertex, path); }
    void SetFragmentShader(const std::string& path) { SetStage(ShaderStage::Fragment, path); }
    void SetGeometryShader(const std::string& path) { SetStage(ShaderStage::Geometry, path); }
    void SetStage(ShaderStage stage, const std::string& path);
    // GLSL generated at start-up (tables of constants, say) that the stage file uses but does not
    // hold: compiled right after the file's #version line. Error lines still count from the file.
    void SetStageHeader(ShaderStage stage, const std::string& glsl);

    void BindAttribute(unsigned int index, const std::string& name);
    void BindOutput(unsigned int index, const std::string& name);
    void AddUniform(const std::string& name);

    // Builds the program from every used stage. Returns its id, or 0 when a stage file is missing
    // (a line is printed and the caller is expected to skip the program). A compile or link error
    // prints the driver's log with the file names and stops the program: a broken shader is a
    // defect of the build, not a condition to run with.
    unsigned int Link();

    // Compiles one stage, with the header placed after its #version line. Returns 0 when the
    // file cannot be opened.
    unsigned int createShader(const std::string& path, unsigned int type, const std::string& header = {});

    // Looks up every registered uniform; names the program lacks are reported and left out.
    void CacheUniformLocations();
    // The cached location, or -1 for a name that is not registered or was not found.
    int GetUniformLocation(std::string_view name) const;

    void Destroy();

    unsigned int GetProgram() const { return m_program; }
    bool IsBuilt() const { return m_program != 0; }

    // glUseProgram, skipped while the program is not built.
    void Use() const;
    static void Unuse();

    // Uniform setters for the bound program; a location of -1 is skipped, as GL would do anyway,
    // without touching the GL error state.
    void SetInt(std::string_view name, int value) const;
    void SetFloat(std::string_view name, float value) const;
    void SetVec2(std::string_view name, float x, float y) const;
    void SetVec3(std::string_view name, float x, float y, float z) const;
    void SetVec4(std::string_view name, float x, float y, float z, float w) const;
    // Our matrices are row-major, so they are uploaded transposed.
    void SetMatrix4(std::string_view name, const float* rowMajor16) const;

    const std::vector<Binding>& GetAttributeBindings() const { return m_attributes; }
    const std::vector<Binding>& GetOutputBindings() const { return m_outputs; }
    const std::vector<std::string>& GetUniformNames() const { return m_uniformNames; }
    const UniformLocations& GetUniformLocations() const { return m_uniformLocations; }
    const std::string& GetStagePath(ShaderStage stage) const { return m_paths[static_cast<int>(stage)]; }

private:
    std::string DescribeFiles() const;

    unsigned int m_program = 0;
    std::array<unsigned int, kStageCount> m_shaders{};
    std::array<std::string, kStageCount> m_paths;
    std::array<std::string, kStageCount> m_headers;
    std::array<bool, kStageCount> m_used{};
    UniformLocations m_uniformLocations;
    std::vector<Binding> m_attributes;
    std::vector<std::string> m_uniformNames;
    std::vector<Binding> m_outputs;
};

}  // namespace ztgraphics
