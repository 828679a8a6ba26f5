// The user's controls (the keys are listed in input.h). Each callback only
// turns its event into a change of the input state, the view or the time step.
#include "app/input.h"

#include "disc/disc.h"
#include "disc/gl.h"
#include "render/render.h"

#include <cmath>
#include <cstdlib>

InputState input;

namespace {

constexpr unsigned char escapeKey = 27;
constexpr unsigned char spaceKey = 32;
constexpr float timeStepIncrement = 0.001f;
constexpr float zoomFactor = 0.99f;

// Some ten thousand presses of one zoom key would take the float product to 0
// or to infinity, from where no press could bring the disc back; such a press
// leaves the zoom where it is.
void setZoom(double next)
{
    const auto rounded = static_cast<float>(next);
    if (rounded != 0.0f && std::isfinite(rounded))
        view.zoom = rounded;
}

// Pixel differences are exact in 64 bits whatever coordinates GLUT reports,
// and exact again as doubles.
float turned(float degrees, int to, std::int32_t from)
{
    return static_cast<float>(degrees + static_cast<double>(std::int64_t{to} - from));
}

} // namespace

void keyboard(unsigned char key, int /*x*/, int /*y*/)
{
    if (key == escapeKey) {
        releaseDisc();
        std::exit(0);
    }
    if (key == spaceKey) {
        input.animating = !input.animating;
        glutIdleFunc(input.animating ? stepDisc : nullptr);
    }
}

void special(int key, int /*x*/, int /*y*/)
{
    switch (key) {
    case GLUT_KEY_LEFT:
        disc.timeStep = static_cast<float>(static_cast<double>(disc.timeStep) - timeStepIncrement);
        break;
    case GLUT_KEY_RIGHT:
        disc.timeStep = static_cast<float>(static_cast<double>(disc.timeStep) + timeStepIncrement);
        break;
    case GLUT_KEY_UP:
        setZoom(static_cast<double>(view.zoom) * zoomFactor);
        break;
    case GLUT_KEY_DOWN:
        setZoom(static_cast<double>(view.zoom) / zoomFactor);
        break;
    default:
        return;
    }
    glutPostRedisplay();
}

void mouse(int button, int state, int x, int y)
{
    if (button != GLUT_LEFT_BUTTON)
        return;
    if (state == GLUT_DOWN) {
        input.dragging = true;
        input.lastX = x;
        input.lastY = y;
    } else if (state == GLUT_UP) {
        input.dragging = false;
    }
}

void motion(int x, int y)
{
    if (!input.dragging)
        return;
    view.rotY = turned(view.rotY, x, input.lastX);
    input.lastX = x;
    view.rotX = turned(view.rotX, y, input.lastY);
    input.lastY = y;
    glutPostRedisplay();
}
