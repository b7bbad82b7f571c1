#!/usr/bin/env bash
# Each picture format Kelvo reads: a gallery run's time per picture against the format
# library's own decode of the same files (kelvo_formats_bench), what a colour profile adds to
# a JPEG's run, and the peak memory of one job on a 20-megapixel PNG.
#
# The pictures are the repository's sample photos (Pictures/), converted by ImageMagick into
# PNG, WebP, HEIC, AVIF and TIFF (LZW), and once more as JPEGs carrying a wide-gamut profile
# (the Adobe-like one of the fuzz seeds). The large PNG is the first photo enlarged to
# 5472 x 3648.
# On a busy machine the times scatter; --callgrind counts instructions instead (one round under
# valgrind, a few minutes), and adds Kelvo's read alone (each file into a full upright bitmap,
# no resampling or saving) against the same library decode.
#   bench/formats-run.sh [rounds]      (default 3; builds the release preset first)
#   bench/formats-run.sh --callgrind
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mode=time
if [[ ${1:-} == --callgrind ]]; then mode=callgrind; shift; fi
rounds=${1:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert=/usr/bin/convert
for tool in $convert /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup.sh" >&2; exit 1; }
done

cmake --preset release -S "$top" >/dev/null
cmake --build --preset release --target kelvo-cli kelvo_formats_bench >/dev/null
bin=$top/build-release/bin

profile=$top/fuzz/corpus/fuzz_icc/adobe-like.icc
mkdir -p "$work"/{jpeg,jpeg-profile,png,webp,heic,avif,tiff,large}
for f in "$top"/Pictures/*.jpg; do
  name=$(basename "${f%.jpg}" | tr ' ' _)
  $convert "$f" -quality 92 "$work/jpeg/$name.jpg"
  $convert "$f" -quality 92 -profile "$profile" "$work/jpeg-profile/$name.jpg"
  $convert "$f" "$work/png/$name.png"
  $convert "$f" -quality 90 "$work/webp/$name.webp"
  $convert "$f" -quality 60 "$work/heic/$name.heic"
  $convert "$f" -quality 60 "$work/avif/$name.avif"
  $convert "$f" -compress LZW "$work/tiff/$name.tif"
done
first=$(ls "$top"/Pictures/*.jpg | head -1)
$convert "$first" -resize '5472x3648!' "$work/large/large.png"

sets=(jpeg jpeg-profile png webp heic avif tiff)
if [[ $mode == callgrind ]]; then
  # Millions of instructions inside the functions matching the patterns, in one round.
  instructions() {
    local only=()
    if [[ $1 == --read ]]; then only=(--read); shift; fi
    local dir=$1
    shift
    valgrind --tool=callgrind --callgrind-out-file=/dev/null --collect-atstart=no "$@" \
      "$bin/kelvo_formats_bench" "${only[@]}" 1 "$dir" 2>&1 >/dev/null |
      awk '/Collected :/ { printf "%.0f", $NF / 1e6 }'
  }
  printf "%-14s %14s %14s %7s %12s %7s\n" folder "library Minstr" "Kelvo Minstr" ratio \
    "read Minstr" ratio
  for set in "${sets[@]}"; do
    case $set in
      jpeg*) decode=DecodeJpeg ;; png) decode=DecodePng ;; webp) decode=DecodeWebp ;;
      heic | avif) decode=DecodeHeif ;; tiff) decode=DecodeTiff ;;
    esac
    library=$(instructions "$work/$set" --toggle-collect="*$decode*")
    kelvo=$(instructions "$work/$set" --toggle-collect='*LoadPictureResampled*' \
      --toggle-collect='*SaveJpegFile*')
    reading=$(instructions --read "$work/$set" --toggle-collect='*LoadPicture(*')
    awk -v s="$set" -v l="$library" -v k="$kelvo" -v r="$reading" \
      'BEGIN { printf "%-14s %14d %14d %7.2f %12d %7.2f\n", s, l, k, k / l, r, r / l }'
  done
else
  echo "cores: $(nproc), best of $rounds rounds, per picture:"
  "$bin/kelvo_formats_bench" "$rounds" "${sets[@]/#/$work/}"
fi

mkdir -p "$work/Layouts/Bench"
cat >"$work/Layouts/Bench/index.html" <<'HTML'
<table><tr><td><img src="#kel_picture_filename def_cols=5 def_rows=4 def_width=140 def_height=140 def_quality=80#"></td></tr></table>
HTML
cat >"$work/Layouts/Bench/large.html" <<'HTML'
<img src="#kel_picture_filename def_width=640 def_height=480 def_quality=80#">
HTML
"$bin/kelvo-cli" new "$work/large.kel" --force "$work/large" >/dev/null
/usr/bin/time -f '%M' -o "$work/peak" "$bin/kelvo-cli" generate "$work/large.kel" \
  --layouts "$work/Layouts" -o "$work/out" -q --jobs 1
awk '{ printf "20-megapixel PNG, one job: peak %.1f MB\n", $1 / 1024 }' "$work/peak"
