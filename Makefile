# Thin front door over the CMake presets.
JOBS ?= $(shell nproc)
KEPT = MorvellaC_DrasconaX_5521_note.txt MorvellaC_DrasconaX_5521_rallentamenti.txt \
       MorvellaC_DrasconaX_5521_scheda_treno.txt MorvellaC_DrasconaX_linea.dat \
       MorvellaC_DrasconaX_5521.sim MorvellaC_DrasconaX_5521.dat

.PHONY: run build test bench clean

build:
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

run: build
	./build/bin/scenario_build
	@echo "Files written in build/bin:"
	@cd build/bin && ls -l $$(ls $(KEPT) MorvellaC_DrasconaX_linea.txt MorvellaC_DrasconaX_5521-.txt 2>/dev/null)

test:
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan --output-on-failure

bench: build
	for b in build/bin/*_bench; do $$b; done

clean:
	rm -rf build build-asan build-fuzz
