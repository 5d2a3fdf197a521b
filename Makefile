# Entry points: `sh build.sh setup && make run` and `sh build.sh setup && make test` (the
# README's commands); `sh build.sh run` / `sh build.sh test` do the same in one call.
BUILD ?= build
BENCH_BUILD ?= build-bench
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: setup build run test bench sanitize tsan fuzz screenshots clean

# The Debian package list lives in build.sh, which installs what is missing when run as root.
setup:
	@sh ./build.sh setup

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

# With a display, the desktop program opens with a run of one example; without one, every
# example is linked on the command line.
run: build
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ] && [ -x $(BUILD)/torvak ]; then \
	  $(BUILD)/torvak --link examples/m4_3d_empirical.ini; \
	else \
	  $(BUILD)/torvak-link examples/*.ini; \
	fi

# Every test, then again under AddressSanitizer and UndefinedBehaviorSanitizer, then under
# ThreadSanitizer.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory sanitize
	$(MAKE) --no-print-directory tsan

sanitize: setup
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVAK_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS)

# The tests under ThreadSanitizer (every run has a worker thread; the desktop has many).
# Reports that lie inside Qt's uninstrumented libraries are suppressed (tools/tsan.supp).
# Tests that render chart files run only their painting on our threads; under ThreadSanitizer
# they take minutes in Qt's uninstrumented raster and image code and find nothing of ours.
TSAN_SKIP = PlotsCommand.WritesEvery|ResultsWindow.SavePlots

tsan: setup
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVAK_TSAN=ON
	cmake --build build-tsan -j $(JOBS) --target torvak_tests torvak-link make-examples $$(grep -q '^TORVAK_GUI:BOOL=ON' build-tsan/CMakeCache.txt && echo torvak_gui_tests)
	cd build-tsan && TSAN_OPTIONS="suppressions=$(CURDIR)/tools/tsan.supp halt_on_error=1" ctest --output-on-failure -j $(JOBS) -E "$(TSAN_SKIP)"

bench: setup
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DTORVAK_TESTS=OFF -DTORVAK_GUI=OFF -DTORVAK_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@echo "== $(BENCH_BUILD)/bench_table"; $(BENCH_BUILD)/bench_table
	@for b in $(BENCH_BUILD)/bench_*; do [ $$b = $(BENCH_BUILD)/bench_table ] || { echo "== $$b"; $$b; }; done
	@echo "== bench/process_start.sh"; sh bench/process_start.sh $(BENCH_BUILD)/torvak-link

# Each fuzzer runs for FUZZ_SECONDS on the readers of outside text (needs clang-14); FUZZERS
# picks some of them by name.
FUZZ_SECONDS ?= 30
FUZZERS ?=
fuzz:
	@command -v clang++-14 >/dev/null || { echo "fuzz: install clang-14 libclang-rt-14-dev"; exit 1; }
	CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVAK_TESTS=OFF -DTORVAK_GUI=OFF -DTORVAK_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)
	sh fuzz/run_fuzzers.sh build-fuzz $(FUZZ_SECONDS) $(FUZZERS)

# The README's pictures of the windows, rendered offscreen into docs/images/.
screenshots: build
	cmake --build $(BUILD) -j $(JOBS) --target torvak-screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD)/torvak-screenshots examples docs/images

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) build-asan build-tsan build-fuzz build-package build-r

# A Debian package of both programs with their data files, help pages and examples:
# build-package/torvak_<version>_<arch>.deb, installed with `apt install ./build-package/torvak_*.deb`.
PACKAGE_BUILD ?= build-package
.PHONY: package
package: setup
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DTORVAK_GUI=ON -DTORVAK_TESTS=OFF -DTORVAK_FUZZ=OFF -DTORVAK_BENCH=OFF -DTORVAK_SANITIZE=OFF \
	  -DTORVAK_TSAN=OFF -DTORVAK_PYTHON=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB
