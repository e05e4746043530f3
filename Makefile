# One command for each job on a fresh Debian machine:
#   make test   installs what is missing, builds, runs every test
#   make run    builds and starts the game
#   make bench  builds and runs the benchmarks
#   make fuzz   builds the fuzz targets with clang and runs each a while
BUILD ?= build
SANITIZE ?= OFF
WERROR ?= OFF
# A ctest regular expression: only the suites it matches run.
TESTS ?= .
# And a regular expression of suites left out (none by default).
EXCLUDE ?=
JOBS ?= $(shell nproc)

.PHONY: all setup configure build test run bench fuzz clean

all: build

setup:
	@bash scripts/setup

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DQS_SANITIZE=$(SANITIZE) -DQS_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Each suite's tests run in an order of their own each time: no test may
# rely on what an earlier one left. A failing suite's output gives the seed
# (--gtest_random_seed replays it).
test: build
	@cd $(BUILD) && GTEST_SHUFFLE=1 ctest --output-on-failure -j $(JOBS) -R '$(TESTS)' $(if $(EXCLUDE),-E '$(EXCLUDE)')

run: build
	@cd $(BUILD)/bin && ./QuorbSwap

bench: configure
	@cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD)-bench -j $(JOBS) --target qs_bench qs_frame_bench qs_startup_bench qs_cpu_bench
	@$(BUILD)-bench/bench/qs_bench
	@$(BUILD)-bench/bench/qs_frame_bench
	@$(BUILD)-bench/bench/qs_startup_bench
	@$(BUILD)-bench/bench/qs_cpu_bench

fuzz: build
	@bash scripts/fuzz

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-tsan $(BUILD)-bench $(BUILD)-fuzz
