#include "core/Subsystem.h"

#include "core/App.h"

namespace ztengine {

Subsystem::Subsystem(App* app)
    : m_app(app),
      m_graphics(app->GetGraphics3D()),
      m_graphics2D(app->GetGraphics2D()),
      m_input(app->GetInput()),
      m_userValue(0),
      m_userFlag(false)
{
}

Subsystem::~Subsystem() = default;

}  // namespace ztengine
