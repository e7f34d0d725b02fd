# Thin wrapper over CMake. `make run` and `make test` are the two everyday commands.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
GENERATOR  ?= Ninja
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local

CMAKE_CONFIGURE = cmake -S . -G $(GENERATOR) -DCMAKE_BUILD_TYPE

.PHONY: all deps build run test install package test-size mutation-check asan fuzz bench format clean \
	translations

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	$(CMAKE_CONFIGURE)=Release -B $(BUILD)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j 1
	@python3 scripts/test-size.py

# The program with its desktop entry, icons, AppStream data and manual page
# under PREFIX, and the login entry (quorlin --background) under PREFIX/etc, or
# /etc for PREFIX=/usr. DESTDIR stages the lot elsewhere, as packagers do.
install: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target quorlin
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package, $(BUILD)/quorlin_<version>_<arch>.deb, installing into /usr.
package: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target quorlin
	cd $(BUILD) && cpack -G DEB

# Brings translations/*.ts up to date with the interface's texts in the sources:
# new texts come in unfinished, texts gone from the sources leave.
translations: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) --target quorlin_lupdate

# Tests against code, in non-blank, non-comment lines; fails outside 25-33 %.
test-size:
	@python3 scripts/test-size.py --by-folder

# Plants each fault of scripts/mutations.txt in a scratch copy; every one must
# make the suite fail. Slow: a scratch build plus a run per fault.
mutation-check: deps
	python3 scripts/mutation-check.py $(MUTATION_ARGS)

asan: deps
	$(CMAKE_CONFIGURE)=Debug -B $(ASAN_BUILD) -DQUORLIN_SANITIZE=ON -DQUORLIN_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j 1 -LE e2e

# Each fuzzing harness for FUZZ_SECONDS; fails on any crash or sanitizer report.
fuzz: deps
	CC=clang CXX=clang++ $(CMAKE_CONFIGURE)=RelWithDebInfo -B $(FUZZ_BUILD) -DQUORLIN_FUZZ=ON \
		-DQUORLIN_BUILD_TESTS=OFF -DQUORLIN_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	@bash scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	@bash scripts/bench.sh $(BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
