# The two commands: `make run` builds and opens the window, `make test` builds
# and runs every test. Each first installs the Debian packages it lacks.
# `make` alone lists every target.

BUILD       ?= build
CMAKE_FLAGS ?=
# In CI, compiler warnings are errors.
ifeq ($(CI),true)
CMAKE_FLAGS += -DVELQUIN_WERROR=ON
endif

# Every date that a build writes (in archives, the PE time stamp that mingw-w64's
# strip sets) is the last commit's, unless the caller names another; the Debian
# packages' is their changelog's, as on Debian's own builders.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

# As many build and test jobs as the machine has cores.
JOBS := $(shell nproc 2>/dev/null || echo 1)

# debian/control's Build-Depends, with a compiler and make: "new|old" is the
# current name, or the older one on releases that lack it.
BUILD_PACKAGES := make g++ $(shell tools/build-depends)
# The tests are built only when asked for: they need GoogleTest and X11, which
# the program does not, and ImageMagick to read the icons. The benchmarks are
# built with them, so that they keep compiling. The package tests (make
# package, make test-arm64) also need dpkg, man and AppStream, which checks
# the software-centre entry.
TESTS          = -DVELQUIN_TESTS=ON
TEST_PACKAGES  = libgtest-dev libbenchmark-dev libx11-dev xvfb xdotool libgl1-mesa-dri imagemagick
PACKAGE_TEST_PACKAGES = dpkg-dev man-db appstream appstream-compose
SHOT_PACKAGES  = xvfb xdotool x11-apps imagemagick libgl1-mesa-dri
BENCH_PACKAGES = libbenchmark-dev xvfb libgl1-mesa-dri

PACKAGE_PACKAGES = build-essential dpkg-dev debhelper lintian man-db
PACKAGE_BUILD   ?= build-package
# The version, from CMakeLists.txt's project() line, for the names of what is
# made; the Debian packages' adds debian/changelog's revision (1.0.0-1).
VERSION     := $(shell sed -n '/^project/s/.* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DEB_VERSION := $(shell head -n 1 debian/changelog | cut -d ' ' -f 2 | tr -d '()')
NATIVE_ARCH := $(shell dpkg --print-architecture 2>/dev/null)
NATIVE_DEB   = $(CURDIR)/$(PACKAGE_BUILD)/velquin_$(DEB_VERSION)_$(NATIVE_ARCH).deb

.PHONY: help build run test bench clean test-clang pictures icons package \
        test-sanitize memcheck fuzz soak soak-steps soak-window lint format

# `make` alone lists the targets, by who needs them.
.DEFAULT_GOAL := help
help:
	@echo 'Velquin: make TARGET. Each target first installs the Debian packages it lacks.'
	@echo
	@echo 'To use it:'
	@echo '  run                 build and open the window (a screenshot with no display)'
	@echo '  test                build and run every test'
	@echo '  package             the Debian source package and .deb, checked by lintian and its tests'
	@echo '  web, serve          the page in build-web/; serve it on 127.0.0.1:$(WEB_PORT)'
	@echo '  windows             velquin.exe zipped for Windows; ADDS deb-src entries to apt'"'"'s sources'
	@echo '  arm64               the arm64 Debian package; ADDS the arm64 architecture to dpkg'
	@echo
	@echo 'To change it (docs/testing.md, CONTRIBUTING.md):'
	@echo '  build, clean        build in build/; remove every build folder'
	@echo '  lint, format        static analysis and layout; lay the C++ out'
	@echo '  test-clang, test-sanitize, memcheck, fuzz, soak'
	@echo '                      clang, ASan and UBSan, valgrind, libFuzzer, the long runs'
	@echo '  test-windows, test-arm64, test-web'
	@echo '                      under Wine, under qemu-user, in Chromium, Firefox and WebKit'
	@echo '  test-fresh          the two commands on fresh Debian 12 and 13 roots (root only)'
	@echo '  test-package        the package built by sbuild in a clean root, and its autopkgtest'
	@echo '  bench, speed-web, audit-web'
	@echo '                      speed of the desktop frame and of the page; Lighthouse'
	@echo '  pictures, pictures-web, icons'
	@echo '                      retake the README'"'"'s pictures, the page'"'"'s and the icons'
	@echo
	@echo 'To release it (docs/releasing.md):'
	@echo '  release             every deliverable, with sums and records, into dist/'
	@echo '  test-reproducible   the release made again elsewhere and compared'

build:
	@tools/ensure-packages "building velquin" $(BUILD_PACKAGES)
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) --parallel $(JOBS)

# Everything it needs is installed before anything is built.
run:
ifeq ($(DISPLAY),)
	@tools/ensure-packages "building velquin and showing it on a virtual display" $(BUILD_PACKAGES) $(SHOT_PACKAGES)
	$(MAKE) build
	tools/headless-run $(BUILD)/velquin $(BUILD)/velquin-screenshot.png
else
	@tools/ensure-packages "building velquin" $(BUILD_PACKAGES)
	$(MAKE) build
	$(BUILD)/velquin
endif

test:
	@tools/ensure-packages "the tests" $(BUILD_PACKAGES) $(TEST_PACKAGES)
	$(MAKE) build CMAKE_FLAGS="$(CMAKE_FLAGS) $(TESTS) -DVELQUIN_BENCH=ON"
	ctest --test-dir $(BUILD) --output-on-failure --parallel $(JOBS)

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
pictures:
	@tools/ensure-packages "capturing the pictures" $(BUILD_PACKAGES) $(SHOT_PACKAGES)
	$(MAKE) build
	tools/capture pictures $(BUILD)/velquin docs

# The page's two pictures in docs/, at a desktop's width and a phone's, in
# headless Chromium; committed, like the desktop's.
.PHONY: pictures-web
pictures-web:
	@tools/ensure-packages "capturing the page's pictures" $(WEB_PACKAGES) chromium
	@command -v npm >/dev/null || tools/ensure-packages "the browser harness's npm packages" npm
	$(MAKE) web
	npm ci --prefix tests/web --ignore-scripts --no-audit --no-fund
	VELQUIN_WEB_BUILD=$(WEB_BUILD) tools/capture-web docs/velquin-web.png
	VELQUIN_WEB_BUILD=$(WEB_BUILD) tools/capture-web docs/velquin-web-phone.png phone

# The desktop icon in the hicolor sizes and as velquin.exe's icon; committed, so
# that building needs no ImageMagick.
icons:
	@tools/ensure-packages "capturing the icon" $(BUILD_PACKAGES) $(SHOT_PACKAGES)
	$(MAKE) build
	tools/capture icons $(BUILD)/velquin packaging/icons windows/velquin.ico

# The Debian source package (.dsc, .orig.tar.gz, .debian.tar.xz) and this
# machine's .deb, made by dpkg-buildpackage from debian/ in $(PACKAGE_BUILD)/
# (tools/debian-package), checked by lintian, then by the test that unpacks
# the .deb (dpkg -x) into a scratch folder and runs its program.
package:
	@tools/ensure-packages "the Debian package and its checks" $(BUILD_PACKAGES) $(TEST_PACKAGES) $(PACKAGE_PACKAGES) \
	    $(PACKAGE_TEST_PACKAGES)
	tools/debian-package $(PACKAGE_BUILD)
	cmake -S . -B $(PACKAGE_BUILD)/tests $(CMAKE_FLAGS) $(TESTS) -DVELQUIN_DEB=$(NATIVE_DEB)
	cmake --build $(PACKAGE_BUILD)/tests --target package_tests --parallel $(JOBS)
	ctest --test-dir $(PACKAGE_BUILD)/tests --label-regex package --output-on-failure

# The source package built again in a clean minimal Debian 12 root by sbuild,
# which proves Build-Depends complete, then autopkgtest's tests of the .deb
# that `make package` made (made first if there is none), installed in another
# such root (tools/test-package). The root is cached in /var/cache/velquin.
.PHONY: test-package
# Debian 13's sbuild brings up the build's network with ip, which it only recommends.
TEST_PACKAGE_PACKAGES = sbuild mmdebstrap autopkgtest uidmap iproute2

test-package:
	@tools/ensure-packages "the clean-room build and autopkgtest" $(TEST_PACKAGE_PACKAGES)
	@test -f $(NATIVE_DEB) || $(MAKE) package
	tools/test-package $(PACKAGE_BUILD) $(DEB_VERSION)

clean:
	rm -rf $(BUILD) build-clang $(PACKAGE_BUILD) build-sanitize build-fuzz build-lint build-windows build-web build-web-native \
	  build-arm64 dist

# The whole suite again, window tests included, under AddressSanitizer and
# UndefinedBehaviorSanitizer, in a build directory of its own. Any report fails.
SANITIZE_BUILD = build-sanitize
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer

test-sanitize:
	@tools/ensure-packages "the sanitizer run" $(BUILD_PACKAGES) $(TEST_PACKAGES)
	cmake -S . -B $(SANITIZE_BUILD) $(CMAKE_FLAGS) $(TESTS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    "-DCMAKE_CXX_FLAGS=$(SANITIZE_FLAGS)" "-DCMAKE_EXE_LINKER_FLAGS=$(SANITIZE_FLAGS)"
	cmake --build $(SANITIZE_BUILD) --parallel $(JOBS)
	tools/sanitize-run $(SANITIZE_BUILD)

# The real program under valgrind memcheck on a virtual display for a few
# hundred frames, then Escape: no invalid access, nothing of its own left.
MEMCHECK_PACKAGES = valgrind xvfb xdotool libgl1-mesa-dri

memcheck:
	@tools/ensure-packages "the memcheck run" $(BUILD_PACKAGES) $(MEMCHECK_PACKAGES)
	$(MAKE) build
	tools/memcheck $(BUILD)/velquin $(BUILD)/memcheck

# The libFuzzer harness over the program's input callbacks, steps and frames,
# built with clang in a build directory of its own and run for FUZZ_SECONDS.
FUZZ_BUILD    = build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_FLAGS    = -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
                -fsanitize-coverage-ignorelist=$(CURDIR)/tests/fuzz/coverage-ignore.txt
FUZZ_PACKAGES = clang libclang-rt-dev

fuzz:
	@tools/ensure-packages "the fuzzer" $(BUILD_PACKAGES) libgtest-dev libx11-dev $(FUZZ_PACKAGES)
	cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS) $(TESTS) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DVELQUIN_FUZZ=ON "-DCMAKE_CXX_FLAGS=$(FUZZ_FLAGS)" "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined"
	cmake --build $(FUZZ_BUILD) --target input_fuzzer --parallel $(JOBS)
	tools/fuzz-run $(FUZZ_BUILD)/tests/input_fuzzer $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The long runs, side by side on the two cores: a million disc steps, and the
# program in a window for a few minutes under random real input.
soak:
	@tools/ensure-packages "the long runs" $(BUILD_PACKAGES) $(TEST_PACKAGES)
	$(MAKE) build CMAKE_FLAGS="$(CMAKE_FLAGS) $(TESTS)"
	$(MAKE) --no-print-directory -j2 --output-sync=target soak-steps soak-window

soak-steps:
	$(BUILD)/tests/soak_tests --gtest_filter='DiscSoakTest.*'

soak-window:
	$(BUILD)/tests/soak_tests --gtest_filter='WindowSoakTest.*'

# Static analysis: layout, clang-tidy and cppcheck, from the compile commands
# of a configured (not built) build-lint/. `make format` fixes the layout.
LINT_BUILD    = build-lint
LINT_PACKAGES = clang-format clang-tidy clang-tools cppcheck

lint:
	@tools/ensure-packages "the static analysis" $(BUILD_PACKAGES) libgtest-dev libx11-dev $(LINT_PACKAGES)
	cmake -S . -B $(LINT_BUILD) $(CMAKE_FLAGS) $(TESTS) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DVELQUIN_FUZZ=ON \
	    -DVELQUIN_WINDOWS_ZIP=$(WINDOWS_ZIP)
	tools/lint $(LINT_BUILD)

format:
	@tools/ensure-packages "formatting" clang-format
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# The README's two commands on a brand-new minimal Debian, as root and as a user
# with sudo (tools/test-fresh). Needs root; the base root is cached in /var/cache/velquin.
.PHONY: test-fresh

test-fresh:
	@tools/ensure-packages "the fresh-root check" debootstrap
	tools/test-fresh

# Windows: velquin.exe cross-built with Debian's mingw-w64 against freeglut
# built here from Debian's source package, zipped with its README.txt, and
# tested under Debian's Wine: the disc's numbers against the committed ones,
# and the program from the zip in a window on a virtual display.
WINDOWS_BUILD    = build-windows
WINDOWS_PACKAGES = cmake make g++-mingw-w64-x86-64-win32 dpkg-dev strip-nondeterminism
WINE_PACKAGES    = wine64 xvfb xdotool icoutils
WINE_RUN         = $(CURDIR)/tools/wine-run;$(CURDIR)/$(WINDOWS_BUILD)/wine-prefix
WINDOWS_ZIP      = $(CURDIR)/$(WINDOWS_BUILD)/velquin-$(VERSION)-windows-x86_64.zip

.PHONY: windows test-windows

windows:
	@tools/ensure-packages "the Windows build" $(WINDOWS_PACKAGES)
	tools/windows-freeglut $(WINDOWS_BUILD)/freeglut-source $(CURDIR)/$(WINDOWS_BUILD)/freeglut
	cmake -S . -B $(WINDOWS_BUILD) $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	    -DCMAKE_PREFIX_PATH=$(CURDIR)/$(WINDOWS_BUILD)/freeglut -DVELQUIN_NUMBERS=ON \
	    "-DCMAKE_CROSSCOMPILING_EMULATOR=$(WINE_RUN)"
	cmake --build $(WINDOWS_BUILD) --parallel $(JOBS)
	cd $(WINDOWS_BUILD) && cpack

# The Wine tests are built natively, in a build directory of their own.
test-windows: windows
	@tools/ensure-packages "the Windows tests" $(BUILD_PACKAGES) $(TEST_PACKAGES) $(WINE_PACKAGES)
	ctest --test-dir $(WINDOWS_BUILD) --output-on-failure
	cmake -S . -B $(WINDOWS_BUILD)/wine-tests $(CMAKE_FLAGS) $(TESTS) \
	    -DVELQUIN_WINDOWS_ZIP=$(WINDOWS_ZIP)
	cmake --build $(WINDOWS_BUILD)/wine-tests --target wine_tests --parallel $(JOBS)
	ctest --test-dir $(WINDOWS_BUILD)/wine-tests --label-regex windows --output-on-failure

# The browser: the same program compiled to WebAssembly by Debian's Emscripten
# into build-web/ (index.html and velquin.js, the .wasm inside it, and the two
# zipped with the licence as velquin-VERSION-web.zip), served on 127.0.0.1 or
# opened from disk, and tested in Chromium, Firefox ESR and WebKitGTK's
# MiniBrowser. Emscripten's optimising link runs Debian's JavaScript tools,
# found through NODE_PATH whatever node is first on PATH.
WEB_BUILD        ?= build-web
WEB_NATIVE_BUILD  = build-web-native
WEB_PACKAGES      = emscripten cmake make strip-nondeterminism
# Firefox and WebKit run headed on Xvfb; WebKit's pixels are read from the
# display with ImageMagick's import, and every engine's decoded with its convert.
WEB_ENGINES       = chromium firefox webkit
WEB_ORIGINS       = served file
WEB_BROWSERS      = chromium firefox-esr webkit2gtk-driver libwebkit2gtk-4.1-0 xvfb imagemagick
WEB_TEST_PACKAGES = $(WEB_BROWSERS) $(BUILD_PACKAGES)
WEB_ENV           = NODE_PATH=/usr/share/nodejs
WEB_PORT         ?= 8080
WEB_ZIP           = $(CURDIR)/$(WEB_BUILD)/velquin-$(VERSION)-web.zip

.PHONY: web serve test-web speed-web audit-web

web:
	@tools/ensure-packages "the web build" $(WEB_PACKAGES)
	$(WEB_ENV) emcmake cmake -S . -B $(WEB_BUILD) $(CMAKE_FLAGS) $(WEB_FLAGS)
	$(WEB_ENV) cmake --build $(WEB_BUILD) --parallel $(JOBS)

serve: web
	tools/serve-web $(WEB_BUILD) $(WEB_PORT)

# The numbers check under node against the committed native output, then the
# page's suite once in each engine, served and from disk, against the native
# disc_numbers at the step it pauses on; every run is reported, then any failure.
test-web:
	@tools/ensure-packages "the browser tests" $(WEB_PACKAGES) $(WEB_TEST_PACKAGES)
	@command -v npm >/dev/null || tools/ensure-packages "the browser tests' npm packages" npm
	$(MAKE) web WEB_FLAGS=-DVELQUIN_NUMBERS=ON
	cmake -S . -B $(WEB_NATIVE_BUILD) $(CMAKE_FLAGS) -DVELQUIN_TESTS=OFF -DVELQUIN_NUMBERS=ON
	cmake --build $(WEB_NATIVE_BUILD) --target disc_numbers --parallel $(JOBS)
	npm ci --prefix tests/web --ignore-scripts --no-audit --no-fund
	ctest --test-dir $(WEB_BUILD) --output-on-failure
	@failed=; for engine in $(WEB_ENGINES); do for origin in $(WEB_ORIGINS); do \
	  echo "velquin: the page's tests in $$engine, $$origin"; \
	  VELQUIN_ENGINE=$$engine VELQUIN_ORIGIN=$$origin VELQUIN_WEB_BUILD=$(WEB_BUILD) VELQUIN_WEB_ZIP=$(WEB_ZIP) \
	    VELQUIN_NATIVE_NUMBERS=$(CURDIR)/$(WEB_NATIVE_BUILD)/tests/numbers/disc_numbers \
	    node --test tests/web/ || failed="$$failed $$engine/$$origin"; \
	done; done; \
	if [ -n "$$failed" ]; then echo "velquin: the page's tests failed in:$$failed" >&2; exit 1; fi

# The page's frame time beside a floor's, a frame written by hand in plain
# JavaScript, and its display frames, frames drawn and steps a second, in each engine.
speed-web:
	@tools/ensure-packages "the browser speed run" $(WEB_PACKAGES) $(WEB_BROWSERS)
	@command -v npm >/dev/null || tools/ensure-packages "the speed run's npm packages" npm
	$(MAKE) web
	npm ci --prefix tests/web --ignore-scripts --no-audit --no-fund
	VELQUIN_WEB_BUILD=$(WEB_BUILD) node bench/web_speed.mjs

# Lighthouse's four scores for the page served, as on a desktop and on a phone,
# in Debian's chromium. Not in CI: the performance score is the animation's own
# and moves with the machine's load. Lighthouse, pinned, comes from npm into a
# folder of the build's own the first time.
LIGHTHOUSE_VERSION = 12.8.2
LIGHTHOUSE_PREFIX  = $(WEB_BUILD)/lighthouse-$(LIGHTHOUSE_VERSION)

audit-web:
	@tools/ensure-packages "the page's Lighthouse audit" $(WEB_PACKAGES) chromium
	@command -v npm >/dev/null || tools/ensure-packages "Lighthouse from npm" npm
	$(MAKE) web
	test -x $(LIGHTHOUSE_PREFIX)/node_modules/.bin/lighthouse || \
	  npm install --prefix $(LIGHTHOUSE_PREFIX) --no-audit --no-fund --ignore-scripts lighthouse@$(LIGHTHOUSE_VERSION)
	tools/audit-web $(WEB_BUILD) $(LIGHTHOUSE_PREFIX)/node_modules/.bin/lighthouse

# arm64 (Raspberry Pi OS, ARM laptops, boards and servers): the Debian package
# cross-built as Debian cross-builds (dpkg-buildpackage -a arm64, with
# crossbuild-essential-arm64 and Debian's own arm64 libraries; dpkg is told of
# the architecture first) and checked by lintian; tested under qemu-user: the
# disc's numbers, cross-built with cmake/aarch64-linux-gnu.cmake, against the
# committed ones, then the package unpacked, its program in a window on a
# virtual display. qemu is slow (docs/platforms.md has its times): disc_numbers
# may take 15 minutes at the most, and each window test 3.
ARM64_BUILD    = build-arm64
ARM64_PACKAGES = make crossbuild-essential-arm64 $(PACKAGE_PACKAGES) $(shell tools/build-depends arm64)
QEMU_PACKAGES  = qemu-user xvfb xdotool libgl1-mesa-dri:arm64 libglx-mesa0:arm64
ARM64_DEB      = $(CURDIR)/$(ARM64_BUILD)/velquin_$(DEB_VERSION)_arm64.deb

.PHONY: arm64 test-arm64

arm64:
	@tools/ensure-packages "the arm64 Debian package" $(ARM64_PACKAGES)
	tools/debian-package $(ARM64_BUILD) -a arm64 -B

# The tests under qemu are built natively, in a build directory of their own.
test-arm64: arm64
	@tools/ensure-packages "the arm64 tests under qemu-user" $(BUILD_PACKAGES) $(TEST_PACKAGES) $(PACKAGE_TEST_PACKAGES) \
	    $(QEMU_PACKAGES)
	cmake -S . -B $(ARM64_BUILD)/numbers $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
	    -DVELQUIN_NUMBERS=ON "-DCMAKE_CROSSCOMPILING_EMULATOR=qemu-aarch64;-L;/"
	cmake --build $(ARM64_BUILD)/numbers --target disc_numbers --parallel $(JOBS)
	ctest --test-dir $(ARM64_BUILD)/numbers --output-on-failure --timeout 900
	cmake -S . -B $(ARM64_BUILD)/qemu-tests $(CMAKE_FLAGS) $(TESTS) -DVELQUIN_ARM64_DEB=$(ARM64_DEB)
	cmake --build $(ARM64_BUILD)/qemu-tests --target arm64_tests --parallel $(JOBS)
	ctest --test-dir $(ARM64_BUILD)/qemu-tests --label-regex arm64 --output-on-failure

# A release: every deliverable in dist/, each made by its own target, with
# SHA256SUMS over them; then tools/check-release checks what was made. It is
# made of HEAD alone: with uncommitted changes to tracked files it stops. The
# source tarball is the Debian source package's upstream tarball, which ships
# beside it with the .debs and their .buildinfo files, Debian's records of
# their builds. Two releases of one commit are the same bytes (`make
# test-reproducible`); beside the deliverables go the build record of the
# rest (velquin-VERSION.buildinfo) and an SBOM of each, and with
# RELEASE_KEY=KEY (a gpg key's id) SHA256SUMS.asc, its detached signature.
DIST    = dist
RELEASE_KEY ?=
RELEASE_PACKAGES = git cmake dpkg-dev lintian python3 gpg
# What goes into dist/ from the Debian builds.
DEBIAN_FILES = $(addprefix $(PACKAGE_BUILD)/,velquin_$(VERSION).orig.tar.gz velquin_$(DEB_VERSION).debian.tar.xz \
                 velquin_$(DEB_VERSION).dsc velquin_$(DEB_VERSION)_$(NATIVE_ARCH).buildinfo \
                 velquin_$(DEB_VERSION)_$(NATIVE_ARCH).deb velquin-dbgsym_$(DEB_VERSION)_$(NATIVE_ARCH).deb) \
               $(addprefix $(ARM64_BUILD)/,velquin_$(DEB_VERSION)_arm64.buildinfo \
                 velquin_$(DEB_VERSION)_arm64.deb velquin-dbgsym_$(DEB_VERSION)_arm64.deb)

.PHONY: release test-reproducible

release:
	@tools/ensure-packages "the release and its checks" $(RELEASE_PACKAGES)
	@git diff --quiet HEAD -- || { echo "velquin: tracked files have uncommitted changes; a release is made of a commit alone" >&2; exit 1; }
	$(MAKE) package
	$(MAKE) arm64
	$(MAKE) windows
	$(MAKE) web
	@test -f $(WEB_ZIP) || { echo "velquin: make web left no $(WEB_ZIP), so there is no release" >&2; exit 1; }
	rm -rf $(DIST) && mkdir $(DIST)
	cp $(PACKAGE_BUILD)/velquin_$(VERSION).orig.tar.gz $(DIST)/velquin-$(VERSION).tar.gz
	cp $(DEBIAN_FILES) $(WINDOWS_ZIP) $(WEB_ZIP) $(DIST)/
	tools/release-record $(DIST) $(VERSION) $(DEB_VERSION) $(WINDOWS_BUILD)/freeglut $(RELEASE_PACKAGES) \
	    $(WINDOWS_PACKAGES) $(WEB_PACKAGES)
	cd $(DIST) && sha256sum -- * >SHA256SUMS
ifneq ($(RELEASE_KEY),)
	gpg --batch --yes --local-user '$(RELEASE_KEY)' --armor --detach-sign --output $(DIST)/SHA256SUMS.asc $(DIST)/SHA256SUMS
else
	@echo "velquin: no RELEASE_KEY given, so nothing is signed (there is no $(DIST)/SHA256SUMS.asc)"
endif
	@command -v npm >/dev/null || tools/ensure-packages "the SBOMs' check" npm
	npm ci --prefix tools/sbom --ignore-scripts --no-audit --no-fund
	tools/check-release $(DIST) $(VERSION) $(DEB_VERSION)

# The release made again, of the commit dist/ was made from, in another folder, by
# another user, with another umask, time zone, locale, time and file order, and
# signed with a key made for the run; then every file compared with dist/'s. A
# first `make release` is made when dist/ has none.
REPRO_PACKAGES = 'diffoscope-minimal|diffoscope' disorderfs

test-reproducible:
	@tools/ensure-packages "the reproducibility check" $(RELEASE_PACKAGES) $(REPRO_PACKAGES)
	@test -f $(DIST)/SHA256SUMS || $(MAKE) release
	tools/test-reproducible $(DIST)
