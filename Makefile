# The two commands: `make run` builds and opens the window, `make test` builds
# and runs every test. Each first installs the Debian packages it lacks.

BUILD       ?= build
CMAKE_FLAGS ?=
# In CI, compiler warnings are errors.
ifeq ($(CI),true)
CMAKE_FLAGS += -DVELQUIN_WERROR=ON
endif

BUILD_PACKAGES = cmake make g++ libgl-dev libglu1-mesa-dev freeglut3-dev
# The benchmarks are built with the tests, so that they keep compiling.
TEST_PACKAGES  = libgtest-dev libbenchmark-dev libx11-dev xvfb xdotool libgl1-mesa-dri
SHOT_PACKAGES  = xvfb xdotool x11-apps imagemagick libgl1-mesa-dri

BENCH_PACKAGES = libbenchmark-dev xvfb libgl1-mesa-dri

.PHONY: build run test bench clean

build:
	@tools/ensure-packages "building velquin" $(BUILD_PACKAGES)
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) --parallel

run: build
ifeq ($(DISPLAY),)
	@tools/ensure-packages "showing velquin on a virtual display" $(SHOT_PACKAGES)
	tools/headless-run $(BUILD)/velquin $(BUILD)/velquin-screenshot.png
else
	$(BUILD)/velquin
endif

test:
	@tools/ensure-packages "the tests" $(BUILD_PACKAGES) $(TEST_PACKAGES)
	$(MAKE) build CMAKE_FLAGS="$(CMAKE_FLAGS) -DVELQUIN_BENCH=ON"
	ctest --test-dir $(BUILD) --output-on-failure --parallel 2

# The plain reading against the program's own code, side by side in one run:
# the step and the frame's arithmetic, then whole frames in a real window on a
# virtual display. The figures are recorded in docs/performance.md.
bench:
	@tools/ensure-packages "the benchmarks" $(BUILD_PACKAGES) $(BENCH_PACKAGES)
	$(MAKE) build CMAKE_FLAGS="$(CMAKE_FLAGS) -DVELQUIN_BENCH=ON"
	$(BUILD)/bench/disc_bench --benchmark_min_time=1
	tools/with-virtual-display $(BUILD)/bench/frame_bench 1000

clean:
	rm -rf $(BUILD)
