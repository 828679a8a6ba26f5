// What the page's status line reads of the program (the step, whether it runs,
// the zoom), and where the disc, the view and the input state live in the
// page's memory, for the browser tests to read. Nothing here changes the program.
#include "app/input.h"
#include "disc/disc.h"
#include "render/render.h"

#include <emscripten/emscripten.h>

#include <cstddef>

// The browser tests read the fields at these offsets (wasm32).
static_assert(offsetof(Disc, timeStep) == 16 && offsetof(Disc, radius) == 24 && offsetof(Disc, angularSpeed) == 28 &&
              offsetof(Disc, angle) == 32 && offsetof(Disc, stepCount) == 40);
static_assert(offsetof(ViewState, rotX) == 0 && offsetof(ViewState, rotY) == 4 && offsetof(ViewState, zoom) == 8);
static_assert(offsetof(InputState, animating) == 12);

extern "C" {

// Steps stay below 2^53, so a double holds the count exactly.
EMSCRIPTEN_KEEPALIVE double velquinStep()
{
    return static_cast<double>(disc.stepCount);
}

EMSCRIPTEN_KEEPALIVE int velquinAnimating()
{
    return input.animating ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE float velquinZoom()
{
    return view.zoom;
}

EMSCRIPTEN_KEEPALIVE const Disc* velquinDisc()
{
    return &disc;
}

EMSCRIPTEN_KEEPALIVE const ViewState* velquinView()
{
    return &view;
}

EMSCRIPTEN_KEEPALIVE const InputState* velquinInput()
{
    return &input;
}

} // extern "C"
