#!/usr/bin/env bash
# Writes the fuzz targets' seed inputs from the project's own programs and resources (no
# third-party files), one folder per target:
#   bash fuzz/make-seeds.sh <bin folder with brioscene and brio-fuzz-seeds> <output folder>
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
bin="$(cd "$1" && pwd)"
out="$2"
res="$bin/../share/brioscene/Server/Scene/Resources"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

rm -rf "$out"
mkdir -p "$out"/{Document,DocumentParts,Environment,Scenery,Options,StringTable,FragmentLibrary,Model,Image,Exr}
brioscene() { "$bin/brioscene" --options-dir "$work/options" "$@" >/dev/null; }

# Documents: a small generated assembly with each camera, and the demo gearbox.
brioscene save "$out/Document/generated-iso.brio" --generate 1,40,1
brioscene save "$out/Document/generated-top.brio" --generate 2,24,3 --view top
brioscene save "$out/Document/demo.brio"
for d in "$out"/Document/*.brio; do
  n="$(basename "$d" .brio)"
  "$bin/brio-fuzz-seeds" parts "$d" "$out/DocumentParts/$n.parts"
done

# Environments: the shipped definitions, their root renamed to the id the target reads.
for id in SkyRoom Studio; do
  sed -e "s|<$id>|<Fuzz>|; s|</$id>|</Fuzz>|" "$src/Server/Scene/Resources/Environments/$id/$id.xml" \
    >"$out/Environment/$id.xml"
done

# Scenery meshes: the generated ones, and the smallest the format allows.
cp "$res/Environments/SkyRoom/Ground.json" "$out/Scenery/ground.json"
cp "$res/Environments/Studio/Ground.json" "$out/Scenery/studio-ground.json"
cat >"$out/Scenery/square.json" <<'JSON'
{"Vertices": {"Positions": [0,0,0, 1,0,0, 1,0,-1, 0,0,-1], "UVs": [0,0, 1,0, 1,1, 0,1]},
 "Indices": [0,1,2, 0,2,3]}
JSON

# Options files as the program writes them after text commands.
brioscene console --batch --command "Options.MSAA /off" --command "Options.MinFPS 20" \
  --command "Options.ObjectShadowType /soft2" --command "Options.PixelScaleFactor 1.5" \
  --command "Options.SelectionEffect /fast"
cp "$work/options/ServerOptions.xml" "$out/Options/changed.xml"
rm -rf "$work/options"
brioscene console --batch --command "Options.ShowLayoutGrid /on" --command "Options.driver /DX11"
cp "$work/options/ServerOptions.xml" "$out/Options/grid.xml"

# String tables in the form StringTable reads.
cat >"$out/StringTable/de.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<StringTable>
  <String key="GraphicsOptionsUserName">Grafik</String>
  <String key="MSAAUserName">Kantengl&#228;ttung</String>
  <Other key="minFPSUserName">ignored</Other>
</StringTable>
XML

# The fragment library: the whole file and each fragment on its own.
lib="$src/Platform/Lumo/Graphics/Resources/LumoFragmentsLibrary-4_0.lumof"
cp "$lib" "$out/FragmentLibrary/library.lumof"
awk -v dir="$out/FragmentLibrary" '
  /^fragment / { n++; f = sprintf("%s/fragment-%02d.lumof", dir, n) }
  f { print > f }
  /^endfragment/ { close(f); f = "" }' "$lib"

# Models: a small generated assembly in each format, behind the byte that picks the extension
# (the order of FuzzModel.cpp's list).
i=0
for ext in glb gltf obj stl ply 3mf fbx; do
  brioscene export "$work/model.$ext" --generate 2,16,2
  { printf "\\x$(printf %02x $i)"; cat "$work/model.$ext"; } >"$out/Model/generated.$ext"
  i=$((i + 1))
done

# Images: PNG, JPEG and BMP in grey, RGB and RGBA, and the textures the build generates.
"$bin/brio-fuzz-seeds" images "$out/Image"
cp "$res/Environments/SkyRoom/SkyDome.png" "$res/Environments/Studio/StudioDome.png" "$res/Textures/thread1.bmp" \
  "$out/Image/"

# Environment maps: made here, and the generated image-based lighting maps.
"$bin/brio-fuzz-seeds" exr "$out/Exr"
cp "$res/Environments/SkyRoom/Diffuse.exr" "$out/Exr/skyroom-diffuse.exr"
cp "$res/Environments/Studio/Specular.exr" "$out/Exr/studio-specular.exr"

echo "Seeds in $out: $(find "$out" -type f | wc -l) files"
