# The two commands: `make run` plays the game, `make test` runs every test. Both install what
# they need from Debian's packages first.
JOBS ?= 2

.PHONY: all deps build run test bench clean web play-web

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
	sh tools/setup-deps web
	bash tools/run-tests

bench: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j$(JOBS)

# The page: build-web/site/ holds everything a static web host needs.
web: deps
	sh tools/setup-deps web
	NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
	NODE_PATH=/usr/share/nodejs cmake --build build-web -j$(JOBS)

# Serves the page on this machine only, until Ctrl-C.
play-web: web
	@echo "Glimm is at http://127.0.0.1:8000/ (Ctrl-C stops it)"
	python3 -m http.server 8000 --bind 127.0.0.1 --directory build-web/site

clean:
	rm -rf build build-asan build-release build-fuzz build-web
