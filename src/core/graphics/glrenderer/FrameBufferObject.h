#pragma once
// An off-screen render target whose colour and depth attachments are textures. The owner sets the
// size, makes the attachment textures, creates the target, then brackets drawing with Begin/End,
// which save and restore the viewport.
// GL types are spelled as plain integers so the header works whatever GL header came first.
#include <vector>

namespace ztengine {

class FrameBufferObject {
public:
    // Wrap codes of attachment textures (a scheme of its own, unlike the texture loader's).
    static constexpr int kWrapClampToEdge = 4;
    static constexpr int kWrapClampToBorder = 6;

    // GL wrap mode for an attachment wrap code: 4 clamp to edge, 6 clamp to border, else repeat.
    static unsigned int WrapMode(int wrapCode);

    // Only while the target is not being drawn.
    void SetSize(int width, int height);
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

    void SetClearColor(float r, float g, float b, float a);
    // Which buffers Begin clears (colour and depth unless told otherwise). A target whose every
    // pixel the next pass overwrites, or whose colour nothing reads, need not pay for a clear.
    void SetClearOnBegin(bool colour, bool depth)
    {
        m_clearColourOnBegin = colour;
        m_clearDepthOnBegin = depth;
    }

    // A texture of the target's size (no data, float pixels) that the target owns; attach it
    // with AddColorAttachment or AddDepthAttachment.
    unsigned int CreateAttachmentTexture(int internalFormat, unsigned int format, bool nearest, int wrapCode);
    void AddColorAttachment(unsigned int texture);
    void AddDepthAttachment(unsigned int texture);

    // Builds the framebuffer from the attachments. Returns false (and prints the status) when
    // the driver reports it incomplete.
    bool Create();
    void Begin();
    void End();
    // Draws into colour attachments min(from, to) .. max(from, to) only.
    void SetDrawBuffers(unsigned from, unsigned to);
    void Destroy(bool deleteTextures);

    unsigned int GetId() const { return m_fbo; }
    bool IsDrawing() const { return m_begin; }
    const std::vector<unsigned int>& GetColorAttachments() const { return m_colorAttachments; }
    const std::vector<unsigned int>& GetDepthAttachments() const { return m_depthAttachments; }

private:
    std::vector<unsigned int> m_createdTextures;
    std::vector<unsigned int> m_colorAttachments;
    std::vector<unsigned int> m_depthAttachments;
    std::vector<unsigned int> m_drawBuffers;
    int m_width = 640;
    int m_height = 480;
    float m_clearColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    int m_savedViewport[4] = {0, 0, 0, 0};
    unsigned int m_fbo = 0;
    bool m_begin = false;
    bool m_clearColourOnBegin = true;
    bool m_clearDepthOnBegin = true;
};

}  // namespace ztengine
