// Links against the page's GL with one call that its layer lacks: the link must
// fail and name it (the web build's test gl_call_outside_the_layer).
#include "disc/gl.h"

int main()
{
    glBegin(GL_POINTS);
    glLineWidth(2.0f);
    glEnd();
}
