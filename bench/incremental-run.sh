#!/usr/bin/env bash
# Times incremental gallery runs against the first, full run of the same gallery: 1,000 photos
# (copies of the 15 photos of bench/bench-photos.sh under different names), two picture layers
# (140 x 140 and 640 x 480, quality 80). In order:
#   first      kelvo-cli generate into an empty folder
#   unchanged  the same again                                    target: at most 2 % of first
#   title      one picture's title changed: only pages rewritten  target: at most 3 % of first
#   quality    the small layer's quality changed to 60: only that layer's pictures rewritten
#   share      that layer alone into an empty folder: what making its pictures costs
#                                                     target for quality: at most share + 5 %
# Each run once, with its wall-clock and processor seconds (user + system); on a busy machine
# the processor seconds are the steadier figure. The counts line of each run is shown too.
#
#   bench/incremental-run.sh [photos]     (default 1000; builds the release preset first)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-1000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v /usr/bin/time >/dev/null || { echo "/usr/bin/time is missing: run scripts/setup.sh" >&2; exit 1; }

cmake --preset release -S "$top" >/dev/null
cmake --build --preset release --target kelvo-cli >/dev/null
cli=$top/build-release/bin/kelvo-cli
cache=$("$top/bench/bench-photos.sh")

sources=("$cache"/photos/*.jpg)
mkdir -p "$work/photos"
for ((i = 0; i < count; i++)); do
  cp "${sources[i % ${#sources[@]}]}" "$(printf '%s/photos/photo%04d.jpg' "$work" "$i")"
done

thumbs() {
  mkdir -p "$work/Layouts/$1"
  cat >"$work/Layouts/$1/index.html" <<HTML
<table><tr><td><img src="#kel_picture_filename def_cols=5 def_rows=4 def_width=140 def_height=140 def_quality=$2#" alt="#kel_picture_title#"></td></tr></table>
<a href="#kel_page_previous#">prev</a> <a href="#kel_page_next#">next</a>
HTML
}
thumbs Bench 80
cat >"$work/Layouts/Bench/large.html" <<'HTML'
<img src="#kel_picture_filename def_width=640 def_height=480 def_quality=80#"><p>#kel_picture_title#</p>
HTML
thumbs Thumbs 60

"$cli" new "$work/p.kel" "$work/photos" >/dev/null
# "wall cpu" of one run, its counts line on standard error.
run() {
  /usr/bin/time -f '%e %U %S' -o "$work/time" \
    "$cli" generate "$work/p.kel" --layouts "$work/Layouts" "$@" 2>"$work/err" >/dev/null
  tail -1 "$work/err" >&2
  awk '{ printf "%.2f %.2f\n", $1, $2 + $3 }' "$work/time"
}

echo "cores: $(nproc), $count photos" >&2
read -r fw fc < <(run -o "$work/out" -l Bench)
read -r uw uc < <(run -o "$work/out" -l Bench)
sed -i '0,/title="[^"]*"/s//title="Changed title"/' "$work/p.kel"
read -r tw tc < <(run -o "$work/out" -l Bench)
sed -i 's/def_quality=80#" alt/def_quality=60#" alt/' "$work/Layouts/Bench/index.html"
read -r qw qc < <(run -o "$work/out" -l Bench)
read -r sw sc < <(run -o "$work/share" -l Thumbs)

awk -v fw="$fw" -v fc="$fc" -v uw="$uw" -v uc="$uc" -v tw="$tw" -v tc="$tc" -v qw="$qw" \
    -v qc="$qc" -v sw="$sw" -v sc="$sc" 'BEGIN {
  printf "first      %8.2f s wall %8.2f s cpu\n", fw, fc
  printf "unchanged  %7.2f %% wall %7.2f %% cpu   (target 2 %%)\n", 100 * uw / fw, 100 * uc / fc
  printf "title      %7.2f %% wall %7.2f %% cpu   (target 3 %%)\n", 100 * tw / fw, 100 * tc / fc
  printf "quality    %7.2f %% wall %7.2f %% cpu   (target share + 5 %%: %.2f %% wall, %.2f %% cpu)\n",
         100 * qw / fw, 100 * qc / fc, 100 * sw / fw + 5, 100 * sc / fc + 5
  printf "share      %7.2f %% wall %7.2f %% cpu\n", 100 * sw / fw, 100 * sc / fc
}'
