#!/usr/bin/env bash
# check-install.sh <build dir> <consumer source> <scratch dir> [cxx flags] [link flags]
# The consumer is built with the project's own compiler and link flags, so that a sanitizer
# build links its runtime into the consumer too.
set -euo pipefail
build="$1"; consumer="$2"; scratch="$3"; cxxflags="${4:-}"; ldflags="${5:-}"
rm -rf "$scratch"
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
cmake -S "$consumer" -B "$scratch/build" -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" \
      -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_FLAGS="$cxxflags" \
      -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$scratch/build" -j2 >/dev/null
out="$("$scratch/build/consumer")"
echo "$out"
[ "$out" = "visibility false, opacity 0.25(Relative)
resources found
demo bodies 7" ]
