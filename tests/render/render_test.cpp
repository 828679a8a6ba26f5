// What reshape, display and drawDisc send to GL, seen through the recording
// stand-in: the calls in order, the exact point values and the error line.
#include "disc/disc.h"
#include "render/render.h"
#include "support/fresh_state.h"
#include "support/gl_recorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override { freshState(); }
    void TearDown() override { releaseDisc(); }

    static std::vector<double> argsOf(const std::string& name, int occurrence = 0)
    {
        for (const GlCall& call : gl.calls)
            if (call.name == name && occurrence-- == 0)
                return call.args;
        ADD_FAILURE() << name << " was not called";
        return {};
    }

    static std::string displayOutput()
    {
        ::testing::internal::CaptureStdout();
        display();
        return ::testing::internal::GetCapturedStdout();
    }
};

TEST_F(RenderTest, ReshapeSetsThePerspectiveAndTheCamera)
{
    reshape(480, 240);
    EXPECT_EQ(glCallNames(), (Names{"glViewport", "glMatrixMode", "glLoadIdentity", "gluPerspective", "glMatrixMode",
                                    "glLoadIdentity", "glTranslatef"}));
    EXPECT_EQ(argsOf("glViewport"), (std::vector<double>{0, 0, 480, 240}));
    EXPECT_EQ(argsOf("glMatrixMode", 0), (std::vector<double>{GL_PROJECTION}));
    EXPECT_EQ(argsOf("glMatrixMode", 1), (std::vector<double>{GL_MODELVIEW}));
    EXPECT_EQ(argsOf("gluPerspective"), (std::vector<double>{60.0, 2.0, 0.1, 50.0}));
    EXPECT_EQ(argsOf("glTranslatef"), (std::vector<double>{0, 0, -6}));

    resetGlRecord();
    reshape(641, 480);
    EXPECT_EQ(argsOf("gluPerspective")[1], 641.0 / 480.0) << "a real quotient, not an integer one";
}

TEST_F(RenderTest, ReshapeToZeroHeightKeepsTheProjection)
{
    reshape(300, 0);
    EXPECT_EQ(glCallNames(), (Names{"glViewport"}));
    EXPECT_EQ(argsOf("glViewport"), (std::vector<double>{0, 0, 300, 0}));
    resetGlRecord();
    reshape(0, 0);
    EXPECT_EQ(glCallNames(), (Names{"glViewport"}));
}

TEST_F(RenderTest, FrameBeforeTheFirstStepDrawsNothingAndPrintsNothing)
{
    EXPECT_EQ(displayOutput(), "");
    EXPECT_EQ(glCallNames(), (Names{"glClear", "glPushMatrix", "glRotatef", "glRotatef", "glScalef", "glPointSize",
                                    "glBegin", "glEnd", "glPopMatrix", "glFlush", "glGetError", "glutSwapBuffers"}));
    EXPECT_EQ(argsOf("glClear"), (std::vector<double>{0x4100}));
    EXPECT_EQ(argsOf("glPointSize"), (std::vector<double>{1.0}));
    EXPECT_EQ(argsOf("glBegin"), (std::vector<double>{GL_POINTS}));
    EXPECT_TRUE(gl.points.empty());
}

TEST_F(RenderTest, FrameTurnsAboutXThenYThenScales)
{
    view = ViewState{30.5f, -45.0f, 0.25f};
    displayOutput();
    EXPECT_EQ(argsOf("glRotatef", 0), (std::vector<double>{30.5, 1, 0, 0}));
    EXPECT_EQ(argsOf("glRotatef", 1), (std::vector<double>{-45.0, 0, 1, 0}));
    EXPECT_EQ(argsOf("glScalef"), (std::vector<double>{0.25, 0.25, 0.25}));
}

TEST_F(RenderTest, FirstStepSendsParticleZeroAtItsExactVertexAndGrey)
{
    advanceDisc();
    displayOutput();
    ASSERT_EQ(gl.points.size(), 20u);
    const GlPoint& p = gl.points[0];
    EXPECT_EQ(p.x, -36.851135f);
    EXPECT_EQ(p.y, -15.559367f);
    EXPECT_EQ(p.z, 0.0f);
    EXPECT_EQ(p.r, 0.19996873f);
    EXPECT_EQ(p.g, 0.19996873f);
    EXPECT_EQ(p.b, 0.19996873f);
    EXPECT_EQ(gl.verticesOutsideBegin, 0);
}

TEST_F(RenderTest, ParticleAtAngleZeroOnTheRingIsSentAsFortyZeroZero)
{
    advanceDisc();
    disc.angle[3] = 0.0f;
    disc.radius[3] = 40.0f;
    drawDisc();
    const GlPoint& p = gl.points[3];
    EXPECT_EQ(p.x, 40.0f);
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_EQ(p.z, 0.0f);
    EXPECT_EQ(p.g, 0.2f);
}

TEST_F(RenderTest, FullDiscSendsEveryParticleInIndexOrder)
{
    for (int k = 0; k < 1300; ++k)
        advanceDisc();
    drawDisc();
    ASSERT_EQ(gl.points.size(), 22000u);
    for (std::size_t i = 0; i < gl.points.size(); ++i) {
        const GlPoint& p = gl.points[i];
        const double a = disc.angle[i];
        const double r = disc.radius[i];
        ASSERT_EQ(p.x, static_cast<float>(static_cast<float>(std::cos(a)) * r)) << "particle " << i;
        ASSERT_EQ(p.y, static_cast<float>(static_cast<float>(std::sin(a)) * r)) << "particle " << i;
        ASSERT_EQ(p.g, static_cast<float>((40.0 - r) / 40.0 + double{0.2f})) << "particle " << i;
        ASSERT_EQ(p.r, p.g);
        ASSERT_EQ(p.b, p.g);
    }
    // The innermost particles are brighter than white; the pipeline clamps them.
    float brightest = 0.0f;
    for (const GlPoint& p : gl.points)
        brightest = std::fmax(brightest, p.g);
    EXPECT_GT(brightest, 1.1f);
}

TEST_F(RenderTest, PendingErrorIsReportedOncePerFrameWithLine96)
{
    gl.pendingErrors = {GL_INVALID_ENUM, GL_INVALID_OPERATION};
    EXPECT_EQ(displayOutput(), "GL Error invalid enumerant (0x500) at line 96\n");
    EXPECT_EQ(displayOutput(), "GL Error invalid operation (0x502) at line 96\n");
    EXPECT_EQ(displayOutput(), "");
}

TEST_F(RenderTest, ErrorWithoutATextIsReportedAsUnknown)
{
    gl.pendingErrors = {0x9999};
    EXPECT_EQ(displayOutput(), "GL Error unknown error (0x9999) at line 96\n");
}

} // namespace
