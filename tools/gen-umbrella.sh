#!/usr/bin/env bash
# Regenerates the scene library's umbrella header from the headers on disk.
set -euo pipefail
cd "$(dirname "$0")/.."
out=Server/Scene/Scene.h
{
  echo '#pragma once'
  echo '/// Every public header of the scene library.'
  (cd Server && find Scene -name '*.h' ! -path 'Scene/Scene.h' ! -name '*Internal.h' | LC_ALL=C sort | sed 's|^|#include <|; s|$|>|')
} > "$out"

out=Platform/Lumo/Lumo.h
{
  echo '#pragma once'
  echo '/// Every public header of the graphics system.'
  (cd Platform && for m in Objects Devices Graphics; do
     find Lumo/$m -name '*.h' ! -name '*Internal.h' | LC_ALL=C sort | sed 's|^|#include <|; s|$|>|'
   done)
} > "$out"

out=Platform/Brio/Brio.h
{
  echo '#pragma once'
  echo
  echo '// Every public header of the host framework.'
  echo
  (cd Platform && for m in Base Types DataModel AddInMgr; do
     [ -d Brio/$m ] || continue
     echo "#include <Brio/$m/Fwd.h>"
     find Brio/$m -name '*.h' ! -name Fwd.h | LC_ALL=C sort | sed 's|^|#include <|; s|$|>|'
   done)
} > "$out"

# The include lists in the order clang-format sorts them, as everywhere else in the tree.
if command -v clang-format >/dev/null; then
  clang-format -i Server/Scene/Scene.h Platform/Lumo/Lumo.h Platform/Brio/Brio.h
fi
