# The two commands of the README: `make run` and `make test`. Both set up the machine when needed, then build.
.PHONY: run test setup native windows windows-x64 bench asan fuzz dist install

# Wine keeps its settings in build/wine unless WINEPREFIX names another prefix; the tests and the dialog share it.
export WINEPREFIX ?= $(CURDIR)/build/wine

setup:
	@scripts/setup.sh

native: setup
	cmake --preset native >/dev/null
	cmake --build --preset native

windows-x64: setup
	cmake --preset windows-x64 >/dev/null
	cmake --build --preset windows-x64

windows: windows-x64
	cmake --preset windows-x86 >/dev/null
	cmake --build --preset windows-x86

# The sample aircraft through the command line, then the dialog under Wine: the 32-bit one, which users download.
# Only the two programs are built, quietly.
run: setup
	@scripts/build-quietly.sh native zerkon-cli
	@scripts/build-quietly.sh windows-x86 zerkon
	@scripts/run.sh
	@scripts/run-dialog.sh

# Everything again with clang's AddressSanitizer and UndefinedBehaviorSanitizer, the fuzzers included.
asan: setup
	cmake --preset native-asan >/dev/null
	cmake --build --preset native-asan

# Every suite of the four builds, the Windows ones of both architectures under Wine in a virtual X display; each
# build's result in a few lines, failures in full (scripts/test.sh). VERBOSE=1 shows the builds and every test.
test: setup
	@scripts/test.sh

# Benchmarks, optimised, in their own folder; not part of `make test`. BENCH_ARGS passes options through, such as
# BENCH_ARGS=--benchmark_filter=/1/ (one file: an aircraft and a 64 MiB file).
bench: setup
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DZERKON_BUILD_BENCH=ON -DZERKON_BUILD_TESTS=OFF >/dev/null
	cmake --build build/bench -j2 --target zerkon_bench
	build/bench/bench/zerkon_bench --benchmark_color=false $(BENCH_ARGS)

# Runs each fuzzer for FUZZ_SECONDS, growing its corpus in build/native-asan/fuzz/found; what breaks a property is
# kept in build/native-asan/fuzz/ as crash-*.
FUZZ_SECONDS ?= 60
fuzz: asan
	for name in rewriter pass; do \
	    build/native-asan/fuzz/$${name}_fuzzer -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	        -artifact_prefix=build/native-asan/fuzz/ build/native-asan/fuzz/found/$$name fuzz/corpus || exit 1; \
	done

# zerkon-cli with its man page and bash completion, under PREFIX.
PREFIX ?= /usr/local
install: setup
	@scripts/build-quietly.sh native zerkon-cli zerkon_compressed_docs
	cmake --install build/native --strip --prefix "$(PREFIX)"

# The release packages in dist/: the two Windows zips, the .deb of zerkon-cli and SHA256SUMS (scripts/dist.sh).
dist:
	@scripts/setup.sh dist
	@scripts/dist.sh
