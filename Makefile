# make        builds the program, the tests and trelvano-dump (not the benchmarks)
# make run    installs what is missing, builds and starts the program in examples/
# make test   installs what is missing, builds twice (plain and with ASan/UBSan) and runs the tests
# make bench  builds optimised and runs the benchmarks
# make fuzz   builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS (default 60)
# make tsan   builds the core tests with ThreadSanitizer and runs them (the redraw runs on two cores)
# make format applies .clang-format; make check-format fails on any file it would change

BUILD      ?= build
BUILD_SAN  ?= build-asan
BUILD_BENCH?= build-bench
BUILD_FUZZ ?= build-fuzz
BUILD_TSAN ?= build-tsan
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := $(patsubst tests/fuzz/%.cpp,%,$(wildcard tests/fuzz/fuzz_*.cpp))
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all bootstrap build build-san run test bench fuzz tsan format check-format clean

all: build

bootstrap:
	@tools/bootstrap.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRELVANO_BENCH=OFF -DTRELVANO_WERROR=ON

$(BUILD_SAN)/build.ninja:
	cmake -S . -B $(BUILD_SAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTRELVANO_SANITIZE=ON -DTRELVANO_BENCH=OFF -DTRELVANO_WERROR=ON

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

# Each target starts from its seeds in tests/fuzz/seeds/<reader> (with the
# dictionary tests/fuzz/<reader>.dict where there is one) and keeps
# what it finds in $(BUILD_FUZZ)/corpus; a crash leaves its input in $(BUILD_FUZZ).
fuzz:
	@tools/bootstrap.sh --fuzz
	cmake -S . -B $(BUILD_FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTRELVANO_FUZZ=ON
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	@set -e; for t in $(FUZZ_TARGETS); do \
	  seeds=tests/fuzz/seeds/$${t#fuzz_}; corpus=$(BUILD_FUZZ)/corpus/$$t; mkdir -p $$corpus; \
	  dict=tests/fuzz/$${t#fuzz_}.dict; dictflag=; if [ -f $$dict ]; then dictflag=-dict=$(CURDIR)/$$dict; fi; \
	  echo "== $$t ($(FUZZ_SECONDS) s)"; \
	  ( cd $(BUILD_FUZZ) && QT_QPA_PLATFORM=offscreen \
	      LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	      ./$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	      -rss_limit_mb=4096 $$dictflag corpus/$$t ../$$seeds ); \
	done

tsan: bootstrap
	cmake -S . -B $(BUILD_TSAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRELVANO_TSAN=ON -DTRELVANO_BENCH=OFF
	cmake --build $(BUILD_TSAN) -j $(JOBS) --target core_tests
	cd $(BUILD_TSAN) && QT_QPA_PLATFORM=offscreen \
	  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/tsan.supp \
	  ctest --output-on-failure -j $(JOBS) -E 'Install|NOT_BUILT' 

FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h')

format: bootstrap
	@clang-format -i $(FORMAT_FILES)

check-format: bootstrap
	@clang-format --dry-run --Werror $(FORMAT_FILES) && echo "check-format: $(words $(FORMAT_FILES)) files as .clang-format has them"

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_BENCH) $(BUILD_FUZZ) $(BUILD_TSAN)
