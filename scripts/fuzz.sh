#!/usr/bin/env bash
# Builds every libFuzzer target (clang, ASan + UBSan) into build-fuzz/ and runs each one for a
# given time, starting from the seed corpora in tests/fuzz/corpus/.
#
#   scripts/fuzz.sh [SECONDS_EACH] [TARGET...]     default 60 s each, every target
#
# Environment: VELMORA_FUZZ_BUILD_DIR (default build-fuzz/), VELMORA_FUZZ_RUNS (stop each target
# after this many executions instead of after the time), VELMORA_FUZZ_WORK (folder for the
# grown corpora and any crash inputs; default build-fuzz/fuzz-work). A crash, leak or time-out
# fails the script and leaves the input that caused it in the work folder.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELMORA_FUZZ_BUILD_DIR:-$root/build-fuzz}"
work="${VELMORA_FUZZ_WORK:-$build/fuzz-work}"
seconds="${1:-60}"
shift || true

# clang and its runtime libraries (libFuzzer) come only with fuzzing.
bash "$root/scripts/install-deps.sh" clang-14 libclang-rt-14-dev
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)" --target fuzz_all

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in "$root"/tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

limit=(-max_total_time="$seconds")
if [ -n "${VELMORA_FUZZ_RUNS:-}" ]; then limit=(-runs="$VELMORA_FUZZ_RUNS"); fi

# Allocation stacks off while fuzzing: recording them for the uninstrumented JSON library
# costs ten times the reader's own work. A failure is replayed below with them on.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0:quarantine_size_mb=64}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

failed=()
summary=()
for t in "${targets[@]}"; do
  mkdir -p "$work/corpus/$t" "$work/crashes/$t"
  log="$work/$t.log"
  echo "fuzz: $t"
  # -timeout: one input taking over 10 s is a hang; -rss_limit_mb: a reader must not balloon.
  if "$build/tests/fuzz/fuzz_$t" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$work/crashes/$t/" "$work/corpus/$t" "$root/tests/fuzz/corpus/$t" >"$log" 2>&1; then
    runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
    summary+=("$(printf '%-20s %12s executions' "$t" "${runs:-?}")")
  else
    failed+=("$t")
    summary+=("$(printf '%-20s FAILED (see %s)' "$t" "$log")")
    for input in "$work/crashes/$t"/*; do
      [ -f "$input" ] || continue
      ASAN_OPTIONS= "$build/tests/fuzz/fuzz_$t" "$input" >>"$log" 2>&1 || true
    done
    grep -E "ERROR|SUMMARY|property broken|runtime error|what\(\)" "$log" | head -8 || true
  fi
done

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: ${#failed[@]} target(s) failed: ${failed[*]}"
  exit 1
fi
echo "fuzz: ${#targets[@]} targets, no crash, leak or time-out"
