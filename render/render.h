// The view of the disc and the frame: projection on reshape, the points drawn
// on display, and the one pending GL error reported per frame.
#pragma once

struct ViewState {
    float rotX = 0.0f; // rotation about the X axis, in degrees
    float rotY = 0.0f; // rotation about the Y axis, in degrees
    float zoom = 1.0f; // uniform scale of the disc
};

extern ViewState view;

// GLUT callbacks.
void reshape(int width, int height);
void display();

// Sends every live particle as a grey point; called only from display.
void drawDisc();
