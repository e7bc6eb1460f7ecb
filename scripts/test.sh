#!/usr/bin/env bash
# Builds Tovala with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test: the
# GoogleTest programs, the Qt Tests (offscreen) and the fuzz targets over their seed corpora.
# Ends with the line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh || { echo "0 passed, 1 failed"; exit 1; }

JOBS=${JOBS:-$(nproc)}
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

if ! cmake --preset debug >/dev/null || ! cmake --build build/debug -j "$JOBS"; then
  echo "build failed"
  echo "0 passed, 1 failed"
  exit 1
fi

log=$(mktemp)
(cd build/debug && ctest -j "$JOBS" --output-on-failure) 2>&1 | tee "$log"
status=${PIPESTATUS[0]}

# ctest's summary: "NN% tests passed, F tests failed out of T"
summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
rm -f "$log"
if [ -z "$summary" ]; then
  echo "0 passed, 1 failed"
  exit 1
fi
failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$summary")
echo "$((total - failed)) passed, $failed failed"
if [ "$status" -ne 0 ] || [ "$failed" -ne 0 ]; then exit 1; fi
exit 0
