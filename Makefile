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
TEST_PACKAGES  = libgtest-dev libbenchmark-dev libx11-dev xvfb xdotool libgl1-mesa-dri dpkg-dev man-db
SHOT_PACKAGES  = xvfb xdotool x11-apps imagemagick libgl1-mesa-dri
BENCH_PACKAGES = libbenchmark-dev xvfb libgl1-mesa-dri

PACKAGE_PACKAGES = dpkg-dev lintian man-db
PACKAGE_BUILD   ?= build-package

.PHONY: build run test bench clean test-clang pictures icons package

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

# The same build and tests with clang++, in a build directory of its own.
test-clang:
	@tools/ensure-packages "the tests built with clang++" clang
	$(MAKE) test BUILD=build-clang CMAKE_FLAGS="$(CMAKE_FLAGS) -DCMAKE_CXX_COMPILER=clang++"

# The README's screenshot and animation, from the real program on a virtual display.
pictures: build
	@tools/ensure-packages "capturing the pictures" $(SHOT_PACKAGES)
	tools/capture pictures $(BUILD)/velquin docs

# The desktop icon in the hicolor sizes; committed, so that building needs no ImageMagick.
icons: build
	@tools/ensure-packages "capturing the icon" $(SHOT_PACKAGES)
	tools/capture icons $(BUILD)/velquin packaging/icons

# The Debian package, built as Debian builds its own (dpkg-buildflags, with
# every hardening feature) in a build directory of its own, then checked by
# lintian and by the test that installs it into a scratch root and runs it.
package:
	@tools/ensure-packages "the Debian package and its checks" $(BUILD_PACKAGES) $(TEST_PACKAGES) $(PACKAGE_PACKAGES)
	eval "$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)" && \
	  CXXFLAGS="$$CXXFLAGS $$CPPFLAGS" cmake -S . -B $(PACKAGE_BUILD) $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_BUILD) --parallel 2
	cd $(PACKAGE_BUILD) && cpack -G DEB
	lintian --fail-on error,warning --display-info \
	  $(PACKAGE_BUILD)/velquin_*.deb
	ctest --test-dir $(PACKAGE_BUILD) --label-regex package --output-on-failure

clean:
	rm -rf $(BUILD) build-clang $(PACKAGE_BUILD)
