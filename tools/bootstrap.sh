#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# Idempotent and quick when everything is there already. With --fuzz also
# clang and its libFuzzer runtime (only `make fuzz` needs them).
#
# GDAL: the program needs Debian's GDAL library and its headers, but the
# development package `libgdal-dev` also pulls in the development packages
# of every format driver GDAL was built with (67 packages, 350 MB: HDF5,
# NetCDF, Poppler, Boost, …), the largest part of a fresh machine's install.
# Where `libgdal-dev` is not installed, this installs the library alone and
# unpacks the headers of Debian's `libgdal-dev` of the same version into
# .deps/gdal, where CMakeLists.txt finds them.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  g++ cmake ninja-build make pkg-config
  qt6-base-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  libexpat1-dev
  fonts-dejavu-core
  libproj-dev proj-data
  clang-format
)

if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

gdal_headers=.deps/gdal/usr/include/gdal/gdal.h
need_gdal=0
if ! installed libgdal-dev && [ ! -f "$gdal_headers" ]; then
  need_gdal=1
fi

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ] && [ $need_gdal -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq

if [ $need_gdal -eq 1 ]; then
  # The library the development package of this release depends on (libgdal32 on Debian 12).
  runtime=$(apt-cache show libgdal-dev | sed -n 's/^Depends:.*\(libgdal[0-9][0-9]*\) (=.*/\1/p' | head -1)
  [ -n "$runtime" ] || { echo "bootstrap: no GDAL library package found" >&2; exit 1; }
  installed "$runtime" || missing+=("$runtime")
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ $need_gdal -eq 1 ]; then
  echo "bootstrap: unpacking the headers of libgdal-dev into .deps/gdal"
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  (cd "$scratch" && apt-get download -qq libgdal-dev 2>/dev/null)
  rm -rf .deps/gdal
  mkdir -p .deps/gdal
  dpkg-deb -x "$scratch"/libgdal-dev_*.deb "$scratch/unpacked"
  mkdir -p .deps/gdal/usr/include
  mv "$scratch/unpacked/usr/include/gdal" .deps/gdal/usr/include/gdal
fi
