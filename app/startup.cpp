// One-time preparation once the window exists.
#include "app/startup.h"

#include "disc/disc.h"
#include "disc/gl.h"

void init()
{
    allocateDisc();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
}
