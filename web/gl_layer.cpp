// The page's GL: exactly the GL 1.x and GLU calls that Velquin makes, on WebGL.
// The matrix stacks and the points of a glBegin/glEnd live here, in the
// program's own memory; gl_layer.js draws them with one upload and one draw.
// Any other GL call is left undefined, so that a program making one fails to link.
#include "disc/gl.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

// gl_layer.js: the context's own error code, and the points drawn.
extern "C" GLenum velquinGlContextError();
extern "C" void velquinGlDraw(const void* points, GLsizei count, const GLfloat* modelView, const GLfloat* projection,
                              GLfloat pointSize);

namespace {

// Column-major, held in single precision. Each operation is worked in double
// and each element rounded to float once, in the order of the terms below:
// the page has always drawn with matrices made this way, and a last bit
// changed here would move a point that lies on a pixel's edge.
using Matrix = std::array<GLfloat, 16>;

constexpr Matrix identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// GL's required depths are 32 and 2; Mesa allows 32 of each.
constexpr int stackDepth = 32;

// The double nearest pi, as JavaScript's Math.PI.
constexpr double pi = 3.141592653589793;

struct MatrixStack {
    std::array<Matrix, stackDepth> matrices{identity};
    int top = 0;
    Matrix& current() { return matrices[static_cast<std::size_t>(top)]; }
};

// What one glVertex3f leaves for the upload: 16 bytes.
struct Point {
    GLfloat x, y, z;
    std::uint8_t rgba[4];
};

struct Layer {
    MatrixStack modelView;
    MatrixStack projection;
    MatrixStack* stack = &modelView;
    std::uint8_t colour[4] = {255, 255, 255, 255};
    GLfloat pointSize = 1;
    bool drawing = false;
    std::vector<Point> points;
    GLenum error = GL_NO_ERROR;
} layer;

// GL keeps the first error until it is read.
void fail(GLenum code)
{
    if (layer.error == GL_NO_ERROR)
        layer.error = code;
}

// A float colour component as an unsigned byte, clamped to [0, 1] and scaled
// by 255 without rounding: the grey levels the page has always shown.
std::uint8_t colourByte(GLfloat value)
{
    const double clamped = value > 1.0f ? 1.0 : (value > 0.0f ? static_cast<double>(value) : 0.0);
    return static_cast<std::uint8_t>(clamped * 255);
}

// m ← m × b, b given in double.
void multiply(Matrix& m, const std::array<double, 16>& b)
{
    Matrix a = m;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            const auto at = [](int c, int r) { return static_cast<std::size_t>(4 * c + r); };
            m[at(column, row)] =
                static_cast<float>(b[at(column, 0)] * a[at(0, row)] + b[at(column, 1)] * a[at(1, row)] +
                                   b[at(column, 2)] * a[at(2, row)] + b[at(column, 3)] * a[at(3, row)]);
        }
}

} // namespace

void glMatrixMode(GLenum mode)
{
    if (mode == GL_MODELVIEW)
        layer.stack = &layer.modelView;
    else if (mode == GL_PROJECTION)
        layer.stack = &layer.projection;
    else
        fail(GL_INVALID_ENUM);
}

void glLoadIdentity()
{
    layer.stack->current() = identity;
}

void glPushMatrix()
{
    MatrixStack& stack = *layer.stack;
    if (stack.top + 1 == stackDepth)
        return fail(GL_STACK_OVERFLOW);
    stack.matrices[static_cast<std::size_t>(stack.top + 1)] = stack.current();
    ++stack.top;
}

void glPopMatrix()
{
    if (layer.stack->top == 0)
        return fail(GL_STACK_UNDERFLOW);
    --layer.stack->top;
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    Matrix& m = layer.stack->current();
    for (std::size_t row = 0; row < 4; ++row)
        m[12 + row] = static_cast<float>(static_cast<double>(m[row]) * x + static_cast<double>(m[4 + row]) * y +
                                         static_cast<double>(m[8 + row]) * z + m[12 + row]);
}

void glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    Matrix& m = layer.stack->current();
    for (std::size_t row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

void glRotatef(GLfloat angle, GLfloat axisX, GLfloat axisY, GLfloat axisZ)
{
    double x = axisX, y = axisY, z = axisZ;
    double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0)
        return;
    if (length != 1.0) {
        length = 1 / length;
        x *= length;
        y *= length;
        z *= length;
    }
    const double radians = angle * pi / 180;
    const double s = std::sin(radians), c = std::cos(radians), t = 1 - c;
    multiply(layer.stack->current(), {x * x * t + c, y * x * t + z * s, z * x * t - y * s, 0, //
                                      x * y * t - z * s, y * y * t + c, z * y * t + x * s, 0, //
                                      x * z * t + y * s, y * z * t - x * s, z * z * t + c, 0, //
                                      0, 0, 0, 1});
}

void gluPerspective(GLdouble fovY, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double top = zNear * std::tan(fovY * pi / 360.0);
    const double right = top * aspect;
    const double depth = zFar - zNear;
    multiply(layer.stack->current(), {zNear * 2 / (right + right), 0, 0, 0, //
                                      0, zNear * 2 / (top + top), 0, 0,     //
                                      0, 0, -(zFar + zNear) / depth, -1,    //
                                      0, 0, -(zFar * zNear * 2) / depth, 0});
}

void glPointSize(GLfloat size)
{
    if (!(size > 0))
        return fail(GL_INVALID_VALUE);
    layer.pointSize = size;
}

void glBegin(GLenum mode)
{
    if (layer.drawing)
        return fail(GL_INVALID_OPERATION);
    // Points are the only primitive the page draws.
    if (mode != GL_POINTS)
        return fail(GL_INVALID_ENUM);
    layer.drawing = true;
    layer.points.clear();
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue)
{
    layer.colour[0] = colourByte(red);
    layer.colour[1] = colourByte(green);
    layer.colour[2] = colourByte(blue);
    layer.colour[3] = 255;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!layer.drawing)
        return;
    layer.points.push_back({x, y, z, {layer.colour[0], layer.colour[1], layer.colour[2], layer.colour[3]}});
}

void glEnd()
{
    if (!layer.drawing)
        return fail(GL_INVALID_OPERATION);
    layer.drawing = false;
    if (layer.points.empty())
        return;
    velquinGlDraw(layer.points.data(), static_cast<GLsizei>(layer.points.size()), layer.modelView.current().data(),
                  layer.projection.current().data(), layer.pointSize);
}

GLenum glGetError()
{
    const GLenum code = velquinGlContextError();
    if (code != GL_NO_ERROR)
        return code;
    const GLenum own = layer.error;
    layer.error = GL_NO_ERROR;
    return own;
}
