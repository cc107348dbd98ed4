# The two commands of the README: `make run` and `make test`. Both set up the machine when needed, then build.
.PHONY: run test setup native windows

setup:
	@scripts/setup.sh

native: setup
	cmake --preset native >/dev/null
	cmake --build --preset native

windows: setup
	cmake --preset windows-x64 >/dev/null
	cmake --build --preset windows-x64
	cmake --preset windows-x86 >/dev/null
	cmake --build --preset windows-x86

run: native
	@scripts/run.sh

# The Windows suites run under Wine, inside a virtual X display so the dialog tests have a screen.
test: native windows
	ctest --preset native
	@scripts/wine-prefix.sh
	xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset windows-x64
