# Two builds from one CMake project, and the jobs around them.
#   make deps   install every package the builds and tests need (idempotent)
#   make build  build/native (host, sanitizers) and build/win32 (the product)
#   make test   every test: native, under Wine, end to end
#   make demo   the launcher's whole job under Wine, with an account of it
#   make bench  speed and size against gzip and compress, on a corpus of Windows programs
#   make fuzz   every fuzz target for a bounded time (FUZZ_SECONDS each)
SHELL := /bin/bash
JOBS ?= 2
NATIVE := build/native
WIN32 := build/win32
XVFB := xvfb-run -a -s "-screen 0 1024x768x24"

FUZZ_SECONDS ?= 60

.PHONY: all deps build build-native build-win32 test test-native test-win32 demo bench fuzz clean

all: build

deps:
	bash scripts/install_deps.sh

build: deps build-native build-win32

build-native:
	cmake -S . -B $(NATIVE) -DQDX_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(NATIVE) -j$(JOBS)

build-win32:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build $(WIN32) -j$(JOBS)

test: build test-native test-win32

test-native:
	cd $(NATIVE) && ctest --output-on-failure -j$(JOBS)

test-win32:
	cd $(WIN32) && $(XVFB) ctest --output-on-failure -j$(JOBS)

demo: build
	$(XVFB) bash scripts/demo.sh

bench: build
	bash bench/run.sh

fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash scripts/fuzz.sh

clean:
	rm -rf build
