// The OpenGL renderer under a real context: start-up with its targets and default material, mesh
// and instance-buffer uploads as GL sees them, and what the frame puts on the screen.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "RendererTestUtil.h"
#include "core/graphics/GLRenderer3D.h"
#include "core/graphics/framework/mesh/builders/HeightMapMeshBuilder.h"
#include "support/GLTestContext.h"
#include "support/TestSupport.h"

namespace {

using ztengine::GLRenderer3D;
using ztengine::GpuInstance;
using ztengine::InstanceTransform;
using ztmath::Vector3;

class GLRendererTest : public zttest::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped())
            return;
        width = m_gl->Width();
        height = m_gl->Height();
        initOutput = zttest::CaptureStdout([&] { renderer.Init(width, height, width, height); });
    }

    void TearDown() override
    {
        if (m_gl)
            renderer.Shutdown();
        GLTest::TearDown();
    }

    // A plane of the given model filling the view: one unit in front of the camera, facing it,
    // four units wide.
    InstanceTransform FacingPlane() const
    {
        InstanceTransform transform;
        transform.m_position = Vector3(0.0f, 0.0f, 1.0f);
        transform.m_scale = Vector3(4.0f, 4.0f, 1.0f);
        transform.SetBasis(ztmath::Basis(Vector3(0.0f, 0.0f, -1.0f), Vector3(0.0f, 1.0f, 0.0f), true));
        return transform;
    }

    // The four quadrant centres of the window.
    std::vector<zttest::Rgba> Quadrants() const
    {
        return {zttest::GLTestContext::ReadPixel(width / 4, height / 4),
                zttest::GLTestContext::ReadPixel(3 * width / 4, height / 4),
                zttest::GLTestContext::ReadPixel(width / 4, 3 * height / 4),
                zttest::GLTestContext::ReadPixel(3 * width / 4, 3 * height / 4)};
    }

    // The checkerboard under the frame's lighting: black squares stay black, white ones show
    // the light they get as one grey.
    static void ExpectChecker(const std::vector<zttest::Rgba>& q)
    {
        const zttest::Rgba black{0, 0, 0, 255};
        for (const zttest::Rgba& pixel : q) {
            const bool lit = pixel[0] > 60 && pixel[0] == pixel[1] && pixel[1] == pixel[2];
            EXPECT_TRUE(pixel == black || lit) << int(pixel[0]) << "," << int(pixel[1]) << "," << int(pixel[2]);
        }
        // Diagonal quadrants alike, neighbours different.
        EXPECT_EQ(q[0], q[3]);
        EXPECT_EQ(q[1], q[2]);
        EXPECT_NE(q[0], q[1]);
    }

    // The clear colour (0.4, 0.4, 0.6) reaches the window as named: (102, 102, 153).
    static void ExpectClearColour(const zttest::Rgba& pixel)
    {
        EXPECT_NEAR(pixel[0], 255.0f * 0.4f, 1.5f);
        EXPECT_NEAR(pixel[1], 255.0f * 0.4f, 1.5f);
        EXPECT_NEAR(pixel[2], 255.0f * 0.6f, 1.5f);
    }

    GLRenderer3D renderer;
    std::string initOutput;
    int width = 0;
    int height = 0;
};

struct TargetSize {
    int width;
    int height;
};

TargetSize TextureSize(GLuint texture)
{
    TargetSize size{0, 0};
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size.height);
    glBindTexture(GL_TEXTURE_2D, 0);
    return size;
}

std::vector<float> TexelsRgba(GLuint texture)
{
    std::vector<float> texels(4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

GLint TextureParameter(GLuint texture, GLenum name)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

TEST_F(GLRendererTest, InitCompletesWithEveryTargetComplete)
{
    EXPECT_TRUE(renderer.IsInitialised());
    EXPECT_EQ(initOutput.find("incomplete"), std::string::npos) << initOutput;
    EXPECT_EQ(initOutput.find("uniform location not found"), std::string::npos) << initOutput;
    EXPECT_TRUE(renderer.GetGeometryPrograms().IsReady());

    struct Target {
        const char* name;
        ztengine::FrameBufferObject* fbo;
        bool complete;
        size_t colours;
        size_t depths;
        TargetSize size;
    };
    const Target targets[] = {
        {"G-buffer", &renderer.GetGeometryPass().GetGBuffer(), renderer.GetGeometryPass().IsComplete(), 4, 1,
         {width, height}},
        {"scene", &renderer.GetLightPass().GetSceneTarget(), renderer.GetLightPass().IsComplete(), 2, 0,
         {width, height}},
        {"shadow map", &renderer.GetShadowPass().GetTarget(), renderer.GetShadowPass().IsComplete(), 1, 1,
         {2 * width, 2 * height}},
    };
    for (const Target& target : targets) {
        SCOPED_TRACE(target.name);
        EXPECT_TRUE(target.complete);
        glBindFramebuffer(GL_FRAMEBUFFER, target.fbo->GetId());
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        ASSERT_EQ(target.fbo->GetColorAttachments().size(), target.colours);
        EXPECT_EQ(target.fbo->GetDepthAttachments().size(), target.depths);
        const TargetSize size = TextureSize(target.fbo->GetColorAttachments()[0]);
        EXPECT_EQ(size.width, target.size.width);
        EXPECT_EQ(size.height, target.size.height);
    }
    EXPECT_EQ(renderer.GetShadowMapTexture(), renderer.GetShadowPass().GetTarget().GetDepthAttachments()[0]);

    // Material 0 from the default textures; the flat normal is encoded as normal maps are.
    const ztengine::RenderMaterial material = renderer.GetMaterial(0);
    EXPECT_EQ(TexelsRgba(material.m_normalTexture), (std::vector<float>{0.5f, 0.5f, 1.0f, 0.0f}));
    EXPECT_EQ(TexelsRgba(material.m_specularTexture), (std::vector<float>{0.01f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(TexelsRgba(material.m_displacementTexture)[0], 0.0f);
    unsigned char checker[12] = {};
    glBindTexture(GL_TEXTURE_2D, material.m_diffuseTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, checker);
    glBindTexture(GL_TEXTURE_2D, 0);
    const unsigned char expectedChecker[12] = {0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0};
    EXPECT_EQ(std::memcmp(checker, expectedChecker, sizeof(checker)), 0);

    // The state every frame starts from.
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint cullFace = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cullFace);
    EXPECT_EQ(cullFace, GL_BACK);
    EXPECT_EQ(renderer.GetOptions().m_effectsMask, 7);
    EXPECT_EQ(renderer.GetCurrentRenderContextIndex(), 0);
    EXPECT_EQ(renderer.GetCurrentEnvironmentIndex(), 0);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");

    // Shutdown releases what Init made.
    const GLuint gBuffer = renderer.GetGeometryPass().GetGBuffer().GetId();
    renderer.Shutdown();
    EXPECT_FALSE(renderer.IsInitialised());
    EXPECT_FALSE(glIsFramebuffer(gBuffer));
    EXPECT_FALSE(glIsTexture(material.m_diffuseTexture));
    EXPECT_FALSE(glIsTexture(material.m_normalTexture));
    EXPECT_TRUE(renderer.GetTextureLoader().GetTextures().empty());
}

TEST_F(GLRendererTest, MeshesUploadWithIntegerBoneIdsAndIndices)
{
    renderertest::PointsMesh skinned(renderertest::TrianglePoints(), 0, true);
    const int32_t mesh = renderer.AddMesh(skinned.mesh);
    const GLuint vao = renderer.GetRawModel(static_cast<uint32_t>(mesh)).m_vao;
    EXPECT_EQ(renderer.GetRawModel(static_cast<uint32_t>(mesh)).m_indexCount, 3u);
    glBindVertexArray(vao);

    struct Attribute {
        GLuint index;
        GLint size;
        GLenum type;
        GLint stride;
        size_t offset;
        bool integer;
    };
    for (const Attribute& a : {Attribute{0, 3, GL_FLOAT, 44, 0, false}, Attribute{1, 3, GL_FLOAT, 44, 12, false},
                               Attribute{2, 2, GL_FLOAT, 44, 24, false}, Attribute{3, 3, GL_FLOAT, 44, 32, false},
                               Attribute{4, 4, GL_FLOAT, 32, 0, false}, Attribute{5, 4, GL_INT, 32, 16, true}}) {
        SCOPED_TRACE(a.index);
        GLint value = 0;
        glGetVertexAttribiv(a.index, GL_VERTEX_ATTRIB_ARRAY_SIZE, &value);
        EXPECT_EQ(value, a.size);
        glGetVertexAttribiv(a.index, GL_VERTEX_ATTRIB_ARRAY_TYPE, &value);
        EXPECT_EQ(static_cast<GLenum>(value), a.type);
        glGetVertexAttribiv(a.index, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &value);
        EXPECT_EQ(value, a.stride);
        glGetVertexAttribiv(a.index, GL_VERTEX_ATTRIB_ARRAY_INTEGER, &value);
        EXPECT_EQ(value != 0, a.integer);
        // The passes enable what they draw with.
        glGetVertexAttribiv(a.index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &value);
        EXPECT_EQ(value, 0);
        void* pointer = nullptr;
        glGetVertexAttribPointerv(a.index, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
        EXPECT_EQ(reinterpret_cast<size_t>(pointer), a.offset);
    }
    GLint elements = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elements);
    ASSERT_NE(elements, 0);
    GLint elementBytes = 0;
    glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &elementBytes);
    EXPECT_EQ(elementBytes, 3 * 4);
    glBindVertexArray(0);

    // A mesh without skin has no skin buffer.
    const int32_t cube = renderer.CreateCubeMesh();
    glBindVertexArray(renderer.GetRawModel(static_cast<uint32_t>(cube)).m_vao);
    GLint skinBuffer = -1;
    glGetVertexAttribiv(4, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &skinBuffer);
    EXPECT_EQ(skinBuffer, 0);
    glBindVertexArray(0);

    // An instance buffer: attributes 6 to 10 read 72-byte records once per instance.
    const int32_t key = renderer.CreateInstanceBuffer(cube, 5, 0);
    const ztengine::InstanceBufferKey& record = renderer.GetInstanceBufferStore().GetKey(static_cast<uint32_t>(key));
    glBindVertexArray(record.m_vao);
    for (GLuint attribute = 6; attribute <= 10; ++attribute) {
        SCOPED_TRACE(attribute);
        GLint value = 0;
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_DIVISOR, &value);
        EXPECT_EQ(value, 1);
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &value);
        EXPECT_EQ(value, 72);
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &value);
        EXPECT_EQ(static_cast<GLuint>(value), record.m_vbo);
        void* pointer = nullptr;
        glGetVertexAttribPointerv(attribute, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
        EXPECT_EQ(reinterpret_cast<size_t>(pointer), (attribute - 6) * 16);
    }
    glBindVertexArray(0);
    GLint bytes = 0;
    glBindBuffer(GL_ARRAY_BUFFER, record.m_vbo);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(bytes, 5 * 72);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(GLRendererTest, TenInstancesAddedAfterAClearUploadExactlyTenRecords)
{
    renderer.CreateCubeMesh();
    const int32_t mesh = renderer.CreateCubeMesh();
    const int32_t key = renderer.CreateInstanceBuffer(mesh, 32, 0);
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(renderer.AddInstanceToBuffer(key, {static_cast<float>(i), 0.0f, 50.0f}, {}, 1.0f, {}));
    renderer.RenderFrame(0.016f);

    renderer.ClearInstances(static_cast<uint32_t>(key));
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(renderer.AddInstanceToBuffer(key, {100.0f + i, 0.0f, 50.0f}, {}, 1.0f, {0.5f, 0.25f}));
    renderer.RenderFrame(0.016f);

    std::vector<GpuInstance> records(32);
    glBindBuffer(GL_ARRAY_BUFFER, renderer.GetInstanceBufferStore().GetKey(static_cast<uint32_t>(key)).m_vbo);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 32 * sizeof(GpuInstance), records.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(records[i].m_matrix[12], 100.0f + i) << i;
        EXPECT_EQ(records[i].m_textureOffset[0], 0.5f) << i;
    }
    // The records past the ten new ones are what the first upload left: they were not written.
    for (int i = 10; i < 20; ++i)
        EXPECT_EQ(records[i].m_matrix[12], static_cast<float>(i)) << i;
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(GLRendererTest, AModelWithMaterialZeroDrawsTheCheckerboard)
{
    const int32_t plane = renderer.CreatePlaneMesh(1, 1);
    const int32_t model = renderer.CreateModel(static_cast<uint32_t>(plane), 0);

    // No instance: nothing drawn, the frame keeps its clear colour.
    renderer.RenderFrame(0.016f);
    ExpectClearColour(zttest::GLTestContext::ReadPixel(width / 2, height / 2));

    const ztengine::InstanceHandle instance = renderer.CreateInstance(model, FacingPlane());
    renderer.RenderFrame(0.016f);
    ExpectChecker(Quadrants());

    instance.SetHidden(true);
    renderer.RenderFrame(0.016f);
    ExpectClearColour(zttest::GLTestContext::ReadPixel(width / 2, height / 2));
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(GLRendererTest, AnInstanceBufferDrawsItsRecordsUntilHidden)
{
    renderer.CreateCubeMesh();
    const int32_t plane = renderer.CreatePlaneMesh(1, 1);
    const int32_t key = renderer.CreateInstanceBuffer(plane, 4, 0);
    // The buffer's scale is uniform: a plane 4 units across, 2 units away.
    const InstanceTransform facing = FacingPlane();
    ASSERT_TRUE(renderer.AddInstanceToBuffer(key, {0.0f, 0.0f, 1.5f}, facing.m_basis, 4.0f, {}));
    renderer.RenderFrame(0.016f);
    ExpectChecker(Quadrants());

    // The tint multiplies the texture: white turns red, black stays black.
    renderer.SetInstanceBufferTint(static_cast<uint32_t>(key), {1.0f, 0.0f, 0.0f, 1.0f});
    renderer.RenderFrame(0.016f);
    for (const zttest::Rgba& pixel : Quadrants()) {
        EXPECT_EQ(pixel[1], 0);
        EXPECT_EQ(pixel[2], 0);
    }

    renderer.SetInstanceBufferHidden(static_cast<uint32_t>(key), true);
    renderer.RenderFrame(0.016f);
    ExpectClearColour(zttest::GLTestContext::ReadPixel(width / 2, height / 2));
    EXPECT_EQ(renderer.GetInstanceCount(static_cast<uint32_t>(key)), 1u);
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(GLRendererTest, MaterialImagesAreLoadedWithTheirFilters)
{
    const int32_t id = renderer.CreateMaterial("textures/diff/barrel.png", "textures/spec/overworld_SPEC.png",
                                               "textures/nrm/overworld_NRM.png", "textures/disp/overworld_DISP.png");
    const ztengine::RenderMaterial material = renderer.GetMaterial(id);
    const ztengine::RenderMaterial defaults = renderer.GetMaterial(0);
    for (GLuint texture : {material.m_diffuseTexture, material.m_specularTexture, material.m_normalTexture,
                           material.m_displacementTexture}) {
        EXPECT_TRUE(glIsTexture(texture));
        EXPECT_NE(texture, defaults.m_diffuseTexture);
        EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
    }
    EXPECT_EQ(TextureParameter(material.m_diffuseTexture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(material.m_diffuseTexture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    for (GLuint texture : {material.m_specularTexture, material.m_normalTexture, material.m_displacementTexture}) {
        EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
        EXPECT_EQ(TextureParameter(texture, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    }
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(GLRendererTest, AMaterialImageThatCannotBeReadFallsBackToTheSlotsDefault)
{
    const std::string notAnImage = (zttest::MakeTempDir("badimage") / "not_an_image.png").string();
    std::ofstream(notAnImage) << "this is text, not a picture";
    int32_t id = -1;
    const std::string printed = zttest::CaptureStdout([&] {
        id = renderer.CreateMaterial("textures/diff/no_such_file.png", notAnImage.c_str(),
                                     "textures/nrm/overworld_NRM.png", nullptr);
    });
    EXPECT_NE(printed.find("Texture textures/diff/no_such_file.png cannot be read: the material "
                           "uses the default diffuse texture\n"),
              std::string::npos)
        << printed;
    EXPECT_NE(printed.find("Texture " + notAnImage +
                           " cannot be read: the material uses the default specular texture\n"),
              std::string::npos)
        << printed;
    const ztengine::RenderMaterial material = renderer.GetMaterial(id);
    const ztengine::RenderMaterial defaults = renderer.GetMaterial(0);
    EXPECT_EQ(material.m_diffuseTexture, defaults.m_diffuseTexture);
    EXPECT_EQ(material.m_specularTexture, defaults.m_specularTexture);
    EXPECT_NE(material.m_normalTexture, defaults.m_normalTexture);
    EXPECT_TRUE(glIsTexture(material.m_normalTexture));
    EXPECT_EQ(zttest::GLTestContext::TakeErrors(), "");
}

TEST_F(GLRendererTest, HeightImagesAreReadThroughTheRendererWhileItRuns)
{
    const int32_t terrain = renderer.CreateHeightMapMesh();
    const ztengine::MeshBounds& bounds = renderer.GetMeshAABB(static_cast<uint32_t>(terrain));
    // The default height image is black: a flat unit grid.
    EXPECT_EQ(bounds.m_min.y, 0.0f);
    EXPECT_EQ(bounds.m_max.y, 0.0f);
    EXPECT_EQ(bounds.m_max.x, 0.5f);
    ztengine::HeightMapMeshBuilder during;
    EXPECT_GT(during.GetImage().width, 0);
    EXPECT_EQ(during.GetImage().pixels.size(), static_cast<size_t>(during.GetImage().channels) *
                                                  during.GetImage().width * during.GetImage().height);

    renderer.Shutdown();
    ztengine::HeightMapMeshBuilder after;
    EXPECT_EQ(after.GetImage().width, 0);
}

}  // namespace
