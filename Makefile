# The README's commands. Each first installs whatever Debian packages are missing.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build play edit test format clean

all: build

deps:
	@./tools/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

play: build
	cd $(BUILD_DIR) && ./Vorn2

# The editor works on the game's own map: its data tree is its working directory.
edit: build
	cd $(BUILD_DIR)/basev2 && ../Vorn2Forge

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR)
