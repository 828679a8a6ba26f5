// WM_CLASS and _NET_WM_ICON on the X11 window, which freeglut leaves unset: a desktop
// matches a window to velquin.desktop by its class, and shows the icon in its dock,
// taskbar and window switcher. It draws nothing and prints nothing: it only finds
// the window through GLX, and without an X11 window (freeglut on another window
// system) it does nothing.
#include "app/window_identity.h"

#include "window_icons.inc" // velquinIcons: the installed PNGs' bytes, as packaging/icons holds them

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

struct PngBytes {
    const unsigned char* bytes;
    std::size_t size;
    std::size_t read;
};

void readPngBytes(png_structp reader, png_bytep out, png_size_t count)
{
    auto* source = static_cast<PngBytes*>(png_get_io_ptr(reader));
    if (count > source->size - source->read)
        png_error(reader, "truncated");
    std::memcpy(out, source->bytes + source->read, count);
    source->read += count;
}

// The program prints nothing of its own: a PNG that cannot be read is left out quietly.
void quietError(png_structp reader, png_const_charp /*message*/)
{
    png_longjmp(reader, 1);
}

void quietWarning(png_structp /*reader*/, png_const_charp /*message*/) {}

} // namespace

// Each pixel in a long, as Xlib's format 32 has it. libpng reads a PNG of any
// kind (grey, palette, 16-bit, interlaced, with or without alpha), turned into
// 8-bit RGBA by its own transformations; one it cannot read, or one larger than
// an icon, is left out. (libpng 1.6.39's simplified png_image API reads 16-bit
// interlaced PNGs with alpha wrongly: darker, and the faintest pixels clear.)
bool appendIcon(const unsigned char* png, std::size_t size, std::vector<unsigned long>& icon)
{
    if (size < 8 || png_sig_cmp(png, 0, 8) != 0)
        return false;
    png_structp reader = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    png_infop info = reader != nullptr ? png_create_info_struct(reader) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&reader, nullptr, nullptr);
        return false;
    }
    PngBytes source{png, size, 0};
    std::vector<unsigned char> pixels;
    std::vector<png_bytep> rows;
    // libpng's errors come back here; nothing below has a destructor to skip.
    if (setjmp(png_jmpbuf(reader)) != 0) {
        png_destroy_read_struct(&reader, &info, nullptr);
        return false;
    }
    png_set_read_fn(reader, &source, readPngBytes);
    png_read_info(reader, info);
    const png_uint_32 width = png_get_image_width(reader, info), height = png_get_image_height(reader, info);
    if (width > 1024 || height > 1024)
        png_error(reader, "larger than an icon");
    png_set_expand(reader); // palette to RGB, grey below 8 bits to 8, transparency chunk to alpha
    png_set_strip_16(reader);
    png_set_gray_to_rgb(reader);
    png_set_add_alpha(reader, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(reader);
    png_read_update_info(reader, info);
    pixels.resize(std::size_t{width} * height * 4);
    rows.reserve(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows.push_back(&pixels[std::size_t{y} * width * 4]);
    png_read_image(reader, rows.data());
    png_destroy_read_struct(&reader, &info, nullptr);

    icon.push_back(width);
    icon.push_back(height);
    for (std::size_t at = 0; at < pixels.size(); at += 4)
        icon.push_back(static_cast<unsigned long>(pixels[at + 3]) << 24 | static_cast<unsigned long>(pixels[at]) << 16 |
                       static_cast<unsigned long>(pixels[at + 1]) << 8 | pixels[at + 2]);
    return true;
}

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
