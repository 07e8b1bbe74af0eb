# make        builds the program, the tests and trelvano-dump (not the benchmarks)
# make run    installs what is missing, builds and starts the program in examples/
# make test   installs what is missing, builds twice (plain and with ASan/UBSan) and runs the tests
# make bench  builds optimised and runs the benchmarks

BUILD      ?= build
BUILD_SAN  ?= build-asan
BUILD_BENCH?= build-bench
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all bootstrap build build-san run test bench clean

all: build

bootstrap:
	@tools/bootstrap.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRELVANO_BENCH=OFF

$(BUILD_SAN)/build.ninja:
	cmake -S . -B $(BUILD_SAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTRELVANO_SANITIZE=ON -DTRELVANO_BENCH=OFF

$(BUILD_BENCH)/build.ninja:
	cmake -S . -B $(BUILD_BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DTRELVANO_BENCH=ON

build: bootstrap $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-san: bootstrap $(BUILD_SAN)/build.ninja
	cmake --build $(BUILD_SAN) -j $(JOBS)

run: build
	cd examples && ../$(BUILD)/trelvano

test: build build-san
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	cd $(BUILD_SAN) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

bench: bootstrap $(BUILD_BENCH)/build.ninja
	cmake --build $(BUILD_BENCH) -j $(JOBS) --target trelvano_bench
	QT_QPA_PLATFORM=offscreen $(BUILD_BENCH)/trelvano_bench --benchmark_counters_tabular=true

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_BENCH)
