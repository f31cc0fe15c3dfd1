# Thin front door over the CMake presets. Each target first makes sure the machine has the Debian
# packages it needs (tools/prerequisites.sh installs them, or says how).
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
PREREQUISITES = tools/prerequisites.sh
KEPT = MorvellaC_DrasconaX_5521_note.txt MorvellaC_DrasconaX_5521_rallentamenti.txt \
       MorvellaC_DrasconaX_5521_scheda_treno.txt MorvellaC_DrasconaX_linea.dat \
       MorvellaC_DrasconaX_5521.sim MorvellaC_DrasconaX_5521.dat

.PHONY: run build test clang-build bench fuzz-smoke render browser-check install package clean

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

# Every target built with clang, warnings as errors (CI runs it beside the tests, which gcc builds).
clang-build:
	$(PREREQUISITES) clang
	cmake --preset clang
	cmake --build --preset clang -j $(JOBS)

bench: build
	for b in build/bin/*_bench; do $$b; done

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
FUZZ_TARGETS = line_parser:line train_parser:train compile:compile decompile:decompile check:compile

fuzz-smoke:
	$(PREREQUISITES) fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS) --target line_parser_fuzzer train_parser_fuzzer compile_fuzzer decompile_fuzzer check_fuzzer
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

# The release build installed under PREFIX (/usr/local unless given): programs, manual page, bash
# completion, documents, the library with its header and CMake package.
install: build
	cmake --install build --prefix $(PREFIX)

# The Debian packages of the release build, in build/: scenario-compiler (programs, manual page,
# completion, documents) and scenario-compiler-dev (library, header, CMake package).
package: build
	$(PREREQUISITES) package
	cd build && cpack -G DEB
	@for deb in build/*.deb; do echo "$$deb:"; dpkg-deb -c $$deb | awk '{ print "  " $$6 }'; done

clean:
	rm -rf build build-asan build-clang build-fuzz
