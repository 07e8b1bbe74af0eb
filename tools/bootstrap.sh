#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# Idempotent and quick when everything is there already. With --fuzz also
# clang and its libFuzzer runtime (only `make fuzz` needs them).
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  qt6-base-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  libexpat1-dev
  fonts-dejavu-core
  libgdal-dev libproj-dev proj-data
  clang-format
)

if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "bootstrap: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
