// The view and the frame drawing. The points are sent in immediate mode, one
// colour and one vertex per live particle, recomputed from the disc every frame.
#include "render/render.h"

#include "disc/disc.h"
#include "disc/gl.h"

#include <cmath>
#include <cstdio>

ViewState view;

namespace {

// The report has always named line 96, whatever edits move this file's lines,
// so that anything reading the output sees the same text from build to build.
constexpr int errorReportLine = 96;

void reportGlError()
{
    const GLenum code = glGetError();
    if (code == GL_NO_ERROR)
        return;
    // gluErrorString has no text for codes it does not know and gives null.
    const auto* text = reinterpret_cast<const char*>(gluErrorString(code));
    std::printf("GL Error %s (0x%x) at line %d\n", text != nullptr ? text : "unknown error", code, errorReportLine);
}

} // namespace

void reshape(int width, int height)
{
    glViewport(0, 0, width, height);
    // A zero height (a minimised window) has no aspect ratio; the previous
    // projection stays until the next real size arrives.
    if (height == 0)
        return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(width) / height, 0.1, 50.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -6.0f);
}

void display()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glRotatef(view.rotX, 1.0f, 0.0f, 0.0f);
    glRotatef(view.rotY, 0.0f, 1.0f, 0.0f);
    glScalef(view.zoom, view.zoom, view.zoom);
    drawDisc();
    glPopMatrix();
    glFlush();
    reportGlError();
    glutSwapBuffers();
}

void drawDisc()
{
    const std::int32_t live = liveCount();
    const double outer = disc.outerRadius;
    const double brightnessOffset = 0.2f; // the float 0.2, added in double
    glPointSize(1.0f);
    glBegin(GL_POINTS);
    for (std::int32_t i = 0; i < live; ++i) {
        const double a = disc.angle[i];
        const float x = static_cast<float>(static_cast<float>(std::cos(a)) * static_cast<double>(disc.radius[i]));
        const float y = static_cast<float>(static_cast<float>(std::sin(a)) * static_cast<double>(disc.radius[i]));
        // Rises from about 0.2 on the spawn ring to about 1.2 at the centre;
        // the pipeline clamps what is above 1 to white.
        const auto g = static_cast<float>((outer - disc.radius[i]) / outer + brightnessOffset);
        glColor3f(g, g, g);
        glVertex3f(x, y, 0.0f);
    }
    glEnd();
}
