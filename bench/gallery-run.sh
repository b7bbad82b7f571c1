#!/usr/bin/env bash
# Times a whole gallery run against a plain decode of the same photos, and measures its memory.
#
# The photos come from bench/bench-photos.sh: 15 real photographs, the same transcoded to
# baseline, and one 20-megapixel photo for the memory figure. For each set the script measures:
#   decode   djpeg (libjpeg-turbo, accurate DCT) of every photo, output discarded
#   exact    kelvo-cli generate --jobs 1 and --jobs 2, two picture layers: 140 x 140 and
#            640 x 480, quality 80
#   fast     kelvo-cli generate --jobs 1 --fast
#   memory   the peak resident memory of the exact runs
# and prints the times as ratios to the decode: wall-clock and processor time, each the best of
# several runs. On a busy machine count instructions instead, which callgrind does exactly but
# slowly (minutes):
#
#   bench/gallery-run.sh [runs]          (default 3 runs; builds the release preset first)
#   bench/gallery-run.sh --callgrind     instructions of decode, exact --jobs 1 and fast
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mode=time
if [[ ${1:-} == --callgrind ]]; then mode=callgrind; shift; fi
runs=${1:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for tool in djpeg /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup.sh" >&2; exit 1; }
done
[[ $mode == time ]] || command -v valgrind >/dev/null || { echo "valgrind is missing" >&2; exit 1; }

cmake --preset release -S "$top" >/dev/null
cmake --build --preset release --target kelvo-cli >/dev/null
cli=$top/build-release/bin/kelvo-cli

cache=$("$top/bench/bench-photos.sh")

mkdir -p "$work/Layouts/Bench"
cat >"$work/Layouts/Bench/index.html" <<'HTML'
<table><tr><td><img src="#kel_picture_filename def_cols=5 def_rows=4 def_width=140 def_height=140 def_quality=80#"></td></tr></table>
<a href="#kel_page_previous#">prev</a> <a href="#kel_page_next#">next</a>
HTML
cat >"$work/Layouts/Bench/large.html" <<'HTML'
<img src="#kel_picture_filename def_width=640 def_height=480 def_quality=80#">
HTML

# "wall cpu peak" of the command: the best wall-clock and the best processor seconds (user +
# system, of it and the processes it starts) of $runs runs, and the largest peak resident
# memory in MB. On a busy machine the processor seconds are the steadier figure.
measure() {
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null
    cat "$work/time"
  done | awk 'NR == 1 || $1 < w { w = $1 } NR == 1 || $2 + $3 < c { c = $2 + $3 } $4 > m { m = $4 }
              END { printf "%.3f %.3f %.1f\n", w, c, m / 1024 }'
}

# Instructions executed by the command (and the processes it starts), in millions.
instructions() {
  valgrind --tool=callgrind --trace-children=yes --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    awk '/Collected :/ { n += $NF } END { printf "%.0f", n / 1e6 }'
}

decode_all() { for f in "$1"/*.jpg; do djpeg -dct int -outfile /dev/null "$f"; done; }

echo "cores: $(nproc), mode: $mode$([[ $mode == time ]] && echo ", best of $runs runs")"
for set in photos baseline large; do
  dir=$cache/$set
  "$cli" new "$work/$set.kel" --force "$dir" >/dev/null
  gen=("$cli" generate "$work/$set.kel" --layouts "$work/Layouts" -o "$work/out" -q)
  count=$(ls "$dir"/*.jpg | wc -l)
  if [[ $mode == callgrind ]]; then
    decode=$(instructions bash -c "$(declare -f decode_all); decode_all '$dir'")
    one=$(instructions "${gen[@]}" --jobs 1)
    fast=$(instructions "${gen[@]}" --jobs 1 --fast)
    awk -v s="$set" -v n="$count" -v d="$decode" -v o="$one" -v f="$fast" 'BEGIN {
      printf "%-9s %2d photos  decode %6d M instr.  exact %6d M (%.2f x)  fast %6d M (%.2f x)\n",
             s, n, d, o, o / d, f, f / d }'
    continue
  fi
  read -r dw dc _ < <(measure bash -c "$(declare -f decode_all); decode_all '$dir'")
  read -r ow oc om < <(measure "${gen[@]}" --jobs 1)
  read -r tw _ tm < <(measure "${gen[@]}" --jobs 2)
  read -r fw fc _ < <(measure "${gen[@]}" --jobs 1 --fast)
  awk -v s="$set" -v n="$count" -v dw="$dw" -v dc="$dc" -v ow="$ow" -v oc="$oc" -v tw="$tw" \
      -v fw="$fw" -v fc="$fc" -v m="$om" -v m2="$tm" 'BEGIN {
    printf "%-9s %2d photos  decode %.3fs (cpu %.3fs)  exact jobs=1 %.2f x (cpu %.2f x)  " \
           "jobs=2 %.2f x  fast jobs=1 %.2f x (cpu %.2f x)  peak %.1f MB, jobs=2 %.1f MB\n",
           s, n, dw, dc, ow / dw, oc / dc, tw / dw, fw / dw, fc / dc, m, m2 }'
done
