# The two commands: `make run` plays the game, `make test` runs every test. Each first installs
# from Debian's packages what it needs, and only that (tools/setup-deps).
JOBS ?= 2
PORT ?= 8000

.PHONY: all build run test bench clean web play-web

all: build

build:
	sh tools/setup-deps play
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DGLIMM_TESTS=OFF -DGLIMM_BENCH=OFF
	cmake --build build-release -j$(JOBS) --target glimm

# At the largest window scale that fits the screen (GLIMM_SCALE=1: the plain 640x480 window).
run: build
	sh packaging/run-scaled ./build-release/glimm

test:
	sh tools/setup-deps test
	bash tools/run-tests

bench:
	sh tools/setup-deps test
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j$(JOBS)

# The page: build-web/site/ holds everything a static web host needs.
web:
	sh tools/setup-deps web
	NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
	NODE_PATH=/usr/share/nodejs cmake --build build-web -j$(JOBS)

# Serves the page on this machine only, until Ctrl-C; PORT=8080 picks another port.
play-web: web
	python3 tools/serve-web build-web/site $(PORT)

clean:
	rm -rf build build-asan build-release build-fuzz build-web build-web-tests
