#!/usr/bin/env bash
# One entry point for newcomers and CI:
#   tools/quickstart.sh run    install what is missing, build, run the demo
#   tools/quickstart.sh test   install what is missing, build, run the whole test suite
#   tools/quickstart.sh bench  build and run the benchmarks
#   tools/quickstart.sh asan   the test suite under AddressSanitizer + UndefinedBehaviorSanitizer
#   tools/quickstart.sh tsan   the test suite under ThreadSanitizer
#   tools/quickstart.sh fuzz [SECONDS]   build the fuzz targets (clang, libFuzzer) and run each for
#                                        SECONDS (60); crashes go to build/fuzz/fuzz-run/artifacts
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-run}"
shift || true

bash tools/install-deps.sh
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"

build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

case "$mode" in
  run)
    build default
    ./build/default/bin/brioscene "$@"
    ;;
  test)
    build default
    ctest --preset default "$@"
    ;;
  bench)
    build default
    for b in build/default/bin/*Bench; do "$b" "$@"; done
    ;;
  asan|tsan)
    build "$mode"
    ctest --preset "$mode" "$@"
    ;;
  fuzz)
    bash tools/install-deps.sh clang libclang-rt-14-dev
    build fuzz
    bash fuzz/run-fuzz.sh build/fuzz "${1:-60}"
    ;;
  *)
    echo "usage: $0 run|test|bench|asan|tsan|fuzz [args...]" >&2
    exit 2
    ;;
esac
