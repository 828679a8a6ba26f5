// The window's identity on the desktop (its class and icon), given once after
// glutCreateWindow. X11 builds have it in window_identity.cpp; elsewhere it is empty.
#pragma once

#ifdef VELQUIN_WINDOW_IDENTITY
#include <cstddef>
#include <vector>

void identifyWindow();
// Appends a PNG of any kind as _NET_WM_ICON holds it (width, height, 0xAARRGGBB
// pixels); false, with nothing appended, for one that cannot be read.
bool appendIcon(const unsigned char* png, std::size_t size, std::vector<unsigned long>& icon);
#else
inline void identifyWindow() {}
#endif
