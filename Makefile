# The two commands: `make run` plays the game, `make test` runs every test. Both install what
# they need from Debian's packages first.
JOBS ?= 2

.PHONY: all deps build run test bench clean

all: build

deps:
	sh tools/setup-deps

build: deps
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DGLIMM_TESTS=OFF -DGLIMM_BENCH=OFF
	cmake --build build-release -j$(JOBS) --target glimm

# At the largest window scale that fits the screen (GLIMM_SCALE=1: the plain 640x480 window).
run: build
	sh packaging/run-scaled ./build-release/glimm

test: deps
	bash tools/run-tests

bench: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j$(JOBS)

clean:
	rm -rf build build-asan build-release build-fuzz
