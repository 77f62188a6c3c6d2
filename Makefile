# Entry points. `make test` sets up a fresh Debian machine, builds the three
# trees (native, native with sanitizers, Windows) and runs every test tier
# through ctest. `make run` starts the program. `make dist` makes what a
# Windows user downloads (dist/: the zip and the installer); `make
# screenshots` refreshes the README's pictures from the last end-to-end run.

.PHONY: test run deps configure build clean bench fuzz dist screenshots

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
