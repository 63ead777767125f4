# The commands README gives. Every target installs what is missing first.
#   make        set up, build, run the demo (the main job)
#   make test   set up, build, run every test
SHELL := /bin/bash
TREES := native i686 x86_64
CTEST_JOBS ?= 2

.PHONY: all demo test build setup clean $(addprefix build-,$(TREES))

all: demo

setup:
	@tools/setup.sh

build: $(addprefix build-,$(TREES))

$(addprefix build-,$(TREES)): build-%: setup
	@[ -f build/$*/build.ninja ] || cmake --preset $* >/dev/null
	@cmake --build --preset $*

# One CTest run over the three trees, so the run ends with one summary.
test: build
	@printf 'subdirs("native" "i686" "x86_64")\n' > build/CTestTestfile.cmake
	@cd build && ctest -j$(CTEST_JOBS) --output-on-failure

demo: build-i686
	@tools/demo.sh build

clean:
	rm -rf build
