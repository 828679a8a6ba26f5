// The GL, GLU and GLUT headers, wherever the platform keeps them. Every file
// that calls into GL or GLUT includes this one and nothing else of theirs.
// Only GLUT 3 calls are made, none of freeglut's own, so any GLUT serves.
#pragma once

#if defined(__APPLE__)
#define GL_SILENCE_DEPRECATION
#include <GLUT/glut.h>
#else
#include <GL/glut.h>
#endif
