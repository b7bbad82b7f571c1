#!/usr/bin/env bash
# Each picture format Kelvo reads: a gallery run's time per picture against the format
# library's own decode of the same files (kelvo_formats_bench), what a colour profile adds to
# a JPEG's run, and the peak memory of one job on a 20-megapixel PNG.
#
# The pictures are the repository's sample photos (Pictures/), converted by ImageMagick into
# PNG, WebP, HEIC, AVIF and TIFF (LZW), and once more as JPEGs carrying a wide-gamut profile
# (the Adobe-like one of the fuzz seeds). The large PNG is the first photo enlarged to
# 5472 x 3648.
#   bench/formats-run.sh [rounds]      (default 3; builds the release preset first)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
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

echo "cores: $(nproc), best of $rounds rounds, per picture:"
"$bin/kelvo_formats_bench" "$rounds" "$work"/{jpeg,jpeg-profile,png,webp,heic,avif,tiff}

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
