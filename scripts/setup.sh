#!/usr/bin/env bash
# Installs what Kelvo needs to build, test and run on Debian 12, and nothing that is
# already there. Safe to run again; the README's two commands call it every time.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config
  # core libraries
  libjpeg62-turbo-dev libpng-dev liblcms2-dev libpugixml-dev libexif-dev libcli11-dev
  libxxhash-dev
  libwebp-dev libheif-dev libtiff-dev
  # desktop program, its translations, help viewer, widget tests
  qt6-base-dev qt6-webengine-dev qt6-l10n-tools qt6-translations-l10n qt6-svg-dev libchm-dev
  fonts-comic-neue
  # installation: man pages, desktop integration checks, the .deb package
  help2man desktop-file-utils appstream shared-mime-info dpkg-dev file
  # fuzzing
  clang-14 libclang-rt-14-dev
  # tests and benchmarks
  libgtest-dev libbenchmark-dev libjpeg-turbo-progs imagemagick time valgrind
  # compiled help and headless runs
  libchm-bin fp-utils xvfb xauth
  # end-to-end checks of generated galleries
  chromium fonts-dejavu-core nodejs
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
# npm ships inside some Node.js builds; only ask Debian for it when it is absent.
command -v npm >/dev/null 2>&1 || missing+=(npm)

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}" >&2
  sudo=()
  ((EUID == 0)) || sudo=(sudo)
  # apt-get update does not wait for the lock; retry while another apt runs.
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    if "${sudo[@]}" apt-get update -q; then break; fi
    ((attempt < 10)) || exit 1
    sleep 6
  done
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q \
    -o DPkg::Lock::Timeout=300 --no-install-recommends "${missing[@]}"
fi

# playwright-core drives Debian's chromium; it never downloads a browser.
top=$(cd "$(dirname "$0")/.." && pwd)
if [[ -f "$top/tests/e2e/package.json" && ! -d "$top/tests/e2e/node_modules/playwright-core" ]]; then
  (cd "$top/tests/e2e" && npm ci --no-audit --no-fund --loglevel=error)
fi
