// The web build's gluErrorString, compiled here under another name, against
// Mesa's own: the same text for every code, and null for the same codes.
#include "disc/gl.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

extern "C" const GLubyte* webGluErrorString(GLenum errorCode);

namespace {

std::string textOf(const GLubyte* text)
{
    return text == nullptr ? "(null)" : reinterpret_cast<const char*>(text);
}

} // namespace

TEST(WebGluErrorStringTest, GivesMesaTextsAndNullWhereMesaDoes)
{
    std::vector<GLenum> codes = {0x80000000u, 0xFFFFFFFFu};
    for (GLenum code = 0; code < 0x20000; ++code)
        codes.push_back(code);
    int known = 0;
    for (const GLenum code : codes) {
        ASSERT_EQ(textOf(webGluErrorString(code)), textOf(gluErrorString(code))) << "code 0x" << std::hex << code;
        known += gluErrorString(code) != nullptr;
    }
    EXPECT_EQ(known, 57) << "Mesa's table changed";
    EXPECT_EQ(textOf(webGluErrorString(GL_INVALID_OPERATION)), "invalid operation");
}
