#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a while, two at a time (one per core), and prints
# per target the executions, executions per second, coverage (libFuzzer's cov: and ft:) and
# the crashes found:
#   bash fuzz/run-fuzz.sh <build folder> [seconds per target, default 60] [target names...]
# Inputs that crash are kept in <build>/fuzz-run/artifacts/<target>/ (replay one with
# "<build>/bin/Fuzz<target> <file>"); what a run learns stays in <build>/fuzz-run/corpus.
set -uo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
seconds="${2:-60}"
shift 2 || shift $#
run="$build/fuzz-run"
jobs="${BRIO_FUZZ_JOBS:-2}"

bash "$src/fuzz/make-seeds.sh" "$build/bin" "$run/seeds" || exit 1

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$build"/bin/Fuzz*; do targets+=("${t##*/Fuzz}"); done
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
# Leaks inside third-party readers (Assimp giving up on a broken file) are theirs, not findings.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$src/tools/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# One target for `seconds`, starting again after each crash (libFuzzer stops at the first) until
# the time is spent; its summary line goes to <run>/summary/<target>.
fuzz_one() {
  local name="$1" exe="$build/bin/Fuzz$1"
  local corpus="$run/corpus/$name" artifacts="$run/artifacts/$name" log="$run/logs/$name.log"
  mkdir -p "$corpus" "$artifacts" "$run/logs" "$run/summary"
  : >"$log"
  local inputs=("$corpus" "$run/seeds/$name")
  [ -d "$src/tests/Fuzz/regressions/$name" ] && inputs+=("$src/tests/Fuzz/regressions/$name")
  local dict=()
  [ -f "$src/fuzz/dict/$name.dict" ] && dict=(-dict="$src/fuzz/dict/$name.dict")
  local start=$SECONDS left=$seconds execs=0 restarts=0
  while [ "$left" -gt 0 ] && [ "$restarts" -lt 20 ]; do
    "$exe" "${dict[@]}" -max_total_time="$left" -timeout=25 -rss_limit_mb=2560 -close_fd_mask=3 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "${inputs[@]}" >>"$log" 2>&1
    local n
    n="$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -n1 | grep -o '[0-9]*$')"
    execs=$((execs + ${n:-0}))
    sed -i 's/stat::number_of_executed_units/counted::number_of_executed_units/' "$log"
    left=$((seconds - (SECONDS - start)))
    restarts=$((restarts + 1))
  done
  local elapsed=$((SECONDS - start)) cov ft crashes
  cov="$(grep -o 'cov: [0-9]*' "$log" | tail -n1 | grep -o '[0-9]*$')"
  ft="$(grep -o 'ft: [0-9]*' "$log" | tail -n1 | grep -o '[0-9]*$')"
  crashes="$(find "$artifacts" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)"
  printf '%-16s %10s execs %8s exec/s  cov: %-6s ft: %-7s corpus: %-5s crashes: %s\n' "$name" "$execs" \
    "$((execs / (elapsed > 0 ? elapsed : 1)))" "${cov:-?}" "${ft:-?}" "$(find "$corpus" -type f | wc -l)" \
    "$crashes" | tee "$run/summary/$name"
}

running=0
for name in "${targets[@]}"; do
  [ -x "$build/bin/Fuzz$name" ] || { echo "no fuzz target Fuzz$name in $build/bin" >&2; exit 2; }
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
  fuzz_one "$name" &
  running=$((running + 1))
done
wait

echo "--- $seconds s per target; crashes in $run/artifacts"
total=0
for name in "${targets[@]}"; do
  cat "$run/summary/$name"
  total=$((total + $(awk '{print $NF}' "$run/summary/$name")))
done
[ "$total" -eq 0 ]
