# Front door for newcomers: `make run` and `make test` work on a fresh Debian machine.
BUILD ?= build
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
FILE ?=

.PHONY: all deps configure build run test bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh "$(BUILD)" "$(FILE)"

test: build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure --timeout 600

bench: build
	@bash scripts/run-benchmarks.sh "$(BUILD)"

fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DLUMORA_FUZZ=ON -DLUMORA_TESTS=OFF -DLUMORA_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@bash scripts/run-fuzzers.sh "$(FUZZ_BUILD)" "$(FUZZ_SECONDS)"

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
