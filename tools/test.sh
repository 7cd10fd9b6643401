#!/usr/bin/env bash
# The whole suite, as CI runs it: install what is missing, build with warnings as errors,
# run every test headless, run them again under AddressSanitizer (leaks included; the only
# suppressions, in tools/lsan-suppressions.txt, name third-party libraries) and
# UndefinedBehaviorSanitizer, then fuzz the decoders for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tools/install-deps.sh

jobs=$(nproc)
fuzz_seconds=${VORLANE_FUZZ_SECONDS:-60}
summary=()

run_suite() { # name, build dir, extra cmake args...
    local name=$1 dir=$2; shift 2
    echo "== $name: configure and build"
    cmake -S "$root" -B "$dir" -G Ninja -DVORLANE_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    echo "== $name: tests"
    local log="$dir/ctest.log"
    set +e
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    set -e
    summary+=("$name: $(grep -E 'tests passed' "$log" | tail -n1)")
    slowest "$name" "$log"
    return "$rc"
}

# Where the time of a run goes: the ten slowest programs, from ctest's "Test #n: name ... sec" lines.
slowest() { # name, ctest log
    echo "== $1: the ten slowest test programs"
    sed -nE 's/.*Test +#[0-9]+: ([^ ]+) .* ([0-9]+\.[0-9]+) sec.*/\2 \1/p' "$2" | sort -rn |
        awk 'NR <= 10 { printf "%9.2f s  %s\n", $1, $2 }'
}

run_suite "plain" build/ci -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite "sanitizers" build/asan -DCMAKE_BUILD_TYPE=Debug -DVORLANE_SANITIZE=ON -DVORLANE_BUILD_BENCH=OFF

echo "== fuzz: records decoders for ${fuzz_seconds}s"
CC=clang CXX=clang++ cmake -S "$root" -B build/fuzz -G Ninja -DVORLANE_FUZZ_ONLY=ON -DVORLANE_WERROR=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j "$jobs"
mkdir -p build/fuzz/corpus
fuzzer=build/fuzz/fuzz/records_fuzzer
# A fuzzer that was not built (no clang) is a failure, not a skipped step. Any one input that
# takes 30 s stops the run as a fault, so that one slow input cannot hold CI up. The plain power
# schedule (-entropic=0) keeps the fuzzer's own bookkeeping small: with the entropic one, it took
# half of each minute on this many code features, halving the inputs that minute covers.
if [ ! -x "$fuzzer" ]; then
    echo "the records fuzzer was not built (it needs clang and libclang-rt)" >&2
    exit 1
fi
set +e
"$fuzzer" -max_total_time="$fuzz_seconds" -timeout=30 -entropic=0 -print_final_stats=1 build/fuzz/corpus fuzz/seeds \
    >build/fuzz/fuzz.log 2>&1
fuzz_rc=$?
set -e
grep -E 'stat::number_of_executed_units|Done|ERROR|SUMMARY' build/fuzz/fuzz.log || true
if [ "$fuzz_rc" -ne 0 ] || grep -qE 'ERROR|SUMMARY: (Address|Undefined|libFuzzer)' build/fuzz/fuzz.log; then
    echo "fuzzing found a fault: see build/fuzz/fuzz.log" >&2
    exit 1
fi
summary+=("fuzz: $(grep -E 'stat::number_of_executed_units' build/fuzz/fuzz.log | awk '{print $2}') runs, no fault")

printf '%s\n' "${summary[@]}"
# One closing line over both suites, for whoever reads only the last line.
total=0; failed=0
for log in build/ci/ctest.log build/asan/ctest.log; do
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n1)
    failed=$((failed + $(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")))
    total=$((total + $(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")))
done
echo "$((total - failed)) passed, $failed failed"
