// A recording stand-in for the GL, GLU and GLUT entry points that the program
// calls, linked into the unit tests in place of the real libraries, so that
// the tests see the exact values the program sends.
#pragma once

#include "disc/gl.h"

#include <string>
#include <vector>

struct GlCall {
    std::string name;
    std::vector<double> args;
};

struct GlPoint {
    float x, y, z; // from glVertex3f
    float r, g, b; // the colour set last before it
};

struct GlRecord {
    std::vector<GlCall> calls;         // every call but the per-point colour and vertex
    std::vector<GlPoint> points;       // one per glVertex3f
    std::vector<GLenum> pendingErrors; // what glGetError hands out, oldest first
    int redisplayRequests = 0;
    int idleFuncCalls = 0;
    void (*idleFunc)() = nullptr;
    bool insideBegin = false;
    int verticesOutsideBegin = 0; // glVertex3f with no glBegin open
    float colour[3] = {1.0f, 1.0f, 1.0f};
};

extern GlRecord gl;

void resetGlRecord();
// The names of the recorded calls, in order.
std::vector<std::string> glCallNames();
