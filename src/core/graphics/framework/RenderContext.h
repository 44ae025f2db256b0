#pragma once
// One camera of the renderer: projection, position, orientation and the colour its frame is
// cleared to.
#include "core/math/Basis.h"
#include "core/math/Matrix4x4.h"
#include "core/math/Vector3.h"
#include "core/math/Vector4.h"

namespace ztengine {

struct RenderContext {
    ztmath::Matrix4x4 m_projection;
    ztmath::Matrix4x4 m_inverseProjection;
    ztmath::Vector3 m_cameraPosition;
    ztmath::Vector4 m_clearColor;
    ztmath::Basis m_cameraBasis;
};

}  // namespace ztengine
