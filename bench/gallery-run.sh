#!/usr/bin/env bash
# Times a whole gallery run against a plain decode of the same photos.
#
# Real photographs come from Debian's lomiri-wallpapers-16.04 package (15 JPEGs of 1.5 to 16
# megapixels, some progressive), fetched once with apt-get download into a cache folder
# outside the repository. A second set holds the same pictures re-encoded as baseline JPEGs,
# which is what cameras write. For each set the script times:
#   decode   djpeg (libjpeg-turbo, accurate DCT) of every photo, output discarded
#   jobs=1   kelvo-cli generate --jobs 1, two picture layers: 140 x 140 and 640 x 480, quality 80
#   jobs=2   the same with --jobs 2
# and prints the ratios to the decode. Each figure is the best of several runs.
#
#   bench/gallery-run.sh [runs]        (default 3 runs; builds the release preset first)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/kelvo-bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

command -v djpeg >/dev/null || { echo "djpeg is missing: run scripts/setup.sh" >&2; exit 1; }

cmake --preset release -S "$top" >/dev/null
cmake --build --preset release --target kelvo-cli >/dev/null
cli=$top/build-release/bin/kelvo-cli

if [[ ! -d $cache/photos ]]; then
  mkdir -p "$cache/download"
  (cd "$cache/download" && apt-get download lomiri-wallpapers-16.04 2>/dev/null)
  dpkg-deb -x "$cache"/download/lomiri-wallpapers-16.04_*.deb "$cache/extract"
  mkdir -p "$cache/photos" "$cache/baseline"
  for f in "$cache"/extract/usr/share/backgrounds/*.jpg; do
    cp "$f" "$cache/photos/"
    djpeg "$f" | cjpeg -quality 92 -optimize -outfile "$cache/baseline/$(basename "$f")"
  done
fi

mkdir -p "$work/Layouts/Bench"
cat >"$work/Layouts/Bench/index.html" <<'HTML'
<table><tr><td><img src="#kel_picture_filename def_cols=5 def_rows=4 def_width=140 def_height=140 def_quality=80#"></td></tr></table>
<a href="#kel_page_previous#">prev</a> <a href="#kel_page_next#">next</a>
HTML
cat >"$work/Layouts/Bench/large.html" <<'HTML'
<img src="#kel_picture_filename def_width=640 def_height=480 def_quality=80#">
HTML

# Best wall-clock seconds of $runs runs of the command.
best() {
  local best=
  for ((i = 0; i < runs; i++)); do
    local start end t
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    t=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
    if [[ -z $best ]] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  printf '%.3f' "$best"
}

decode_all() { for f in "$1"/*.jpg; do djpeg -dct int -outfile /dev/null "$f"; done; }

echo "cores: $(nproc), runs: $runs (best of)"
for set in photos baseline; do
  dir=$cache/$set
  "$cli" new "$work/$set.kel" --force "$dir" >/dev/null
  decode=$(best decode_all "$dir")
  one=$(best "$cli" generate "$work/$set.kel" --layouts "$work/Layouts" -o "$work/out" --jobs 1 -q)
  two=$(best "$cli" generate "$work/$set.kel" --layouts "$work/Layouts" -o "$work/out" --jobs 2 -q)
  count=$(ls "$dir"/*.jpg | wc -l)
  awk -v s="$set" -v n="$count" -v d="$decode" -v o="$one" -v t="$two" 'BEGIN {
    printf "%-9s %2d photos  decode %6.3fs  jobs=1 %6.3fs (%.2f x)  jobs=2 %6.3fs (%.2f x)\n",
           s, n, d, o, o / d, t, t / d }'
done
