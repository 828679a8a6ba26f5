// Puts the program's state back as it is when the process starts, with the
// disc's arrays allocated, so that each test begins where the program does.
#pragma once

#include "app/input.h"
#include "disc/disc.h"
#include "render/render.h"
#include "support/gl_recorder.h"

inline void freshState()
{
    releaseDisc();
    disc = Disc{};
    randomState = 1;
    view = ViewState{};
    input = InputState{};
    resetGlRecord();
    allocateDisc();
}
