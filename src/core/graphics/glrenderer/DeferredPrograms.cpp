// Building the deferred frame's programs.
#include "core/graphics/glrenderer/DeferredPrograms.h"

#include <GL/glew.h>

#include <initializer_list>

#include "core/graphics/framework/GLObjectRegistry.h"

namespace ztengine {

namespace {

using ztgraphics::Shader;

struct Bound {
    uint32_t index;
    const char* name;
};

// Files, bindings and uniforms; false when a file is missing (the program stays unbuilt).
bool Build(Shader& shader, const char* vertex, const char* fragment, std::initializer_list<Bound> attributes,
           std::initializer_list<Bound> outputs, std::initializer_list<const char*> uniforms)
{
    shader.SetVertexShader(vertex);
    shader.SetFragmentShader(fragment);
    for (const Bound& attribute : attributes)
        shader.BindAttribute(attribute.index, attribute.name);
    for (const Bound& output : outputs)
        shader.BindOutput(output.index, output.name);
    for (const char* uniform : uniforms)
        shader.AddUniform(uniform);
    return shader.Link() != 0;
}

constexpr Bound kGeometryOutputs[] = {{0, "output0"}, {1, "output1"}, {2, "output2"}, {3, "output3"}};

void SetTextureUnits(const Shader& shader, std::initializer_list<const char*> samplers)
{
    int unit = 0;
    for (const char* sampler : samplers)
        shader.SetInt(sampler, unit++);
}

}  // namespace

// ---- Geometry

bool GeometryPrograms::Init()
{
    using A = GLObjectRegistry;
    const auto outputs = {kGeometryOutputs[0], kGeometryOutputs[1], kGeometryOutputs[2], kGeometryOutputs[3]};
    if (Build(plain, "shaders/deferred_geom_pass.vert", "shaders/deferred_geom_pass_normalMap.frag",
              {{A::kPositionAttribute, "pos"},
               {A::kNormalAttribute, "nrm"},
               {A::kTexCoordAttribute, "uv"},
               {A::kTangentAttribute, "tan"},
               {A::kBoneWeightsAttribute, "boneWeights"},
               {A::kBoneIdsAttribute, "boneIDs"}},
              outputs,
              {"mvpMat", "viewMat", "normalMat", "textureMultiplier", "bones", "hasBones", "diffuseMap",
               "specularMap", "normalMap", "dispMap", "gamma", "effectsMask", "enableParallaxMap", "near", "far",
               "tint", "blackCutOut"})) {
        plain.Use();
        plain.SetInt("hasBones", 0);
        SetTextureUnits(plain, {"diffuseMap", "specularMap", "normalMap", "dispMap"});
    }
    if (Build(instanced, "shaders/deferred_geom_instanced_pass.vert", "shaders/deferred_geom_pass_normalMap.frag",
              {{A::kPositionAttribute, "pos"},
               {A::kNormalAttribute, "nrm"},
               {A::kTexCoordAttribute, "uv"},
               {A::kTangentAttribute, "tan"},
               {A::kInstanceMatrixAttribute, "affineMat"},
               {A::kInstanceTextureOffsetAttribute, "textureOffset"}},
              outputs,
              {"numberOfRows", "projMat", "enableFakeLighting", "viewMat", "diffuseMap", "specularMap", "normalMap",
               "dispMap", "gamma", "effectsMask", "enableParallaxMap", "near", "far", "tint", "blackCutOut"})) {
        instanced.Use();
        instanced.SetFloat("numberOfRows", 1.0f);
        instanced.SetInt("enableFakeLighting", 0);
        SetTextureUnits(instanced, {"diffuseMap", "specularMap", "normalMap", "dispMap"});
        instanced.SetVec4("tint", 1.0f, 1.0f, 1.0f, 0.0f);
        instanced.SetFloat("blackCutOut", 0.0f);
    }
    Shader::Unuse();
    return IsReady();
}

void GeometryPrograms::Release()
{
    plain.Destroy();
    instanced.Destroy();
}

void GeometryPrograms::SetClipPlanes(float nearPlane, float farPlane)
{
    for (const Shader* shader : {&plain, &instanced}) {
        if (!shader->IsBuilt())
            continue;
        shader->Use();
        shader->SetFloat("near", nearPlane);
        shader->SetFloat("far", farPlane);
    }
    Shader::Unuse();
}

// ---- Shadow

bool ShadowPrograms::Init()
{
    using A = GLObjectRegistry;
    if (Build(plain, "shaders/directional_shadowmap.vert", "shaders/directional_shadowmap.frag",
              {{A::kPositionAttribute, "pos"}, {A::kBoneWeightsAttribute, "boneWeights"},
               {A::kBoneIdsAttribute, "boneIDs"}},
              {}, {"lightMVP", "bones", "hasBones"})) {
        plain.Use();
        plain.SetInt("hasBones", 0);
    }
    Build(instanced, "shaders/directional_shadowmap_instanced.vert", "shaders/directional_shadowmap.frag",
          {{A::kPositionAttribute, "pos"}, {A::kInstanceMatrixAttribute, "affineMat"}}, {}, {"lightVP"});
    Shader::Unuse();
    return plain.IsBuilt() && instanced.IsBuilt();
}

void ShadowPrograms::Release()
{
    plain.Destroy();
    instanced.Destroy();
}

// ---- Light

bool LightProgram::Init()
{
    if (!Build(program, "shaders/deferred_dlight.vert", "shaders/deferred_dlight.frag", {},
               {{0, "fragOut"}, {1, "brightOut"}},
               {"lightDir", "lightIntensity", "depthMap", "positionsMap", "normalsMap", "materialsMap", "ambientMap",
                "tintMap", "shadowMap", "bloomEnabled", "ssaoEnabled", "bloomThreshold", "inverseViewMat",
                "enableFog", "fogColor", "fogGradient", "fogDensity", "pointLights", "pointLightsColor",
                "numPointLights", "enableDirectionalLight", "shadowsEnabled", "dLightVP"}))
        return false;
    program.Use();
    SetTextureUnits(program,
                    {"depthMap", "positionsMap", "normalsMap", "materialsMap", "ambientMap", "tintMap", "shadowMap"});
    program.SetVec3("bloomThreshold", 0.2126f, 0.7152f, 0.0722f);
    program.SetInt("enableFog", 0);
    program.SetFloat("fogGradient", 1.5f);
    program.SetFloat("fogDensity", 0.007f);
    program.SetInt("numPointLights", 0);
    program.SetInt("enableDirectionalLight", 0);
    program.SetInt("shadowsEnabled", 1);
    Shader::Unuse();
    return true;
}

void LightProgram::Release()
{
    program.Destroy();
}

// ---- Sky box

bool SkyboxProgram::Init()
{
    // "inverseProjMat" lets the vertex program build true view rays for the window's aspect.
    const bool built = Build(program, "shaders/skybox.vs", "shaders/skybox.fs", {},
                             {{0, "finalSky"}, {1, "brightOut"}},
                             {"gWVP", "blendFactor", "sky0", "sky1", "gamma", "inverseProjMat"});
    Shader::Unuse();
    return built;
}

void SkyboxProgram::Release()
{
    program.Destroy();
}

// ---- Final quad

bool FinalQuadProgram::Init()
{
    if (!Build(program, "shaders/quad.vert", "shaders/quad.frag", {}, {}, {"pvMat", "textureSampler", "gamma"}))
        return false;
    program.Use();
    program.SetInt("textureSampler", 0);
    Shader::Unuse();
    return true;
}

void FinalQuadProgram::Release()
{
    program.Destroy();
}

// ---- Arrays

void SetMatrixArray(const ztgraphics::Shader& program, const char* name, const float* rowMajor, uint32_t count)
{
    const GLint location = program.GetUniformLocation(name);
    if (location >= 0 && count > 0)
        glUniformMatrix4fv(location, static_cast<GLsizei>(count), GL_TRUE, rowMajor);
}

void SetVec4Array(const ztgraphics::Shader& program, const char* name, const float* values, uint32_t count)
{
    const GLint location = program.GetUniformLocation(name);
    if (location >= 0 && count > 0)
        glUniform4fv(location, static_cast<GLsizei>(count), values);
}

}  // namespace ztengine
