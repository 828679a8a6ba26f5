// Velquin's entry point: brings up GLUT and the window, wires the callbacks
// and hands control to the GLUT main loop, which never returns.
#include "app/allocator.h"
#include "app/input.h"
#include "app/startup.h"
#include "app/window_identity.h"
#include "disc/disc.h"
#include "disc/gl.h"
#include "render/render.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    keepDriverBuffers();
    // The command line belongs to GLUT (-display, -geometry, ...).
#if defined(_WIN32) && !defined(FREEGLUT)
    // A Windows GLUT may be a DLL with a C runtime of its own: handed ours,
    // its exit runs this program's exit handlers. (freeglut's header does this itself.)
    __glutInitWithExit(&argc, argv, std::exit);
#else
    glutInit(&argc, argv);
#endif
    glutInitWindowPosition(10, 10);
    glutInitWindowSize(480, 240);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
#if defined(_WIN32) && !defined(FREEGLUT)
    __glutCreateWindowWithExit("Velquin", std::exit);
#else
    glutCreateWindow("Velquin");
#endif
    identifyWindow();
    init();

    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutSpecialFunc(special);
    glutIdleFunc(stepDisc);
    glutDisplayFunc(display);

    glutMainLoop();
    return 0;
}
