// Where the disc, the view and the input state live in the page's memory, for
// the page's status line and the browser tests to read. Nothing here changes the program.
#include "app/input.h"
#include "disc/disc.h"
#include "render/render.h"

#include <emscripten/emscripten.h>

#include <cstddef>

// The page and the tests read the fields at these offsets (wasm32).
static_assert(offsetof(Disc, timeStep) == 16 && offsetof(Disc, radius) == 24 && offsetof(Disc, angularSpeed) == 28 &&
              offsetof(Disc, angle) == 32 && offsetof(Disc, stepCount) == 40);
static_assert(offsetof(ViewState, rotX) == 0 && offsetof(ViewState, rotY) == 4 && offsetof(ViewState, zoom) == 8);
static_assert(offsetof(InputState, animating) == 12);

extern "C" {

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
