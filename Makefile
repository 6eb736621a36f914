# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD      ?= build
TEST_BUILD ?= build-asan
JOBS       ?= 2
GEN        := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps build run test bench clean

all: build

deps:
	@bash tools/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALNO_BENCH=ON -DKALNO_TESTS=OFF

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target mahnbescheid

run: build
	./$(BUILD)/mahnbescheid $(ARGS)

$(TEST_BUILD)/CMakeCache.txt:
	cmake -S . -B $(TEST_BUILD) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DKALNO_SANITIZE=ON

test: deps $(TEST_BUILD)/CMakeCache.txt
	cmake --build $(TEST_BUILD) -j$(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j$(JOBS) $(CTEST_ARGS)

bench: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target run_benchmarks

clean:
	rm -rf $(BUILD) $(TEST_BUILD)
