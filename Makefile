# Front door for newcomers: `make run` and `make test` work on a fresh Debian machine.
BUILD ?= build
FUZZ_BUILD ?= build-fuzz
SAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
# Object files are shared between build trees (and clones) when ccache is there.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths inside the clone are hashed relative to it, so every clone and worktree
# of the project (CI's fresh one too) finds the objects another one compiled.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
FILE ?=

.PHONY: all deps configure build run test sanitize tsan bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh "$(BUILD)" "$(FILE)"

test: build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure --timeout 600

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# (Debug, benchmarks left out). The first finding ends its test; leaks count.
SAN_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan-suppressions.txt

sanitize: deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMORA_SANITIZE=ON -DLUMORA_BENCH=OFF $(LAUNCHER)
	$(SAN_ENV) cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && $(SAN_ENV) ctest -j $(JOBS) --output-on-failure --timeout 600

# The render and output tests (the passes that draw in bands on several
# threads) built with ThreadSanitizer and run with four drawing threads. Only
# those programs and the command-line tool they call are built, so that a
# cold build stays short; Qt itself is not instrumented, so the few reports
# that lie wholly inside it are suppressed (scripts/tsan-suppressions.txt).
# Tests that start another program (the command-line tool, pdftoppm) are left
# out: QProcess starts it in a way the sanitizer does not follow, after which
# it reports the test process's own locked and stack accesses as races. The
# install test needs the editor, which is not built here.
TSAN_ENV = TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/scripts/tsan-suppressions.txt \
  LUMORA_THREADS=4

tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_TSAN=ON -DLUMORA_BENCH=OFF $(LAUNCHER)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_render test_output lumora-cli
	cd $(TSAN_BUILD) && $(TSAN_ENV) ctest -j $(JOBS) --output-on-failure --timeout 900 -E '_NOT_BUILT$$|^RenderCli\.|ThroughTheCommandLine$$|^VectorOutput\.|^Install\.|^RasterPdf\.ReaderShowsWhatQtsWriterGave$$'

bench: build
	@bash scripts/run-benchmarks.sh "$(BUILD)"

# Every libFuzzer target for FUZZ_SECONDS each, one after the other
# (FUZZ_TARGETS="a b" for some of them).
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DLUMORA_FUZZ=ON -DLUMORA_TESTS=OFF -DLUMORA_BENCH=OFF $(LAUNCHER)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@bash scripts/run-fuzzers.sh "$(FUZZ_BUILD)" "$(FUZZ_SECONDS)"

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(SAN_BUILD) $(TSAN_BUILD)
