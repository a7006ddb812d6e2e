# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
JOBS ?= 2
EXAMPLE ?= examples/tavern.tlk

.PHONY: all deps configure build test run bench fuzz windows package clean

all: build

deps:
	@bash scripts/install-deps.sh

# Warnings are errors in the Makefile's builds (KORV_WERROR), also in a build folder made before.
configure: deps
	@grep -qs '^KORV_WERROR:BOOL=ON' $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) $(GENERATOR) \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORV_WERROR=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD) $(EXAMPLE)

# The .deb of the program (CPack), from the Makefile's build: build/korvanthiel_VERSION_amd64.deb.
package: build
	cd $(BUILD) && cpack -G DEB

# Windows: the core, korvanthiel-cli.exe and the core tests cross-built with MinGW-w64, the tests
# run under Wine, and the Windows CLI's files compared byte for byte with the Linux CLI's.
WINDOWS_BUILD ?= build-windows
windows: build
	@grep -qs '^KORV_WERROR:BOOL=ON' $(WINDOWS_BUILD)/CMakeCache.txt || cmake -S . -B $(WINDOWS_BUILD) \
		$(GENERATOR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORV_BUILD_EDITOR=OFF -DKORV_WERROR=ON \
		-DKORV_GTEST_SOURCE=/usr/src/googletest
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	bash scripts/windows-tests.sh $(WINDOWS_BUILD) $(BUILD) $(JOBS)

# Benchmarks: a Release build of its own, then bench/RESULTS.md. At -O2, as the program ships:
# g++ 12 at -O3 reports false -Wrestrict errors in std::string code.
BENCH_BUILD ?= build-bench
bench: deps
	cmake -S . -B $(BENCH_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DKORV_BUILD_BENCH=ON -DKORV_BUILD_TESTS=OFF \
		-DKORV_WERROR=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target benchmarks
	bash scripts/bench.sh $(BENCH_BUILD)

# Fuzzing: clang with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer; each target
# runs for FUZZ_SECONDS on a corpus seeded from tests/data and examples/.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DKORV_BUILD_FUZZ=ON -DKORV_BUILD_EDITOR=OFF -DKORV_BUILD_TESTS=OFF -DKORV_WERROR=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	bash scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD)
