#!/usr/bin/env bash
# brioscene as a user runs it: every subcommand on the demo and the examples, and every error
# path ends with one line naming the file and the cause, a non-zero status and nothing lost.
#   cli-test.sh <brioscene> <examples folder> <scratch folder>
set -u
b="$1"; examples="$2"; work="$3"
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# ok <description> <command...>: must succeed.
ok() {
  local what="$1"; shift
  "$@" >out.txt 2>err.txt || { fail "$what: exit $? ($(cat err.txt))"; return; }
}
# refused <description> <expected stderr text> <command...>: must fail with one line holding the text.
refused() {
  local what="$1" text="$2"; shift 2
  if "$@" >out.txt 2>err.txt; then fail "$what: succeeded"; return; fi
  local lines; lines=$(wc -l <err.txt)
  grep -qF -- "$text" err.txt || fail "$what: stderr lacks '$text': $(cat err.txt)"
  [ "$lines" -eq 1 ] || fail "$what: $lines lines on stderr: $(cat err.txt)"
}

ok "render the demo" "$b" render -o demo.png --width 160 --height 120 -q
[ -s demo.png ] || fail "no demo.png"
ok "default run renders" "$b"
[ -s brioscene.png ] || fail "the default run wrote no brioscene.png"
for f in gearbox.glb gearbox.obj parts-grid.gltf gear.stl tubes.ply gearbox.3mf gearbox.fbx; do
  ok "render $f" "$b" render "$examples/$f" -o "$f.png" --width 96 --height 64 -q
  [ -s "$f.png" ] || fail "no $f.png"
done
ok "generate" "$b" render --generate 3,300,5 -o gen.png --width 96 --height 64 --view top --style hidden -q
ok "info" "$b" info "$examples/gearbox.glb"
grep -q "Bodies: *7 (21 placed)" out.txt || fail "info of gearbox.glb: $(cat out.txt)"
ok "save" "$b" save demo.brio
ok "open" "$b" open demo.brio -o opened.png --width 96 --height 64
grep -q "Components: *8" out.txt || fail "open describes: $(cat out.txt)"
[ -s opened.png ] || fail "open wrote no image"
ok "export" "$b" export again.glb --generate 2,200,4
ok "console" "$b" console --batch --command "Options.MSAA"

# Errors.
refused "missing model" "cannot read 'nothing.glb': no such file" "$b" render nothing.glb
echo "not a model at all" >noise.foo
refused "unknown format" "'noise.foo'" "$b" info noise.foo
head -c 300 "$examples/gearbox.glb" >cut.glb
refused "truncated model" "'cut.glb'" "$b" render cut.glb -o cut.png
echo "garbage" >bad.brio
refused "corrupt document" "cannot open 'bad.brio'" "$b" info bad.brio
refused "missing document" "cannot open 'none.brio': no such file" "$b" render none.brio
refused "bad generate" "PARTS,TRIANGLES,INSTANCES" "$b" render --generate 1,2
refused "bad width" "--width" "$b" render --width 5
refused "bad style" "--style" "$b" render --style glossy
refused "unknown environment" "no environment 'Foo'" "$b" render --environment Foo
refused "pick without a place" "pick needs --at" "$b" pick
ok "pick a point" "$b" pick --at 400,300 --width 800 --height 600
grep -q "^1\. face [0-9]* of Demo gearbox / " out.txt || fail "pick at the centre: $(head -3 out.txt)"
ok "pick a rectangle" "$b" pick --rect 0,0,800,600 --crossing
[ "$(grep -c ' of Demo gearbox / ' out.txt)" -gt 10 ] || fail "a crossing rectangle over the whole view: $(head -3 out.txt)"
ok "pick nothing" "$b" pick --at 2,2
grep -q "^1\. background of " out.txt || fail "a corner: $(cat out.txt)"
# A selection drawn: the body under the pixel is named and the picture changes, only there.
ok "render plain" "$b" render -o plain.png --width 160 --height 120 --no-msaa -q
ok "render a selection" "$b" render --select 80,60 -o selected.png --width 160 --height 120 --no-msaa
grep -q "^Selected face [0-9]* of Demo gearbox / " out.txt || fail "render --select names the body: $(cat out.txt)"
cmp -s plain.png selected.png && fail "render --select drew no selection"
ok "render selecting nothing" "$b" render --select 2,2 -o corner.png --width 160 --height 120 --no-msaa
grep -q "^Selected nothing" out.txt || fail "render --select on the background: $(cat out.txt)"
cmp -s plain.png corner.png || fail "selecting the background changed the picture"
refused "select outside" "--select 500,10 lies outside" "$b" render --select 500,10 --width 160 --height 120
refused "export format" "unknown format" "$b" export out.xyz
refused "save to nowhere" "cannot save 'no/such/folder/x.brio'" "$b" save no/such/folder/x.brio
# A failed command leaves an existing document as it was.
cp demo.brio before.brio
refused "save from a missing model" "no such file" "$b" save demo.brio nothing.glb
cmp -s demo.brio before.brio || fail "demo.brio changed by a failed save"

if command -v xvfb-run >/dev/null; then
  ok "view" xvfb-run -a "$b" view --frames 2 --width 160 --height 120
  # A click in the window selects what `pick` finds at the same pixel.
  ok "click" xvfb-run -a "$b" view --frames 3 --click 400,300 --width 800 --height 600
  grep -q "^Selected face [0-9]* of Demo gearbox / Cover" out.txt || fail "a click in the window: $(cat out.txt)"
  # The pointer over a body prehighlights it; a click there then selects it.
  ok "hover" xvfb-run -a "$b" view --frames 5 --hover 400,300 --click 400,300 --width 800 --height 600
  grep -q "^Under the pointer: Demo gearbox / Cover" out.txt || fail "hovering in the window: $(cat out.txt)"
  grep -q "^Selected face [0-9]* of Demo gearbox / Cover" out.txt || fail "a click after hovering: $(cat out.txt)"
fi

[ "$failures" -eq 0 ] && echo "all passed"
exit "$failures"
