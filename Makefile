# The README's commands. Each first installs whatever Debian packages are missing.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
FUZZ_DIR ?= build-fuzz
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 300
PREFIX ?= /usr/local
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_ASAN_GAME=$(abspath $(ASAN_DIR))/Vorn2

.PHONY: all deps configure build play edit test asan-game bench fuzz soak format install clean

all: build

deps:
	@./tools/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# Both programs end with status 1 when the player quits normally.
play: build
	cd $(BUILD_DIR) && ./Vorn2 || [ $$? -eq 1 ]

# The editor works on the game's own map, or on maps/$(MAP).vsm: its data tree is its working
# directory.
edit: build
	cd $(BUILD_DIR)/basev2 && ../Vorn2Forge $(MAP) || [ $$? -eq 1 ]

# The game built with AddressSanitizer and UBSan, for the soak tests.
asan-game: deps
	@cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_SANITIZE=ON \
		-DVORN_TESTS=OFF > /dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS) --target Vorn2

test: build asan-game
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

bench: build
	./bench/run-bench $(BUILD_DIR)

fuzz:
	@./tools/install-deps fuzz
	./tests/fuzz/run-fuzz $(FUZZ_DIR) $(FUZZ_SECONDS)

soak: build asan-game
	python3 tests/soak/soak_test.py $(ASAN_DIR)/Vorn2 $(BUILD_DIR)/basev2 $(SOAK_SECONDS)

# Honours PREFIX and DESTDIR: make install PREFIX=/usr DESTDIR=/tmp/pkg
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD_DIR) --prefix $(PREFIX)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
