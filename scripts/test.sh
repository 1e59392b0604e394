#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole suite (unit, gui, e2e).
# Extra arguments go to ctest (for example -L unit, or -R poller); VELMORA_BUILD_TARGETS
# (names separated by spaces) builds only those programs instead of everything.
#
# VELMORA_FAKETIME="2027-01-31 23:10:00" runs the tests on a clock that starts there (libfaketime),
# to show that none of them depends on the hour or the date it is run at.
#
# Every process the tests start carries VELMORA_TEST_RUN in its environment; one still alive
# when ctest ends fails the run (and is ended).
#
# VELMORA_SANITIZE=address,undefined or VELMORA_SANITIZE=thread builds and runs the suite
# under those sanitizers in a folder of its own (build-asan/ or build-tsan/); a report fails
# the test that caused it. Known reports from outside the project are suppressed by name in
# tests/sanitizers/ (see the comments there).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sanitize="${VELMORA_SANITIZE:-}"

if [ -n "$sanitize" ]; then
  case "$sanitize" in
    *thread*) folder=build-tsan ;;
    *) folder=build-asan ;;
  esac
  export VELMORA_BUILD_DIR="${VELMORA_BUILD_DIR:-$root/$folder}"
  # The benchmarks measure speed, which a sanitizer build does not have.
  export VELMORA_CMAKE_ARGS="-DVELMORA_SANITIZE=$sanitize -DVELMORA_BUILD_BENCH=OFF"
  supp="$root/tests/sanitizers"
  # Set before the build too: the build lists each test binary's cases by running it.
  export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
  export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp"
  export TSAN_OPTIONS="suppressions=$supp/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
fi
build="${VELMORA_BUILD_DIR:-$root/build}"

read -r -a targets <<<"${VELMORA_BUILD_TARGETS:-}"
bash "$root/scripts/build.sh" "${targets[@]}"
# The tests that show numbers keep their decimal point under a German desktop need its locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  localedef -i de_DE -c -f UTF-8 de_DE.UTF-8 2>/dev/null \
    || echo "test.sh: cannot generate de_DE.UTF-8; the German-locale tests will skip"
fi
# GUI tests draw on Qt's offscreen platform: no display needed.
export QT_QPA_PLATFORM=offscreen
export VELMORA_TEST_RUN="$build:$$"
cd "$build"
clock=()
if [ -n "${VELMORA_FAKETIME:-}" ]; then
  bash "$root/scripts/install-deps.sh" faketime
  # Each test process starts at that moment and its clock runs on from there; monotonic
  # clocks (timers, time-outs) stay real. The processes share no state: libfaketime would
  # otherwise put a semaphore in shared memory that every process takes on each clock read,
  # and a process the tests kill while holding it (the kill tests do) would hang all the
  # others. A name that opens nothing turns the sharing off. File times stay real: faking
  # them takes a lock around every stat() that a child forked mid-call (ctest's own, or a
  # shell a test starts) can leave taken for good, hanging the run.
  clock=(env "LD_PRELOAD=$(dpkg -L libfaketime | grep -m1 '/libfaketimeMT\.so\.1$')"
         "FAKETIME=@$VELMORA_FAKETIME" FAKETIME_DONT_FAKE_MONOTONIC=1
         "FAKETIME_SHARED=/velmora-no-faketime-sem /velmora-no-faketime-shm" NO_FAKE_STAT=1)
fi
status=0
"${clock[@]}" ctest --output-on-failure --parallel "$(nproc)" --timeout 300 "$@" || status=$?
bash "$root/scripts/leftovers.sh" "$VELMORA_TEST_RUN" || status=1
exit "$status"
