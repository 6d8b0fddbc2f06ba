# Front door of the build: make deps | make | make test | make run | make bench | make sanitize
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_CONFIGURE = cmake -S . -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DVELMORA_BUILD_BENCHMARKS=ON

.PHONY: all deps configure build test run bench sanitize asan tsan clean

all: build

deps:
	bash scripts/install-deps.sh

configure:
	$(CMAKE_CONFIGURE) -B $(BUILD_DIR)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# deps installs cmake and the libraries that configuring looks for, so it runs to its end before the rest
# starts, also under -j: the rest is a second make that this recipe starts afterwards.
test: deps
	@$(MAKE) --no-print-directory build
	bash tools/run-ctest.sh $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The dashboard example: a few refreshes of the live machine, then its picture (dashboard.png).
run: deps
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target dashboard
	$(BUILD_DIR)/bin/dashboard --ticks 3 --interval 1 --png dashboard.png

bench: build
	@set -e; for program in $(BUILD_DIR)/bin/bench_*; do \
	  [ -x "$$program" ] || continue; echo "== $$program"; "$$program" --benchmark_min_time=0.2; done

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	$(CMAKE_CONFIGURE) -B build-asan -DSANITIZE=address
	cmake --build build-asan -j $(JOBS)
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp bash tools/run-ctest.sh build-asan --output-on-failure -j $(JOBS)

# The concurrency tests under ThreadSanitizer.
tsan:
	$(CMAKE_CONFIGURE) -B build-tsan -DSANITIZE=thread
	cmake --build build-tsan -j $(JOBS) --target concurrency_tests
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build-tsan/bin/concurrency_tests

sanitize: asan tsan

clean:
	rm -rf $(BUILD_DIR) build-asan build-tsan
