# The two commands a newcomer needs are `make play` and `make test`; the rest
# are for developers. Every target installs what it lacks first.
JOBS      ?= 2
LANGUAGE  ?= en
FUZZ_SECONDS ?= 60
BUILD     := build
RELEASE   := $(BUILD)/release
ASAN      := $(BUILD)/asan
TSAN      := $(BUILD)/tsan
FUZZDIR   := $(BUILD)/fuzz
CMAKE_GEN := cmake -S . -Wno-dev

.PHONY: play test deps build fuzz bench tsan-test soak-test format format-check clean

deps:
	@scripts/install-deps.sh base

$(RELEASE)/CMakeCache.txt:
	$(CMAKE_GEN) -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DVORTHAN_TESTS=OFF -DVORTHAN_BENCH=ON

build: deps $(RELEASE)/CMakeCache.txt
	cmake --build $(RELEASE) -j$(JOBS)

# Builds the demo adventure and plays it (LANGUAGE=cz for the Czech original,
# LANGUAGE= without a language folder).
play: build
	cd $(RELEASE)/demo && ../vorthan $(if $(LANGUAGE),-l $(LANGUAGE))

$(ASAN)/CMakeCache.txt:
	$(CMAKE_GEN) -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DVORTHAN_SANITIZE=ON -DVORTHAN_WERROR=ON

# Every test but the long soak runs, under AddressSanitizer and
# UndefinedBehaviorSanitizer; warnings are errors here (and so in CI).
test: deps $(ASAN)/CMakeCache.txt
	$(CMAKE_GEN) -B $(ASAN) -DVORTHAN_WERROR=ON >/dev/null
	cmake --build $(ASAN) -j$(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j$(JOBS) -LE soak

# The long runs (label "soak"), built like `make test`.
soak-test: deps $(ASAN)/CMakeCache.txt
	cmake --build $(ASAN) -j$(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest -V -L soak

$(TSAN)/CMakeCache.txt:
	$(CMAKE_GEN) -B $(TSAN) -DCMAKE_BUILD_TYPE=Debug -DVORTHAN_TSAN=ON

# The engine's threading tests under ThreadSanitizer.
tsan-test: deps $(TSAN)/CMakeCache.txt
	cmake --build $(TSAN) -j$(JOBS)
	cd $(TSAN) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j$(JOBS) -L threads

$(FUZZDIR)/CMakeCache.txt:
	CC=clang CXX=clang++ $(CMAKE_GEN) -B $(FUZZDIR) -DCMAKE_BUILD_TYPE=Debug -DVORTHAN_FUZZ=ON -DVORTHAN_TESTS=OFF

# Runs every libFuzzer target for FUZZ_SECONDS each, starting from its seeds.
fuzz:
	@scripts/install-deps.sh fuzz
	$(MAKE) $(FUZZDIR)/CMakeCache.txt
	cmake --build $(FUZZDIR) -j$(JOBS)
	@set -e; for f in $(FUZZDIR)/fuzz/fuzz_*; do \
		name=$${f##*/fuzz_}; work=$(FUZZDIR)/corpus/$$name; mkdir -p $$work; \
		echo "== $$name ($(FUZZ_SECONDS) s)"; \
		$$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -artifact_prefix=$(FUZZDIR)/ \
			$$work fuzz/corpus/$$name 2>&1 | tail -n 12; \
	done

bench: build
	@for b in $(RELEASE)/bench/bench_*; do echo "== $${b##*/}"; $$b; done

format:
	@scripts/install-deps.sh format
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@scripts/install-deps.sh format
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD)
