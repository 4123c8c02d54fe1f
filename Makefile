# Thin wrapper over CMake. `make run [FILE=...]` and `make test` install what
# they need through apt-get first.
JOBS ?= $(shell nproc)
BUILD := build
TEST_BUILD := build-test
WIN32_BUILD := build-win32
WIN64_BUILD := build-win64
FUZZ_BUILD := build-fuzz
FILE ?=
# Seconds per target of `make fuzz`; the soak's size for `make soak`.
FUZZ_SECONDS ?= 60
SOAK_MESSAGES ?= 1000000
SOAK_BYTES ?= 10000000
# The Document's own check rebuilds its LineTable: on 10 MB, after every
# 1000th message; the view's invariants are checked after every message.
SOAK_CHECK_EVERY ?= 1000
FUZZ_TARGETS := load hex_parse cmdline label input
# `make check` runs the unit and script tests of this build folder.
CHECK_BUILD ?= $(TEST_BUILD)
# Warnings are errors in the builds that `make test` makes (WERROR=ON); other
# builds keep the folder's own setting, OFF unless configured otherwise.
WERROR ?=
WERROR_FLAG = $(if $(WERROR),-DVUSK_WERROR=$(WERROR))

.PHONY: run test check bench build win32 jisfont unicode-font deb screenshots deps-run deps-test deps-bench clean fuzz-build fuzz soak

deps-run:
	@tools/install-deps.sh run
deps-test:
	@tools/install-deps.sh test
deps-bench:
	@tools/install-deps.sh bench

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DVUSK_TESTS=OFF

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

jisfont: build
	tools/build-jisfont.sh $(BUILD)

# The font generator alone, for the Windows zip (no need to build the rest).
$(BUILD)/jisfont.bin: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target make_jisfont
	tools/build-jisfont.sh $(BUILD)

# The Unicode glyph file alone, for the Windows zip; CMake keeps it current.
unicode-font: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target vusk_unicode_font

# A .deb of the Release build, font included: $(BUILD)/vusk_VERSION_ARCH.deb.
deb: build $(BUILD)/jisfont.bin
	cd $(BUILD) && cpack -G DEB

# Regenerates the README's pictures in docs/ with vusk-script.
screenshots: build $(BUILD)/jisfont.bin
	tools/make-screenshots.sh $(BUILD) docs

run: deps-run
	$(MAKE) build
	@[ -f $(BUILD)/jisfont.bin ] || tools/build-jisfont.sh $(BUILD)
	$(BUILD)/vusk $(FILE)

# The toolchain is given only when a build folder is first configured: CMake
# warns that it is unused on every later run.
$(WIN32_BUILD)/CMakeCache.txt:
	cmake -S . -B $(WIN32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
$(WIN64_BUILD)/CMakeCache.txt:
	cmake -S . -B $(WIN64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

# Self-contained exes (static runtime) and a zip of each with the fonts.
WIN_FONTS := $(BUILD)/jisfont.bin $(BUILD)/unicodefont.bin
win32: $(WIN32_BUILD)/CMakeCache.txt $(WIN64_BUILD)/CMakeCache.txt $(BUILD)/jisfont.bin unicode-font
	$(if $(WERROR),cmake -S . -B $(WIN32_BUILD) $(WERROR_FLAG))
	$(if $(WERROR),cmake -S . -B $(WIN64_BUILD) $(WERROR_FLAG))
	cmake --build $(WIN32_BUILD) -j $(JOBS)
	cmake --build $(WIN64_BUILD) -j $(JOBS)
	tools/make-win-zip.sh $(WIN32_BUILD) $(WIN32_BUILD)/vusk-win32.zip $(WIN_FONTS)
	tools/make-win-zip.sh $(WIN64_BUILD) $(WIN64_BUILD)/vusk-win64.zip $(WIN_FONTS)

# The fuzz targets: clang with libFuzzer, AddressSanitizer and UBSan.
$(FUZZ_BUILD)/CMakeCache.txt:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVUSK_FUZZ=ON -DVUSK_TESTS=OFF -DVUSK_SDL=OFF -DVUSK_BENCH=OFF

fuzz-build: $(FUZZ_BUILD)/CMakeCache.txt
	$(if $(WERROR),cmake -S . -B $(FUZZ_BUILD) $(WERROR_FLAG))
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Each target for FUZZ_SECONDS; inputs that reach new coverage join the
# committed corpus in tests/fuzz/corpus/.
fuzz: deps-test fuzz-build
	@for t in $(FUZZ_TARGETS); do \
	  tests/fuzz/run_fuzz.sh --grow $(FUZZ_BUILD)/fuzz_$$t tests/fuzz/corpus/$$t $(FUZZ_SECONDS) || exit 1; \
	done

# One million random messages on a 10 MB text, under the sanitizers.
soak: deps-test
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVUSK_SANITIZE=ON -DVUSK_BENCH=OFF
	cmake --build $(TEST_BUILD) -j $(JOBS) --target vusk-soak
	$(TEST_BUILD)/vusk-soak $(SOAK_MESSAGES) $(SOAK_BYTES) 1 $(SOAK_CHECK_EVERY)

test: deps-test
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVUSK_SANITIZE=ON -DVUSK_BENCH=OFF -DVUSK_WERROR=ON
	cmake --build $(TEST_BUILD) -j $(JOBS)
	$(MAKE) win32 WERROR=ON
	$(MAKE) fuzz-build WERROR=ON
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

# The fast loop while working: brings an already configured build folder
# (CHECK_BUILD, by default make test's) up to date and runs its unit and
# script tests only, no real windows, Wine, fuzzing or packages.
check:
	@[ -f $(CHECK_BUILD)/CMakeCache.txt ] || { echo "$(CHECK_BUILD) is not configured: run make test once, or give CHECK_BUILD=FOLDER" >&2; exit 1; }
	cmake --build $(CHECK_BUILD) -j $(JOBS)
	cd $(CHECK_BUILD) && ctest --output-on-failure -j $(JOBS) -L 'unit|script'

bench: deps-bench
	$(MAKE) build
	cmake -S . -B $(BUILD) -DVUSK_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	bench/run-all.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(WIN32_BUILD) $(WIN64_BUILD) $(FUZZ_BUILD)
