# The commands README gives. Every target installs what is missing first.
#   make        set up, build, run the demo (the main job)
#   make test   set up, build (the release too), run every test
#   make demo-shipped   the demo with the release programs, as they ship
#   make fuzz   build the native tree, run every fuzz target FUZZ_SECONDS each
#   make bench  build the release programs, measure them (see README, Benchmarks)
SHELL := /bin/bash
TREES := native i686 x86_64
CTEST_JOBS ?= 2
FUZZ_SECONDS ?= 60
BENCH_RUNS ?= 5

RELEASE := release-i686 release-x86_64

.PHONY: all demo demo-shipped test fuzz bench build release setup clean $(addprefix build-,$(TREES)) $(addprefix build-,$(RELEASE))

all: demo

setup:
	@tools/setup.sh

build: $(addprefix build-,$(TREES))

# Where the kernel runs no 32-bit programs, Wine cannot run the i686 tree's
# programs: the x86_64 tree then also builds 64-bit test builds of the 32-bit
# programs and runs their tests (tools/can-run-32bit.sh decides, once the
# setup has installed Wine).
$(addprefix build-,$(TREES) $(RELEASE)): build-%: setup
	@[ -f build/$*/build.ninja ] || cmake --preset $* >/dev/null
	@if [ "$*" = x86_64 ]; then \
	  cmake --preset $* -DRAV_64BIT_TEST_BUILDS=$$(tools/can-run-32bit.sh >/dev/null && echo OFF || echo ON) >/dev/null; fi
	@cmake --build --preset $*

# One CTest run over the trees, so the run ends with one summary. The
# release is built first: the shipped lane (label "shipped") runs it.
test: build release
	@if tools/can-run-32bit.sh >/dev/null; then \
	  printf 'subdirs("native" "i686" "x86_64")\n' > build/CTestTestfile.cmake; \
	else \
	  echo "make test: this machine runs no 32-bit programs (the kernel's 32-bit emulation is off):"; \
	  echo "  the i686 tree is built but not run; the 32-bit programs' tests run on 64-bit test builds in the x86_64 tree."; \
	  printf 'subdirs("native" "x86_64")\n' > build/CTestTestfile.cmake; \
	fi
	@cd build && ctest -j$(CTEST_JOBS) --output-on-failure

# Every libFuzzer target in turn (see README, Fuzzing).
fuzz: build-native
	@fuzz/run_all.sh build/native $(FUZZ_SECONDS)

# The release programs, driven by the test trees' benchmark programs.
bench: build-i686 build-x86_64 $(addprefix build-,$(RELEASE))
	@tools/bench.sh build $(BENCH_RUNS)

demo: build-i686 build-x86_64
	@tools/demo.sh build

# The same life with the release programs; where the kernel runs no 32-bit
# programs they run under emulation (minutes; see README, The shipped lane).
demo-shipped: build-x86_64 release
	@tools/demo.sh build --shipped

# The shipped programs, size-optimised and stripped, in build/release/ with
# SHA256SUMS; signed when SIGN_CERT and SIGN_KEY (and SIGN_PASS for a key
# with a password) are given (see README, The release). Make hands variables
# given on its command line, and the environment's, to the script.
release: $(addprefix build-,$(RELEASE))
	@tools/release.sh build

clean:
	rm -rf build
