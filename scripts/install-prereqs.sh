#!/usr/bin/env bash
# Installs what building and testing Tarnwick needs on Debian 12: the native
# compiler and GoogleTest, clang with its sanitizer and fuzzer runtime, the
# 32-bit MinGW-w64 cross compilers, 32-bit Wine and a headless X server with
# the tools the Wine tests use; Python for the benchmark and README.TXT;
# NSIS for the installer.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  cmake make g++
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32
  wine wine32:i386 wine64
  xvfb xdotool imagemagick x11-utils fonts-liberation
  python3
  nsis
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$p")
done

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

if ((${#missing[@]} == 0 && need_i386 == 0)); then
  exit 0
fi

if ((EUID == 0)); then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "install-prereqs: missing packages (${missing[*]}) and no root rights to install them" >&2
  exit 1
fi

echo "install-prereqs: installing ${missing[*]}"
if ((need_i386)); then
  "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
