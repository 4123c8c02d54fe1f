# Thin wrapper over CMake. `make run [FILE=...]` and `make test` install what
# they need through apt-get first.
JOBS ?= $(shell nproc)
BUILD := build
TEST_BUILD := build-test
WIN32_BUILD := build-win32
WIN64_BUILD := build-win64
FILE ?=

.PHONY: run test bench build win32 jisfont deb screenshots deps-run deps-test deps-bench clean

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

# Self-contained exes (static runtime) and a zip of each with the font.
win32: $(WIN32_BUILD)/CMakeCache.txt $(WIN64_BUILD)/CMakeCache.txt $(BUILD)/jisfont.bin
	cmake --build $(WIN32_BUILD) -j $(JOBS)
	cmake --build $(WIN64_BUILD) -j $(JOBS)
	tools/make-win-zip.sh $(WIN32_BUILD) $(BUILD)/jisfont.bin $(WIN32_BUILD)/vusk-win32.zip
	tools/make-win-zip.sh $(WIN64_BUILD) $(BUILD)/jisfont.bin $(WIN64_BUILD)/vusk-win64.zip

test: deps-test
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVUSK_SANITIZE=ON -DVUSK_BENCH=OFF
	cmake --build $(TEST_BUILD) -j $(JOBS)
	$(MAKE) win32
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps-bench
	$(MAKE) build
	cmake -S . -B $(BUILD) -DVUSK_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	bench/run-all.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(WIN32_BUILD) $(WIN64_BUILD)
