// gluErrorString for the web build, whose GLU (Emscripten's) has none: the
// texts of Mesa's GLU, code for code, and null for a code it does not know.
// The texts are SGI's GLU table (libutil/error.c), under the SGI Free Software
// License B, Version 2.0: Copyright (C) 1991-2000 Silicon Graphics, Inc.
// All Rights Reserved. The above copyright notice including the dates of first
// publication and either this permission notice or a reference to
// http://oss.sgi.com/projects/FreeB/ shall be included in all copies or
// substantial portions of the Software.
#include "disc/gl.h"

namespace {

struct ErrorText {
    GLenum code;
    const char* text;
};

constexpr ErrorText errorTexts[] = {
    {0x0, "no error"},
    {0x500, "invalid enumerant"},
    {0x501, "invalid value"},
    {0x502, "invalid operation"},
    {0x503, "stack overflow"},
    {0x504, "stack underflow"},
    {0x505, "out of memory"},
    {0x506, "invalid framebuffer operation"},
    {0x8031, "table too large"},
    // The tessellator's errors, 100151 on.
    {100151, "gluTessBeginPolygon() must precede a gluTessEndPolygon()"},
    {100152, "gluTessBeginContour() must precede a gluTessEndContour()"},
    {100153, "gluTessEndPolygon() must follow a gluTessBeginPolygon()"},
    {100154, "gluTessEndContour() must follow a gluTessBeginContour()"},
    {100155, "a coordinate is too large"},
    {100156, "need combine callback"},
    // The NURBS errors, 100251 on, spelling and repeats as Mesa has them.
    {100251, "spline order un-supported"},
    {100252, "too few knots"},
    {100253, "valid knot range is empty"},
    {100254, "decreasing knot sequence knot"},
    {100255, "knot multiplicity greater than order of spline"},
    {100256, "gluEndCurve() must follow gluBeginCurve()"},
    {100257, "gluBeginCurve() must precede gluEndCurve()"},
    {100258, "missing or extra geometric data"},
    {100259, "can't draw piecewise linear trimming curves"},
    {100260, "missing or extra domain data"},
    {100261, "missing or extra domain data"},
    {100262, "gluEndTrim() must precede gluEndSurface()"},
    {100263, "gluBeginSurface() must precede gluEndSurface()"},
    {100264, "curve of improper type passed as trim curve"},
    {100265, "gluBeginSurface() must precede gluBeginTrim()"},
    {100266, "gluEndTrim() must follow gluBeginTrim()"},
    {100267, "gluBeginTrim() must precede gluEndTrim()"},
    {100268, "invalid or missing trim curve"},
    {100269, "gluBeginTrim() must precede gluPwlCurve()"},
    {100270, "piecewise linear trimming curve referenced twice"},
    {100271, "piecewise linear trimming curve and nurbs curve mixed"},
    {100272, "improper usage of trim data type"},
    {100273, "nurbs curve referenced twice"},
    {100274, "nurbs curve and piecewise linear trimming curve mixed"},
    {100275, "nurbs surface referenced twice"},
    {100276, "invalid property"},
    {100277, "gluEndSurface() must follow gluBeginSurface()"},
    {100278, "intersecting or misoriented trim curves"},
    {100279, "intersecting trim curves"},
    {100280, "UNUSED"},
    {100281, "unconnected trim curves"},
    {100282, "unknown knot error"},
    {100283, "negative vertex count encountered"},
    {100284, "negative byte-stride encounteed"},
    {100285, "unknown type descriptor"},
    {100286, "null control point reference"},
    {100287, "duplicate point on piecewise linear trimming curve"},
    // GLU's own, 100900 on.
    {100900, "invalid enumerant"},
    {100901, "invalid value"},
    {100902, "out of memory"},
    {100903, "incompatible gl version"},
    {100904, "invalid operation"},
};

} // namespace

const GLubyte* gluErrorString(GLenum errorCode)
{
    for (const ErrorText& entry : errorTexts) {
        if (entry.code == errorCode)
            return reinterpret_cast<const GLubyte*>(entry.text);
    }
    return nullptr;
}
