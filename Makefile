# Tombweaver: `make play` to build and run the game, `make test` to run every test.
# Both install the Debian packages that are missing first (with sudo when not root).
# `make install PREFIX=... [DESTDIR=...]`, `make uninstall`, `make package` (a .deb).

JOBS      ?= $(shell nproc)
BUILD     ?= build
TESTBUILD ?= build-test
RELEASEBUILD ?= build-release
FUZZBUILD ?= build-fuzz
FUZZ_SECONDS ?= 20
PREFIX    ?= /usr/local

DEPS = cmake g++ make pkg-config libsdl2-dev libsdl2-mixer-dev libpng-dev \
       libgtest-dev libbenchmark-dev desktop-file-utils appstream shared-mime-info \
       dpkg-dev file
FUZZ_DEPS = clang libclang-rt-14-dev

SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps fuzz-deps build play install uninstall package test unit-tests release-tests fuzz-smoke fuzz bench format clean

all: build

# Install only what is missing; a machine that has everything is left alone.
define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install_missing,$(DEPS))

fuzz-deps:
	$(call install_missing,$(FUZZ_DEPS))

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_TESTS=OFF -DTW_BENCH=OFF
	cmake --build $(BUILD) -j $(JOBS) --target tombweaver tombweaver-solve

play: build
	./$(BUILD)/tombweaver

# DESTDIR (when given) is put before every installed path, for staging and packaging.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)" --strip

# Removes what the last `make install` put in place (give the same DESTDIR).
uninstall:
	DESTDIR="$(DESTDIR)" cmake -DMANIFEST=$(BUILD)/install_manifest.txt -P dist/uninstall.cmake

# A Debian package of the release build, in $(BUILD)/; its dependencies come from dpkg-shlibdeps.
package: build
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/tombweaver_*.deb

# Unit and end-to-end tests under AddressSanitizer and UndefinedBehaviorSanitizer, the
# same tests built as the release is (optimised, without debugging checks), then the
# fuzz targets' corpus replay and a short run of each.
test: unit-tests release-tests fuzz-smoke

unit-tests: deps
	cmake -S . -B $(TESTBUILD) -DCMAKE_BUILD_TYPE=Debug -DTW_SANITIZE=ON -DTW_TESTS=ON -DTW_BENCH=OFF
	cmake --build $(TESTBUILD) -j $(JOBS)
	cd $(TESTBUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS)

release-tests: deps
	cmake -S . -B $(RELEASEBUILD) -DCMAKE_BUILD_TYPE=Release -DTW_TESTS=ON -DTW_BENCH=OFF
	cmake --build $(RELEASEBUILD) -j $(JOBS)
	cd $(RELEASEBUILD) && ctest --output-on-failure -j $(JOBS)

fuzz-smoke: deps fuzz-deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZBUILD) -DCMAKE_BUILD_TYPE=Debug -DTW_FUZZ=ON -DTW_TESTS=ON -DTW_BENCH=OFF
	cmake --build $(FUZZBUILD) -j $(JOBS) --target fuzz_all
	FUZZ_SECONDS=$(FUZZ_SECONDS) tests/fuzz/run.sh $(FUZZBUILD)

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTW_TESTS=OFF -DTW_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	for b in build-bench/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# The house style (.clang-format) applied to every tracked source file.
format:
	$(call install_missing,clang-format)
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(TESTBUILD) $(RELEASEBUILD) $(FUZZBUILD) build-bench
