// WM_CLASS and _NET_WM_ICON on the X11 window, which freeglut leaves unset: a desktop
// matches a window to velquin.desktop by its class, and shows the icon in its dock,
// taskbar and window switcher. No GL here, and nothing printed: without an X11
// window (freeglut on another window system) it does nothing.
#include "app/window_identity.h"

#include "window_icons.inc" // velquinIcons: the installed PNGs' bytes, as packaging/icons holds them

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::uint32_t bigEndian(const unsigned char* bytes)
{
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

unsigned char paeth(int left, int up, int upLeft)
{
    const int guess = left + up - upLeft;
    const int toLeft = std::abs(guess - left), toUp = std::abs(guess - up), toUpLeft = std::abs(guess - upLeft);
    return static_cast<unsigned char>(toLeft <= toUp && toLeft <= toUpLeft ? left : toUp <= toUpLeft ? up : upLeft);
}

// Appends one icon as _NET_WM_ICON holds it: width, height, then 0xAARRGGBB pixels
// row by row, each in a long (Xlib's format 32). `make icons` writes 8-bit RGBA,
// not interlaced; a PNG of any other kind is left out rather than misread.
bool appendIcon(const unsigned char* png, std::size_t size, std::vector<unsigned long>& icon)
{
    if (size < 8 || std::memcmp(png, "\x89PNG\r\n\x1a\n", 8) != 0)
        return false;
    std::uint32_t width = 0, height = 0;
    std::vector<unsigned char> deflated;
    for (std::size_t at = 8; size - at >= 12;) {
        const std::uint32_t length = bigEndian(png + at);
        if (length > size - at - 12)
            return false;
        const unsigned char* type = png + at + 4;
        const unsigned char* data = png + at + 8;
        if (std::memcmp(type, "IHDR", 4) == 0) {
            const unsigned char rgba8[] = {8, 6, 0, 0, 0}; // depth, colour type, compression, filter, interlace
            if (length != 13 || std::memcmp(data + 8, rgba8, sizeof rgba8) != 0)
                return false;
            width = bigEndian(data);
            height = bigEndian(data + 4);
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            deflated.insert(deflated.end(), data, data + length);
        }
        at += std::size_t{length} + 12;
    }
    if (width == 0 || height == 0 || width > 1024 || height > 1024)
        return false;

    // Each row is a filter byte and the row, filtered against the left pixel and the row above.
    const std::size_t stride = std::size_t{width} * 4;
    std::vector<unsigned char> rows((stride + 1) * height);
    uLongf inflated = rows.size();
    if (uncompress(rows.data(), &inflated, deflated.data(), deflated.size()) != Z_OK || inflated != rows.size())
        return false;
    const std::vector<unsigned char> zeros(stride);
    for (std::size_t y = 0; y < height; ++y) {
        unsigned char* row = rows.data() + y * (stride + 1);
        const unsigned char filter = row[0]; // none, left, up, average, Paeth
        if (filter > 4)
            return false;
        ++row;
        const unsigned char* above = y == 0 ? zeros.data() : row - (stride + 1);
        for (std::size_t x = 0; x < stride; ++x) {
            const int left = x < 4 ? 0 : row[x - 4], up = above[x], upLeft = x < 4 ? 0 : above[x - 4];
            const int predicted = filter == 0   ? 0
                                  : filter == 1 ? left
                                  : filter == 2 ? up
                                  : filter == 3 ? (left + up) / 2
                                                : paeth(left, up, upLeft);
            row[x] = static_cast<unsigned char>(row[x] + predicted);
        }
    }

    icon.push_back(width);
    icon.push_back(height);
    for (std::size_t y = 0; y < height; ++y)
        for (const unsigned char* p = rows.data() + y * (stride + 1) + 1; p != rows.data() + (y + 1) * (stride + 1);
             p += 4)
            icon.push_back(static_cast<unsigned long>(p[3]) << 24 | static_cast<unsigned long>(p[0]) << 16 |
                           static_cast<unsigned long>(p[1]) << 8 | p[2]);
    return true;
}

} // namespace

void identifyWindow()
{
    // freeglut makes its window's context current in glutCreateWindow, on the
    // window itself, so GLX names both without reaching into freeglut.
    Display* const display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0)
        return;

    // freeglut returns once the window shows, so these come just after the window
    // manager has mapped it: a desktop reads _NET_WM_ICON whenever it changes, and
    // GNOME Shell follows a change of WM_CLASS too. Setting them before the map
    // would need freeglut's internals.
    char name[] = "velquin";  // as the command and the desktop entry
    char group[] = "Velquin"; // StartupWMClass in the desktop entry
    XClassHint hint{name, group};
    XSetClassHint(display, window, &hint);

    std::vector<unsigned long> icon;
    for (const VelquinIcon& png : velquinIcons)
        appendIcon(png.bytes, png.size, icon);
    if (!icon.empty())
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(icon.data()), static_cast<int>(icon.size()));
}
