// The window's identity on the desktop (its class and icon), given once after
// glutCreateWindow. X11 builds have it in window_identity.cpp; elsewhere it is empty.
#pragma once

#ifdef VELQUIN_WINDOW_IDENTITY
void identifyWindow();
#else
inline void identifyWindow() {}
#endif
