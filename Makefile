# Entry points: `sh build.sh run` and `sh build.sh test` install what is missing and then call
# this file; `make run` / `make test` do the same where make is already installed.
BUILD ?= build
BENCH_BUILD ?= build-bench
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: setup build run test bench sanitize fuzz clean

# The Debian package list lives in build.sh, which installs what is missing when run as root.
setup:
	@sh ./build.sh setup

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/torvak-link examples/*.ini

# Every test, then again under AddressSanitizer and UndefinedBehaviorSanitizer.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory sanitize

sanitize: setup
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVAK_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS)

bench: setup
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DTORVAK_TESTS=OFF -DTORVAK_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@echo "== $(BENCH_BUILD)/bench_table"; $(BENCH_BUILD)/bench_table
	@for b in $(BENCH_BUILD)/bench_*; do [ $$b = $(BENCH_BUILD)/bench_table ] || { echo "== $$b"; $$b; }; done

# Each fuzzer runs for FUZZ_SECONDS on the readers of outside text (needs clang-14).
FUZZ_SECONDS ?= 30
fuzz:
	@command -v clang++-14 >/dev/null || { echo "fuzz: install clang-14 libclang-rt-14-dev"; exit 1; }
	CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVAK_TESTS=OFF -DTORVAK_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)
	@for f in build-fuzz/fuzz_*; do echo "== $$f"; $$f -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 || exit 1; done

# Pictures of the desktop program for the README, rendered without a display.
.PHONY: screenshots
screenshots: build
	cmake --build $(BUILD) --target torvak-screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD)/torvak-screenshots examples docs/images

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) build-asan build-fuzz
