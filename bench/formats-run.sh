#!/usr/bin/env bash
# Each picture format Kelvo reads: a gallery run's time per picture against the format
# library's own decode of the same files (kelvo_formats_bench), what a colour profile adds to
# a JPEG's run, and the peak memory of one job on a 20-megapixel PNG.
#
# Two sets of pictures, each converted by ImageMagick into PNG, WebP, HEIC, AVIF and TIFF
# (LZW), and once more as JPEGs carrying a wide-gamut profile (the Adobe-like one of the fuzz
# seeds):
#   photos  four camera-size photos of 10 to 16 megapixels (bench/bench-photos.sh), as phones
#           and cameras make them: the set the targets are about;
#   web     the repository's sample photos of 1 to 1.7 megapixels, where resampling and saving
#           the two gallery pictures cost more than decoding.
# The large PNG is the first sample photo enlarged to 5472 x 3648.
# On a busy machine the times scatter; --callgrind counts instructions instead (one round under
# valgrind, several minutes), and adds Kelvo's read alone (each file into a full upright
# bitmap, no resampling or saving) against the same library decode. Instructions miss what
# the kernel spends on page faults, which a whole-picture decode has many of.
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
photos=$("$top/bench/bench-photos.sh")/baseline
# Converts every picture given into each format, under $work/<set>/<format>.
convert_set() {
  local set=$1
  shift
  mkdir -p "$work/$set"/{jpeg,jpeg-profile,png,webp,heic,avif,tiff}
  for f in "$@"; do
    local name
    name=$(basename "${f%.jpg}" | tr ' ' _)
    $convert "$f" -quality 92 "$work/$set/jpeg/$name.jpg"
    $convert "$f" -quality 92 -profile "$profile" "$work/$set/jpeg-profile/$name.jpg"
    $convert "$f" "$work/$set/png/$name.png"
    $convert "$f" -quality 90 "$work/$set/webp/$name.webp"
    $convert "$f" -quality 60 "$work/$set/heic/$name.heic"
    $convert "$f" -quality 60 "$work/$set/avif/$name.avif"
    $convert "$f" -compress LZW "$work/$set/tiff/$name.tif"
  done
}
convert_set photos "$photos"/{Bridge_by_Sander_Klootwijk,Dragonfly_by_Bolly,seeding_by_Clements_Engelhardt,sunset_by_Aitzol_Berasategi}.jpg
convert_set web "$top"/Pictures/*.jpg
mkdir -p "$work/large"
first=$(ls "$top"/Pictures/*.jpg | head -1)
$convert "$first" -resize '5472x3648!' "$work/large/large.png"

formats=(jpeg jpeg-profile png webp heic avif tiff)
for set in photos web; do
  echo "$set:"
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
    for format in "${formats[@]}"; do
      case $format in
        jpeg*) decode=DecodeJpeg ;; png) decode=DecodePng ;; webp) decode=DecodeWebp ;;
        heic | avif) decode=DecodeHeif ;; tiff) decode=DecodeTiff ;;
      esac
      dir=$work/$set/$format
      library=$(instructions "$dir" --toggle-collect="*$decode*")
      kelvo=$(instructions "$dir" --toggle-collect='*LoadPictureResampled*' \
        --toggle-collect='*SaveJpegFile*')
      reading=$(instructions --read "$dir" --toggle-collect='*LoadPicture(*')
      awk -v s="$format" -v l="$library" -v k="$kelvo" -v r="$reading" \
        'BEGIN { printf "%-14s %14d %14d %7.2f %12d %7.2f\n", s, l, k, k / l, r, r / l }'
    done
  else
    echo "cores: $(nproc), best of $rounds rounds, per picture:"
    "$bin/kelvo_formats_bench" "$rounds" "${formats[@]/#/$work/$set/}"
  fi
done

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
