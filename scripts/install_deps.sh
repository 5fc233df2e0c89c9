#!/usr/bin/env bash
# Installs everything both builds and all tests need, with apt-get.
# Idempotent: when every package is present it does nothing and exits 0.
set -euo pipefail

PACKAGES=(
  build-essential cmake make
  g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  googletest
  wine wine32:i386 wine64 libwine:i386
  xvfb xauth x11-apps imagemagick
  clang-14 libclang-rt-14-dev llvm-14
  ncompress gzip tar python3
  python3-matplotlib valgrind
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  NEED_UPDATE=1
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "deps: all ${#PACKAGES[@]} packages present"
  exit 0
fi

echo "deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "deps: done"
