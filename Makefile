# Thin front door over the CMake presets. Each target first makes sure the machine has the Debian
# packages it needs (tools/prerequisites.sh installs them, or says how).
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
PREREQUISITES = tools/prerequisites.sh
KEPT = MorvellaC_DrasconaX_5521_note.txt MorvellaC_DrasconaX_5521_rallentamenti.txt \
       MorvellaC_DrasconaX_5521_scheda_treno.txt MorvellaC_DrasconaX_linea.dat \
       MorvellaC_DrasconaX_5521.sim MorvellaC_DrasconaX_5521.dat

.PHONY: run build test clang-build clang-test bench fuzz-build fuzz-smoke fuzz-long fuzz-keep-corpus render browser-check install package clean \
        windows test-windows

build:
	$(PREREQUISITES) build
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

run: build
	./build/bin/scenario_build
	@echo "Files written in build/bin:"
	@cd build/bin && ls -l $$(ls $(KEPT) MorvellaC_DrasconaX_linea.txt MorvellaC_DrasconaX_5521-.txt 2>/dev/null)

test:
	$(PREREQUISITES) test
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan --output-on-failure

# The programs for 64-bit Windows, cross-built with mingw-w64 and linked statically:
# build-windows/bin/scenario_build.exe and scenario_tool.exe (cmake/windows.cmake).
windows:
	$(PREREQUISITES) windows
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)

# The Windows programs and tests under Wine, in a Wine prefix made afresh in build-windows/wine (never
# in $HOME): the unit tests built for Windows (tests/windows/tests.cmake), then both programs' outputs
# compared byte for byte with the Linux release build's (tests/windows/compare_outputs.sh), then the
# wait window and the fatal message box under Xvfb (tests/windows/window_check.sh, screenshots in
# build-windows/window-check).
WINE_ENV = WINEPREFIX=$(CURDIR)/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
test-windows: build windows
	cmake --preset windows -DSCENARIO_WINDOWS_TESTS=ON
	cmake --build --preset windows -j $(JOBS) --target all scenario_windows_tests
	rm -rf build-windows/wine
	$(WINE_ENV) wine wineboot --init >/dev/null 2>&1
	@cat build-windows/tests/not_run_under_wine.txt
	cd build-windows && $(WINE_ENV) ctest -L windows -j 2 --output-on-failure
	$(WINE_ENV) bash tests/windows/compare_outputs.sh build/bin build-windows/bin build-windows/compare
	$(WINE_ENV) bash tests/windows/window_check.sh build-windows/bin build-windows/tests build-windows/window-check

# Every target built with clang, warnings as errors.
clang-build:
	$(PREREQUISITES) clang
	cmake --preset clang
	cmake --build --preset clang -j $(JOBS)

# The clang build's tests: the same tests as make test, in an optimised build (Release) and with the
# other compiler, so that nothing they check depends on gcc or on -O0 (CI runs it).
clang-test: clang-build
	$(PREREQUISITES) clang test
	ctest --preset clang --output-on-failure

# Every benchmark, then the short table: the per-metre figures, the embedded run and the
# 1,000,000 m compile beside the plain copies of their files, with peak memory, and what an fsync costs.
bench:
	$(PREREQUISITES) build bench
	cmake --preset release -DSCENARIO_BENCH=ON
	cmake --build --preset release -j $(JOBS)
	for b in build/bin/*_bench; do $$b; done
	python3 bench/short_table.py build/bin

# The embedded scenario drawn as a page: build/page/index.html with plan.svg, profile.svg and chart.svg.
render: run
	./build/bin/scenario_tool render --dat build/bin/MorvellaC_DrasconaX_5521.dat \
	  --sim build/bin/MorvellaC_DrasconaX_5521.sim --plan build/bin/MorvellaC_DrasconaX_linea.dat --out build/page
	@echo "Open build/page/index.html in a browser."

# The rendered page in headless Chromium (make test runs the same check as a test): leaves the
# page, its DOM and its screenshot in build/browser-check.
browser-check: build
	$(PREREQUISITES) browser
	bash tools/browser_check.sh build/bin/scenario_build build/bin/scenario_tool build/browser-check

# Each fuzz target for FUZZ_SECONDS from the seed corpus in fuzz/corpus (new inputs go to a scratch
# corpus in build-fuzz, never into the sources); any crash, sanitizer report, leak, input slower than
# FUZZ_TIMEOUT seconds or memory beyond FUZZ_RSS_MB fails the target and leaves the input in
# build-fuzz/artifacts.
FUZZ_SECONDS ?= 60
FUZZ_TIMEOUT ?= 10
FUZZ_RSS_MB ?= 2048
FUZZ_TARGETS = line_parser:line train_parser:train compile:compile decompile:decompile decoder:decoder check:compile lsp:lsp
FUZZ_BINARIES = line_parser_fuzzer train_parser_fuzzer compile_fuzzer decompile_fuzzer decoder_fuzzer check_fuzzer lsp_fuzzer

fuzz-smoke: fuzz-build
	@set -e; mkdir -p build-fuzz/artifacts; \
	for target in $(FUZZ_TARGETS); do \
	  name=$${target%%:*}; seeds=$${target##*:}; work=build-fuzz/smoke/$$seeds; \
	  rm -rf $$work; mkdir -p $$work; \
	  echo "fuzz-smoke: $${name}_fuzzer for $(FUZZ_SECONDS) s"; \
	  ./build-fuzz/bin/$${name}_fuzzer $$work fuzz/corpus/$$seeds -dict=fuzz/descriptions.dict \
	    -max_total_time=$(FUZZ_SECONDS) -timeout=$(FUZZ_TIMEOUT) -rss_limit_mb=$(FUZZ_RSS_MB) \
	    -artifact_prefix=build-fuzz/artifacts/$$name- -print_final_stats=1 2>build-fuzz/smoke/$$name.log \
	    || { tail -n 80 build-fuzz/smoke/$$name.log; exit 1; }; \
	  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' build-fuzz/smoke/$$name.log; \
	done

# Long runs: `make fuzz-long FUZZ_SECONDS=3600` runs every target for FUZZ_SECONDS from its saved
# corpus (fuzz/corpus/SEEDS, copied to build-fuzz/long/NAME so that the sources stay as they are),
# with the same -timeout and -rss_limit_mb, and prints each target's final figures: executions,
# executions per second, coverage (cov, ft) and peak memory. Then it minimises what the run found
# (-merge=1) into build-fuzz/minimised/NAME. Each target is its own rule (fuzz-long-NAME), so
# `make -j3 fuzz-long` runs three at a time. `make fuzz-keep-corpus` adds the minimised corpora to
# fuzz/corpus (two targets may share a seed folder) when all of them together stay under
# FUZZ_KEEP_KB; the hand-named seeds there stay, the inputs an earlier run kept are replaced.
# FUZZ_TARGETS="line_parser:line ..." keeps only those targets' corpora.
FUZZ_KEEP_KB ?= 4096
FUZZ_NAMES = $(foreach t,$(FUZZ_TARGETS),$(firstword $(subst :, ,$(t))))
fuzz_seeds = $(lastword $(subst :, ,$(filter $(1):%,$(FUZZ_TARGETS))))

fuzz-build:
	$(PREREQUISITES) fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) --target $(FUZZ_BINARIES)

fuzz-long: $(addprefix fuzz-long-,$(FUZZ_NAMES))

fuzz-long-%: fuzz-build
	@set -e; name=$*; seeds=$(call fuzz_seeds,$*); work=build-fuzz/long/$$name; log=build-fuzz/long/$$name.log; \
	mkdir -p build-fuzz/artifacts build-fuzz/long build-fuzz/minimised; \
	rm -rf $$work; mkdir -p $$work; cp fuzz/corpus/$$seeds/* $$work/; \
	echo "fuzz-long: $${name}_fuzzer for $(FUZZ_SECONDS) s from fuzz/corpus/$$seeds"; \
	/usr/bin/time -f "$$name: %e s elapsed, %U s user, %M KB peak resident" -o build-fuzz/long/$$name.time \
	  ./build-fuzz/bin/$${name}_fuzzer $$work -dict=fuzz/descriptions.dict \
	  -max_total_time=$(FUZZ_SECONDS) -timeout=$(FUZZ_TIMEOUT) -rss_limit_mb=$(FUZZ_RSS_MB) \
	  -artifact_prefix=build-fuzz/artifacts/$$name- -print_final_stats=1 2>$$log \
	  || { tail -n 80 $$log; exit 1; }; \
	echo "$$name: $$(grep -E '^#[0-9]+[[:space:]]+DONE' $$log | tail -n 1)"; \
	grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' $$log | sed "s/^/$$name: /"; \
	cat build-fuzz/long/$$name.time; \
	rm -rf build-fuzz/minimised/$$name; mkdir -p build-fuzz/minimised/$$name; \
	./build-fuzz/bin/$${name}_fuzzer -merge=1 build-fuzz/minimised/$$name $$work \
	  -timeout=$(FUZZ_TIMEOUT) -rss_limit_mb=$(FUZZ_RSS_MB) 2>build-fuzz/long/$$name-merge.log \
	  || { tail -n 40 build-fuzz/long/$$name-merge.log; exit 1; }; \
	echo "$$name: minimised corpus $$(ls build-fuzz/minimised/$$name | wc -l) inputs, $$(du -sk --apparent-size build-fuzz/minimised/$$name | cut -f1) KB"

# libFuzzer names an input by the SHA-1 of its bytes: a minimised input whose name is the digest of
# a hand-named seed already there is that seed, and is not copied twice.
fuzz-keep-corpus:
	@set -e; total=$$(for name in $(FUZZ_NAMES); do [ ! -d build-fuzz/minimised/$$name ] || \
	  du -sk --apparent-size build-fuzz/minimised/$$name; done | awk '{kb += $$1} END {print kb + 0}'); \
	if [ "$$total" -gt $(FUZZ_KEEP_KB) ]; then \
	  echo "minimised corpora: $$total KB, more than $(FUZZ_KEEP_KB) KB: fuzz/corpus left as it is"; exit 1; fi; \
	for target in $(FUZZ_TARGETS); do seeds=$${target##*:}; \
	  find fuzz/corpus/$$seeds -maxdepth 1 -type f -regextype posix-extended -regex '.*/[0-9a-f]{40}' -delete; \
	done; \
	for target in $(FUZZ_TARGETS); do name=$${target%%:*}; seeds=$${target##*:}; \
	  [ -d build-fuzz/minimised/$$name ] || continue; \
	  named=$$(cd fuzz/corpus/$$seeds && find . -maxdepth 1 -type f -regextype posix-extended ! -regex '.*/[0-9a-f]{40}' \
	           -exec sha1sum {} + | cut -d' ' -f1); \
	  for input in build-fuzz/minimised/$$name/*; do \
	    case " $$(echo $$named) " in *" $$(basename $$input) "*) ;; *) cp $$input fuzz/corpus/$$seeds/ ;; esac; \
	  done; \
	done; echo "fuzz/corpus: $$(du -sk --apparent-size fuzz/corpus | cut -f1) KB"

# The release build installed under PREFIX (/usr/local unless given): programs, manual page, bash
# completion, documents, the library with its header and CMake package.
install: build
	cmake --install build --prefix $(PREFIX)

# The Debian packages of the release build, in build/: scenario-compiler (programs, manual page,
# completion, documents) and scenario-compiler-dev (library, header, CMake package); and the zip of
# the Windows programs, build-windows/scenario-compiler-VERSION-win64.zip (tools/package_windows.sh).
package: build windows
	$(PREREQUISITES) package
	cd build && cpack -G DEB
	@for deb in build/*.deb; do echo "$$deb:"; dpkg-deb -c $$deb | awk '{ print "  " $$6 }'; done
	bash tools/package_windows.sh build-windows

clean:
	rm -rf build build-asan build-clang build-fuzz build-windows
