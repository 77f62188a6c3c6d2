# Entry points. `make test` sets up a fresh Debian machine, builds the three
# trees (native, native with sanitizers, Windows) and runs every test tier
# through ctest. `make run` starts the program. `make dist` makes what a
# Windows user downloads (dist/: the zip and the installer); `make
# screenshots` refreshes the README's pictures from the last end-to-end run.
# On demand, under Wine in the end-to-end rig: `make bench-start` (start-up
# time and memory against two small tray programs), `make soak` (a long run:
# memory and windows stay flat; idle system calls) and `make idle` (the idle
# part alone).

.PHONY: test run deps configure build clean bench fuzz dist screenshots bench-start soak idle measure-parts

deps:
	@scripts/install-deps.sh

configure: deps
	cmake --preset native
	cmake --preset sanitize
	cmake --preset windows

build: configure
	cmake --build --preset native
	cmake --build --preset sanitize
	cmake --build --preset windows

test: build
	scripts/run-tests.sh

# Under Wine in a virtual desktop, on $$DISPLAY or a private Xvfb, with demo
# sound devices when the machine has none.
run: deps
	cmake --preset windows
	cmake --build --preset windows --target Varnolet7 varnolet_language_english varnolet_language_greek \
	  policy_standin endpoints_probe
	sh tests/e2e/rig.sh run build/windows/src/Varnolet7.exe

# From the windows tree (optimised for size; the copy in dist/ is stripped).
dist: deps
	cmake --preset windows
	cmake --build --preset windows --target dist

screenshots:
	@scripts/screenshots.sh

bench: configure
	cmake --build --preset native --target varnolet_bench
	build/native/tests/bench/varnolet_bench

# The release program, the rig's parts and the measuring parts (windows tree).
measure-parts: deps
	cmake --preset windows
	cmake --build --preset windows -j2 --target Varnolet7 varnolet_language_english varnolet_language_greek \
	  policy_standin endpoints_probe window_titles launcher measure_parts

# BENCH_STRICT=1 fails when a start-up target is not met (printed either way).
bench-start: measure-parts
	sh tests/e2e/bench_start.sh

soak: measure-parts
	sh tests/e2e/soak.sh

idle: measure-parts
	sh tests/e2e/soak.sh --idle-only

FUZZ_SECONDS ?= 300
fuzz: configure
	cmake --build --preset sanitize
	for target in build/sanitize/tests/fuzz/*_fuzz; do \
	  name=$$(basename $$target _fuzz); \
	  $$target -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    build/sanitize/tests/fuzz/work/$$name tests/fuzz/corpus/$$name || exit 1; \
	done

clean:
	rm -rf build
