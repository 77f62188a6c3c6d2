# Entry points. `make test` sets up a fresh Debian machine, builds the three
# trees (native, native with sanitizers, Windows) and runs every test tier
# through ctest. `make run` starts the program.

.PHONY: test run deps configure build clean

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

run: deps
	cmake --preset windows
	cmake --build --preset windows --target Varnolet7
	@echo "Built build/windows/src/Varnolet7.exe"

clean:
	rm -rf build
