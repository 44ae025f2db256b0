// Loading the sky boxes' cube maps and drawing the sky.
#include "core/graphics/framework/env/Skybox.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>

#include "core/graphics/framework/env/CubeCross.h"
#include "core/graphics/framework/textureloader/TextureLoader.h"
#include "core/graphics/main/Shader.h"

namespace ztengine {

uint32_t LoadCubeMapFromCross(const char* path)
{
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
    if (DecodeImage(path, &pixels, &width, &height, &bytesPerPixel) == 0)
        return 0;
    CubeCrossFaces faces;
    const bool cut = ExtractCubeCrossFaces(pixels, width, height, bytesPerPixel, faces);
    std::free(pixels);
    if (!cut) {
        std::printf("Sky box picture is not a 4 x 3 cross: %s\n", path);
        std::fflush(stdout);
        return 0;
    }

    GLuint cubeMap = 0;
    glGenTextures(1, &cubeMap);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const bool rgb = bytesPerPixel == 3;
    for (int face = 0; face < 6; ++face) {
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(face), 0, rgb ? GL_RGB8 : GL_RGBA8,
                     faces.size, faces.size, 0, rgb ? GL_RGB : GL_RGBA, GL_UNSIGNED_BYTE,
                     faces.faces[static_cast<size_t>(face)].data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    return cubeMap;
}

void Skybox::Create()
{
    // The first cube map is made before the second picture is decoded.
    m_cubeMap0 = LoadCubeMapFromCross(kFirstImage);
    if (m_cubeMap0 == 0) {
        assert(!"cubeMap0Dir == nullptr");
        std::exit(1);
    }
    m_cubeMap1 = LoadCubeMapFromCross(kSecondImage);
    if (m_cubeMap1 == 0) {
        assert(!"cubeMap1Dir == nullptr");
        std::exit(1);
    }
}

void Skybox::Draw(const ztgraphics::Shader& program) const
{
    glDisable(GL_DEPTH_TEST);
    program.SetFloat("blendFactor", m_blendFactor);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, m_cubeMap0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_CUBE_MAP, m_cubeMap1);
    program.SetInt("sky0", 0);
    program.SetInt("sky1", 1);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    glEnable(GL_DEPTH_TEST);
}

void Skybox::Release()
{
    for (uint32_t* cubeMap : {&m_cubeMap0, &m_cubeMap1}) {
        if (*cubeMap != kNoTexture && *cubeMap != 0)
            glDeleteTextures(1, cubeMap);
        *cubeMap = kNoTexture;
    }
}

}  // namespace ztengine
