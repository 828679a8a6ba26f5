// The event player behind the fuzzer and the corpus replay (format in the header).
#include "input_driver.h"

#include "app/input.h"
#include "disc/disc.h"
#include "render/render.h"
#include "support/gl_recorder.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// --- Escape -----------------------------------------------------------------

bool insideKeyboard = false; // only then does exit() come back to the driver
int exitStatus = -1;
std::jmp_buf escapeJump;

// --- Start states -------------------------------------------------------------

struct StartState {
    Disc disc;
    std::uint32_t randomState = 1;
    std::vector<float> radius, angularSpeed, angle;
};

std::vector<StartState> starts;
FuzzCounts counts;

StartState capture()
{
    StartState s;
    s.disc = disc;
    s.randomState = randomState;
    s.radius.assign(disc.radius, disc.radius + disc.particleCount);
    s.angularSpeed.assign(disc.angularSpeed, disc.angularSpeed + disc.particleCount);
    s.angle.assign(disc.angle, disc.angle + disc.particleCount);
    return s;
}

// The arrays belong to the disc; they are reused from run to run.
void restore(const StartState& s)
{
    if (disc.radius == nullptr)
        allocateDisc();
    float* radius = disc.radius;
    float* angularSpeed = disc.angularSpeed;
    float* angle = disc.angle;
    disc = s.disc;
    disc.radius = radius;
    disc.angularSpeed = angularSpeed;
    disc.angle = angle;
    randomState = s.randomState;
    std::copy(s.radius.begin(), s.radius.end(), disc.radius);
    std::copy(s.angularSpeed.begin(), s.angularSpeed.end(), disc.angularSpeed);
    std::copy(s.angle.begin(), s.angle.end(), disc.angle);
    view = ViewState{};
    input = InputState{};
    resetGlRecord();
    gl.idleFunc = stepDisc; // installed by main before the loop starts
}

// The warm arrays stand for any step count that leaves batch 0 the oldest,
// that is any multiple of lifetimeSteps.
std::int64_t multipleOfLifetimeAtMost(std::int64_t limit)
{
    return limit / disc.lifetimeSteps * disc.lifetimeSteps;
}

// --- Reading the bytes --------------------------------------------------------

struct Bytes {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    bool done() const { return at >= size; }
    std::uint32_t take(int count)
    {
        std::uint32_t value = 0;
        for (int k = 0; k < count; ++k, ++at)
            if (at < size)
                value |= std::uint32_t{data[at]} << (8 * k);
        return value;
    }
    std::uint8_t u8() { return static_cast<std::uint8_t>(take(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(take(2)); }
    int i32()
    {
        const std::uint32_t bits = take(4);
        int value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
};

// --- Invariants ---------------------------------------------------------------

std::string failure; // the first broken invariant of the current input

void require(bool holds, const std::string& what)
{
    if (!holds && failure.empty())
        failure = what + " (stepCount " + std::to_string(disc.stepCount) + ")";
}

// The count as defined: min(particleCount, batchSize x stepCount), with the
// product compared without being formed once it could overflow.
std::int32_t expectedLiveCount()
{
    if (disc.stepCount >= disc.particleCount / disc.batchSize)
        return disc.particleCount;
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(disc.particleCount, std::int64_t{disc.batchSize} * disc.stepCount));
}

// Copies of the arrays as last checked, so that an event that does not touch
// them costs a comparison, not a recheck.
std::vector<float> checkedRadius, checkedSpeed;
std::int32_t checkedLive = -1;

void checkDisc()
{
    require(disc.radius != nullptr && disc.angularSpeed != nullptr && disc.angle != nullptr, "the arrays are there");
    if (!failure.empty())
        return;
    const std::int32_t live = liveCount();
    require(live == expectedLiveCount(), "liveCount is min(particleCount, batchSize x stepCount)");
    require(live >= 0 && live <= disc.particleCount, "liveCount within the arrays");
    const std::int64_t batch = disc.stepCount % disc.lifetimeSteps;
    require(batch >= 0 && (batch + 1) * disc.batchSize <= disc.particleCount,
            "the next respawned batch lies inside the arrays");
    require(!std::isnan(disc.timeStep), "timeStep is a number");
    if (!failure.empty())
        return;

    const auto n = static_cast<std::size_t>(live);
    if (live == checkedLive && std::equal(disc.radius, disc.radius + n, checkedRadius.begin()) &&
        std::equal(disc.angularSpeed, disc.angularSpeed + n, checkedSpeed.begin()))
        return;
    for (std::int32_t i = 0; i < live; ++i) {
        const float r = disc.radius[i];
        if (!(r > 0.09f && r <= 41.1f)) {
            require(false, "radius of live particle " + std::to_string(i) + " within (0.09, 41.1]");
            return;
        }
        if (disc.angularSpeed[i] != static_cast<float>(1.0 / std::pow(static_cast<double>(r), 1.5))) {
            require(false, "angularSpeed of particle " + std::to_string(i) + " is radius^-1.5");
            return;
        }
    }
    checkedLive = live;
    checkedRadius.assign(disc.radius, disc.radius + n);
    checkedSpeed.assign(disc.angularSpeed, disc.angularSpeed + n);
}

void checkView()
{
    require(std::isfinite(view.zoom) && view.zoom != 0.0f, "zoom finite and non-zero");
}

// What one display() sent.
void checkFrame()
{
    int begins = 0, ends = 0, pushes = 0, pops = 0;
    for (const GlCall& call : gl.calls) {
        begins += call.name == "glBegin";
        ends += call.name == "glEnd";
        pushes += call.name == "glPushMatrix";
        pops += call.name == "glPopMatrix";
    }
    require(begins == 1 && ends == 1 && !gl.insideBegin, "one glBegin/glEnd pair per frame");
    require(pushes == pops, "glPushMatrix/glPopMatrix paired");
    require(gl.verticesOutsideBegin == 0, "no vertex outside glBegin/glEnd");
    require(gl.points.size() == static_cast<std::size_t>(liveCount()), "one point per live particle");
    for (const GlPoint& p : gl.points) {
        if (!(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.r) &&
              std::isfinite(p.g) && std::isfinite(p.b))) {
            require(false, "every vertex and colour finite");
            break;
        }
    }
}

// The recorder is emptied after each event; the installed idle callback stays.
void clearRecord()
{
    void (*idle)() = gl.idleFunc;
    resetGlRecord();
    gl.idleFunc = idle;
}

void drawFrame()
{
    clearRecord();
    display();
    ++counts.frames;
    checkFrame();
    clearRecord();
}

// GLUT draws once after any event that asked for it.
void drawIfRequested()
{
    if (gl.redisplayRequests > 0)
        drawFrame();
}

// --- Events -------------------------------------------------------------------

std::int64_t stepsLeft = 0;

// The batch the step is about to respawn must come out at the spawn ring
// (less the one fall it gets in the same step after warm-up). The whole disc is
// checked once the event is over: a full check costs as much as a step.
void checkedStep(void (*step)())
{
    const auto first = static_cast<std::int32_t>(disc.stepCount % disc.lifetimeSteps) * disc.batchSize;
    step();
    ++counts.steps;
    --stepsLeft;
    for (std::int32_t i = first; i < first + disc.batchSize; ++i)
        if (!(disc.radius[i] > 39.9f && disc.radius[i] <= 41.0f)) {
            require(false, "particle " + std::to_string(i) + " respawned by the step");
            break;
        }
}

void pressKey(unsigned char key, int x, int y)
{
    exitStatus = -1;
    if (setjmp(escapeJump) == 0) {
        insideKeyboard = true;
        keyboard(key, x, y);
        insideKeyboard = false;
        return;
    }
    insideKeyboard = false;
    ++counts.escapes;
    require(key == 27, "only Escape ends the program");
    require(exitStatus == 0, "Escape exits with status 0");
    require(disc.radius == nullptr && disc.angularSpeed == nullptr && disc.angle == nullptr,
            "Escape releases the three arrays");
    restore(starts[0]);
    checkedLive = -1;
}

void playEvent(Bytes& bytes)
{
    static const int arrows[] = {GLUT_KEY_LEFT, GLUT_KEY_UP, GLUT_KEY_RIGHT, GLUT_KEY_DOWN};
    switch (bytes.u8() % 9) {
    case 0: {
        const unsigned char key = bytes.u8();
        const int x = bytes.i32();
        pressKey(key, x, bytes.i32());
        break;
    }
    case 1: {
        const int key = bytes.i32();
        const int x = bytes.i32();
        special(key, x, bytes.i32());
        break;
    }
    case 2: {
        const int button = bytes.i32();
        const int state = bytes.i32();
        const int x = bytes.i32();
        mouse(button, state, x, bytes.i32());
        break;
    }
    case 3: {
        const int x = bytes.i32();
        motion(x, bytes.i32());
        break;
    }
    case 4: {
        const int width = bytes.i32();
        reshape(width, bytes.i32());
        break;
    }
    case 5:
        for (int turn = bytes.u8() % 64; turn >= 0 && stepsLeft > 0 && failure.empty(); --turn) {
            if (gl.idleFunc != nullptr)
                checkedStep(gl.idleFunc);
            drawIfRequested();
        }
        break;
    case 6:
        for (int step = bytes.u8() % 64; step >= 0 && stepsLeft > 0 && failure.empty(); --step)
            checkedStep(advanceDisc);
        break;
    case 7:
        drawFrame();
        break;
    default: {
        const int key = arrows[bytes.u8() % 4];
        for (int press = bytes.u16(); press > 0; --press)
            special(key, 0, 0);
        break;
    }
    }
    ++counts.events;
    drawIfRequested();
    checkDisc();
    checkView();
    clearRecord();
}

} // namespace

extern "C" [[noreturn]] void __real_exit(int status);

// Linked in place of exit() (--wrap=exit): inside keyboard() it takes Escape's
// status and returns to the driver; everywhere else it is the real exit.
extern "C" [[noreturn]] void __wrap_exit(int status)
{
    if (!insideKeyboard)
        __real_exit(status);
    exitStatus = status;
    std::longjmp(escapeJump, 1);
}

void prepareFuzzRuns()
{
    starts.clear();
    releaseDisc();
    disc = Disc{};
    randomState = 1;
    allocateDisc();
    starts.push_back(capture());
    for (int k = 0; k < 1090; ++k)
        advanceDisc();
    starts.push_back(capture());
    for (int k = 1090; k < 1100; ++k)
        advanceDisc();
    starts.push_back(capture());

    StartState productLimit = starts.back();
    const std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
    productLimit.disc.stepCount = multipleOfLifetimeAtMost(int64Max / disc.batchSize) + disc.lifetimeSteps;
    starts.push_back(productLimit);
    StartState countLimit = starts.back();
    countLimit.disc.stepCount = multipleOfLifetimeAtMost(int64Max - fuzzStepBudget);
    starts.push_back(countLimit);
}

std::string playInput(const std::uint8_t* data, std::size_t size)
{
    Bytes bytes{data, size};
    failure.clear();
    restore(starts[bytes.u8() % starts.size()]);
    checkedLive = -1;
    stepsLeft = fuzzStepBudget;

    // 0.001 presses from 0.5, as far as they can go: past about 32768 the
    // increment is under half a float step and the sum stays put.
    const double presses = std::clamp(static_cast<double>(bytes.i32()), -32768500.0, 32767500.0);
    disc.timeStep = static_cast<float>(0.5 + presses * 0.001);

    checkDisc();
    while (!bytes.done() && failure.empty())
        playEvent(bytes);
    return failure;
}

const FuzzCounts& fuzzCounts()
{
    return counts;
}
