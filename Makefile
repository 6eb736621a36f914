# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD      ?= build
TEST_BUILD ?= build-asan
JOBS       ?= 2
GEN        := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps build run test bench fuzz fuzz-deps clean

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

# libFuzzer harnesses of fuzz/, built with clang in their own folder; each runs FUZZ_SECONDS, one
# after the other, at low priority. New inputs go to $(FUZZ_BUILD)/corpus/<name>, findings to
# $(FUZZ_BUILD)/findings/. `make fuzz FUZZERS=definition FUZZ_SECONDS=60` runs one briefly.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZERS      ?= profilefile commatext definition helppage win1252
FUZZ_NICE    ?= nice -n 15

$(FUZZ_BUILD)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
	  -DKALNO_FUZZ=ON -DKALNO_TESTS=OFF

fuzz-deps:
	@bash tools/install-deps.sh fuzz

fuzz: fuzz-deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzzers
	@mkdir -p $(FUZZ_BUILD)/findings; for h in $(FUZZERS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$h; \
	  echo "== fuzz_$$h for $(FUZZ_SECONDS) s, log $(FUZZ_BUILD)/fuzz_$$h.log"; \
	  if ! QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    $(FUZZ_NICE) ./$(FUZZ_BUILD)/fuzz/fuzz_$$h -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
	    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/findings/$$h- \
	    $(FUZZ_BUILD)/corpus/$$h fuzz/corpus/$$h >$(FUZZ_BUILD)/fuzz_$$h.log 2>&1; then \
	    tail -n 60 $(FUZZ_BUILD)/fuzz_$$h.log; echo "fuzz_$$h found a fault"; exit 1; fi; \
	  grep -E "^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)" $(FUZZ_BUILD)/fuzz_$$h.log; \
	done

clean:
	rm -rf $(BUILD) $(TEST_BUILD)
