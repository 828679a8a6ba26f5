// The recording stand-in: each entry point appends what it was given to the
// record; glGetError hands out the queued codes one at a time.
#include "gl_recorder.h"

GlRecord gl;

void resetGlRecord()
{
    gl = GlRecord{};
}

std::vector<std::string> glCallNames()
{
    std::vector<std::string> names;
    for (const GlCall& call : gl.calls)
        names.push_back(call.name);
    return names;
}

namespace {

void record(const char* name, std::vector<double> args = {})
{
    gl.calls.push_back({name, std::move(args)});
}

} // namespace

extern "C" {

// One line an entry point, as a table.
// clang-format off
void GLAPIENTRY glClear(GLbitfield mask) { record("glClear", {double(mask)}); }
void GLAPIENTRY glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { record("glClearColor", {r, g, b, a}); }
void GLAPIENTRY glEnable(GLenum cap) { record("glEnable", {double(cap)}); }
void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { record("glViewport", {double(x), double(y), double(w), double(h)}); }
void GLAPIENTRY glMatrixMode(GLenum mode) { record("glMatrixMode", {double(mode)}); }
void GLAPIENTRY glLoadIdentity() { record("glLoadIdentity"); }
void GLAPIENTRY glPushMatrix() { record("glPushMatrix"); }
void GLAPIENTRY glPopMatrix() { record("glPopMatrix"); }
void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", {x, y, z}); }
void GLAPIENTRY glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { record("glRotatef", {a, x, y, z}); }
void GLAPIENTRY glScalef(GLfloat x, GLfloat y, GLfloat z) { record("glScalef", {x, y, z}); }
void GLAPIENTRY glPointSize(GLfloat size) { record("glPointSize", {size}); }
void GLAPIENTRY glFlush() { record("glFlush"); }
// clang-format on

void GLAPIENTRY glBegin(GLenum mode)
{
    record("glBegin", {double(mode)});
    gl.insideBegin = true;
}

void GLAPIENTRY glEnd()
{
    record("glEnd");
    gl.insideBegin = false;
}

void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b)
{
    gl.colour[0] = r;
    gl.colour[1] = g;
    gl.colour[2] = b;
}

void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!gl.insideBegin)
        ++gl.verticesOutsideBegin;
    gl.points.push_back({x, y, z, gl.colour[0], gl.colour[1], gl.colour[2]});
}

GLenum GLAPIENTRY glGetError()
{
    record("glGetError");
    if (gl.pendingErrors.empty())
        return GL_NO_ERROR;
    const GLenum code = gl.pendingErrors.front();
    gl.pendingErrors.erase(gl.pendingErrors.begin());
    return code;
}

void GLAPIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    record("gluPerspective", {fovy, aspect, zNear, zFar});
}

// Mesa's texts for the two codes the tests use; null for any other, as GLU
// gives for codes it does not know.
const GLubyte* GLAPIENTRY gluErrorString(GLenum code)
{
    const char* text = nullptr;
    if (code == GL_INVALID_ENUM)
        text = "invalid enumerant";
    else if (code == GL_INVALID_OPERATION)
        text = "invalid operation";
    return reinterpret_cast<const GLubyte*>(text);
}

// clang-format off
void FGAPIENTRY glutPostRedisplay() { ++gl.redisplayRequests; }
void FGAPIENTRY glutSwapBuffers() { record("glutSwapBuffers"); }
// clang-format on

void FGAPIENTRY glutIdleFunc(void (*callback)())
{
    ++gl.idleFuncCalls;
    gl.idleFunc = callback;
}

} // extern "C"
