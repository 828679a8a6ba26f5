// Whole frames in a real window: the step and the display of the plain
// reading, of the program's own code, and the GL calls alone (the same 22000
// points sent with nothing computed), with the allocator set as the program
// sets it and with glibc's defaults, timed over thousands of frames each, in
// alternating rounds so that all share the machine's ups and downs.
// Needs an X display; `make bench` provides a virtual one.
#include "plain.h"

#include "app/allocator.h"
#include "app/startup.h"
#include "disc/disc.h"
#include "disc/gl.h"
#include "render/render.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

PlainDisc plain;
std::vector<PlainPoint> fixedPoints; // what the GL-only frame sends

// Everything display does around the points, with these points in between.
void frameAround(void (*sendPoints)())
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glRotatef(view.rotX, 1.0f, 0.0f, 0.0f);
    glRotatef(view.rotY, 0.0f, 1.0f, 0.0f);
    glScalef(view.zoom, view.zoom, view.zoom);
    glPointSize(1.0f);
    glBegin(GL_POINTS);
    sendPoints();
    glEnd();
    glPopMatrix();
    glFlush();
    if (glGetError() != GL_NO_ERROR)
        std::puts("GL error in a benchmark frame");
    glutSwapBuffers();
}

// The plain reading: its step, then its arithmetic done in place.
void plainFrame()
{
    plainStep(plain);
    frameAround([] {
        for (std::int32_t i = 0; i < plainLiveCount(plain); ++i) {
            const PlainPoint p = plainPoint(plain, i);
            glColor3f(p.g, p.g, p.g);
            glVertex3f(p.x, p.y, 0.0f);
        }
    });
}

// The program's own step and display.
void velquinFrame()
{
    advanceDisc();
    display();
}

// The same calls with nothing computed: the points of one fixed frame.
void glOnlyFrame()
{
    frameAround([] {
        for (const PlainPoint& p : fixedPoints) {
            glColor3f(p.g, p.g, p.g);
            glVertex3f(p.x, p.y, 0.0f);
        }
    });
}

// The GL calls alone with glibc's own thresholds (128 KiB), which it would
// raise by itself only after the program happened to free a larger block.
#ifdef __GLIBC__
void glOnlyFrameDefaultAllocator()
{
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
    glOnlyFrame();
    keepDriverBuffers();
}
#endif

double microsecondsPerFrame(void (*frame)(), int frames)
{
    glFinish();
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < frames; ++k)
        frame();
    glFinish();
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / frames;
}

// The fastest round shows the cost with the least interference from the rest
// of the machine (the X server and llvmpipe's threads share its cores); the
// median shows what is typical.
struct Summary {
    double fastest, median;
};

Summary summary(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2]};
}

} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int rounds = 7;
    keepDriverBuffers();
    glutInit(&argc, argv);
    glutInitWindowPosition(10, 10);
    glutInitWindowSize(480, 240);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutCreateWindow("Velquin frame benchmark");
    init();
    reshape(480, 240);
    // The view stays as the program starts: every point is sent and most
    // fall outside the window, as in the program's own first minutes.

    while (disc.stepCount < 1500)
        advanceDisc();
    while (plain.stepCount < 1500)
        plainStep(plain);
    for (std::int32_t i = 0; i < plain.particleCount; ++i)
        fixedPoints.push_back(plainPoint(plain, i));

    std::vector<double> plainTimes, velquinTimes, glTimes, glDefaultTimes;
    for (int round = 0; round < rounds; ++round) {
        plainTimes.push_back(microsecondsPerFrame(plainFrame, frames));
        velquinTimes.push_back(microsecondsPerFrame(velquinFrame, frames));
        glTimes.push_back(microsecondsPerFrame(glOnlyFrame, frames));
#ifdef __GLIBC__
        glDefaultTimes.push_back(microsecondsPerFrame(glOnlyFrameDefaultAllocator, frames));
#endif
    }
    const Summary p = summary(plainTimes), v = summary(velquinTimes), g = summary(glTimes);
    std::printf("whole frame, %d rounds of %d frames each, microseconds per frame (fastest round, median round):\n",
                rounds, frames);
    const auto row = [&](const char* what, Summary s) {
        std::printf("  %-16s fastest %7.1f us  ratio %.3f   median %7.1f us  ratio %.3f\n", what, s.fastest,
                    s.fastest / p.fastest, s.median, s.median / p.median);
    };
    row("plain reading", p);
    row("velquin", v);
    row("GL calls alone", g);
    if (!glDefaultTimes.empty())
        row("  glibc defaults", summary(glDefaultTimes));
    releaseDisc();
    return 0;
}
