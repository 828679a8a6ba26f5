// The C library's allocator set for a frame that sends 22000 points: called
// once at start-up, before GLUT and the GL driver allocate anything.
#pragma once

#include <cstdlib> // defines __GLIBC__ where the C library is glibc
#ifdef __GLIBC__
#include <malloc.h>
#endif

// A software GL driver (Mesa's llvmpipe: virtual machines, remote desktops,
// machines without a GPU driver) fills a vertex buffer of some 520 KB each
// frame and frees it at the frame's end. glibc serves a block that large with
// mmap and returns it with munmap, so every frame the kernel maps and
// zero-fills some 130 fresh pages: 60-70 % of the frame, 2.2-2.8 ms where the
// reused buffer takes 0.8-0.9 ms. Served from the heap instead, and the heap's top not given back
// while it is this small, the same pages serve every frame. Elsewhere (Windows,
// the browser, macOS) the allocator is left as it is.
inline void keepDriverBuffers()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 8 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024);
#endif
}
