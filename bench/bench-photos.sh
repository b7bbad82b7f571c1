#!/usr/bin/env bash
# Fills the benchmarks' photo cache once and prints its folder. Real photographs come from
# Debian's lomiri-wallpapers-16.04 package (15 JPEGs of 1.5 to 16 megapixels, 12 of them
# progressive), fetched with apt-get download into a folder outside the repository:
#   photos    the photos as they are
#   baseline  the same transcoded losslessly to baseline with jpegtran, which is what cameras write
#   large     one 20-megapixel baseline photo (the largest one enlarged)
set -euo pipefail
cache=${XDG_CACHE_HOME:-$HOME/.cache}/kelvo-bench
for tool in jpegtran cjpeg /usr/bin/convert; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup.sh" >&2; exit 1; }
done
if [[ ! -d $cache/large ]]; then
  rm -rf "$cache/extract" "$cache/photos" "$cache/baseline"
  mkdir -p "$cache/download"
  (cd "$cache/download" && apt-get download lomiri-wallpapers-16.04 >/dev/null 2>&1)
  dpkg-deb -x "$cache"/download/lomiri-wallpapers-16.04_*.deb "$cache/extract"
  mkdir -p "$cache/photos" "$cache/baseline" "$cache/large"
  for f in "$cache"/extract/usr/share/backgrounds/*.jpg; do
    cp "$f" "$cache/photos/"
    jpegtran -copy all -outfile "$cache/baseline/$(basename "$f")" "$f"
  done
  biggest=$(ls -S "$cache"/photos/*.jpg | head -1)
  /usr/bin/convert "$biggest" -resize '5472x3648!' ppm:- |
    cjpeg -quality 92 -outfile "$cache/large/large.jpg"
fi
echo "$cache"
