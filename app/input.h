// The user's controls: GLUT's keyboard, mouse, motion and special-key
// callbacks, and the input state they keep.
//
//   Escape              release the disc and quit with status 0
//   Space               pause or resume the animation
//   Left / Right arrow  time step down / up by 0.001
//   Up / Down arrow     zoom out / in by a factor of 0.99
//   Left-button drag    turn the disc, one degree per pixel
#pragma once

#include <cstdint>

// The fields are kept in columns by hand.
// clang-format off
struct InputState {
    bool         dragging  = false; // the left button is held and a drag is in progress
    std::int32_t lastX     = 0;     // pointer x at the last press or motion of the drag, in window pixels
    std::int32_t lastY     = 0;     // pointer y likewise
    bool         animating = true;  // whether stepDisc is installed as the idle callback
};
// clang-format on

extern InputState input;

void keyboard(unsigned char key, int x, int y);
void special(int key, int x, int y);
void mouse(int button, int state, int x, int y);
void motion(int x, int y);
