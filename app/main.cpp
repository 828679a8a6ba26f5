// Velquin's entry point: brings up GLUT and the window, wires the callbacks
// and hands control to the GLUT main loop, which never returns.
#include "app/input.h"
#include "app/startup.h"
#include "disc/disc.h"
#include "disc/gl.h"
#include "render/render.h"

int main(int argc, char** argv)
{
    // The command line belongs to GLUT (-display, -geometry, ...).
    glutInit(&argc, argv);
    glutInitWindowPosition(10, 10);
    glutInitWindowSize(480, 240);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutCreateWindow("Velquin");
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
