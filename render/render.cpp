// The view and the frame drawing. The points are sent in immediate mode, one
// colour and one vertex per live particle, recomputed from the disc every
// frame a block at a time (the arithmetic is in points.cpp). The grey level
// rises from about 0.2 on the spawn ring to about 1.2 at the centre; the
// pipeline clamps what is above 1 to white.
#include "render/render.h"

#include "disc/disc.h"
#include "disc/gl.h"
#include "render/points.h"

#include <algorithm>
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
    glPointSize(1.0f);
    glBegin(GL_POINTS);
    float x[pointBlockSize];
    float y[pointBlockSize];
    float grey[pointBlockSize];
    for (std::int32_t first = 0; first < live; first += pointBlockSize) {
        const std::int32_t count = std::min(pointBlockSize, live - first);
        pointBlock(disc.radius + first, disc.angle + first, count, disc.outerRadius, x, y, grey);
        for (std::int32_t k = 0; k < count; ++k) {
            glColor3f(grey[k], grey[k], grey[k]);
            glVertex3f(x[k], y[k], 0.0f);
        }
    }
    glEnd();
}
