#!/usr/bin/env bash
# Writes the example models from the project's own demo and generator (no third-party files):
#   bash examples/make-examples.sh [path/to/brioscene]
set -euo pipefail
cd "$(dirname "$0")"
b="${1:-../build/default/bin/brioscene}"
"$b" export gearbox.glb                          # the demo: sub-assemblies placed many times, a clear cover
"$b" export gearbox.obj                          # the same, flattened (OBJ has no placements)
"$b" export parts-grid.gltf --generate 3,600,9   # three parts placed three times each
"$b" export gear.stl --generate 1,1500,1         # one closed part
"$b" export tubes.ply --generate 2,400,2
"$b" export gearbox.3mf
"$b" export gearbox.fbx
