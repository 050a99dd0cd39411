#!/usr/bin/env bash
# Installs what building and testing Tarnwick needs on Debian 12: the native
# compiler and GoogleTest, clang with its sanitizer and fuzzer runtime, the
# 32-bit MinGW-w64 cross compilers, 32-bit Wine and a headless X server with
# the tools the Wine tests use; Python for the benchmark and README.TXT;
# NSIS for the installer; RapidCheck for the any-order tests; the Japanese
# locale the code-page suite runs Wine in; the sources of the runtime pieces the build makes
# again for the Pentium (cmake/i586_runtime.cmake): GCC's come as a package,
# mingw-w64's as Debian's source package, kept in /usr/src/mingw-w64.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  cmake make g++
  libgtest-dev libgmock-dev googletest libbenchmark-dev librapidcheck-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32
  wine wine32:i386 wine64
  xvfb xdotool imagemagick x11-utils fonts-liberation
  python3
  nsis
  locales
  gcc-12-source
)
# Another apt run (another checkout's) may hold the lock: wait for it.
apt_get=(apt-get -o DPkg::Lock::Timeout=600)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$p")
done

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

# The start-up code's sources, of the version the installed crt2.o was built from.
mingw_source_dir=/usr/src/mingw-w64
mingw_version=$(dpkg-query -W -f='${source:Version}' mingw-w64-i686-dev 2>/dev/null || true)
mingw_upstream=${mingw_version%-*}
need_mingw_source=1
[[ -n $mingw_version ]] && compgen -G "$mingw_source_dir/mingw-w64_${mingw_upstream}.orig.tar.*" >/dev/null &&
  need_mingw_source=0

# Wine takes its ANSI code page from the Unix locale: ja_JP.UTF-8 gives 932.
need_locale=1
locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && need_locale=0

if ((${#missing[@]} == 0 && need_i386 == 0 && need_mingw_source == 0 && need_locale == 0)); then
  exit 0
fi

if ((EUID == 0)); then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "install-prereqs: missing packages (${missing[*]}) or sources, and no root rights to install them" >&2
  exit 1
fi

if ((${#missing[@]} > 0 || need_i386)); then
  echo "install-prereqs: installing ${missing[*]}"
  if ((need_i386)); then
    "${as_root[@]}" dpkg --add-architecture i386
  fi
  "${as_root[@]}" "${apt_get[@]}" update -q
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive "${apt_get[@]}" install -y -q "${missing[@]}"
  mingw_version=$(dpkg-query -W -f='${source:Version}' mingw-w64-i686-dev)
  mingw_upstream=${mingw_version%-*}
fi

if ((need_mingw_source)); then
  # Source packages come from deb-src entries: the same registries and
  # suites as the deb entries.
  src_list=/etc/apt/sources.list.d/deb-src.sources
  if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "install-prereqs: adding deb-src entries ($src_list)"
    if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        "${as_root[@]}" tee "$src_list" >/dev/null
    else
      src_list=/etc/apt/sources.list.d/deb-src.list
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | "${as_root[@]}" tee "$src_list" >/dev/null
    fi
  fi
  echo "install-prereqs: mingw-w64 $mingw_version sources into $mingw_source_dir"
  "${as_root[@]}" "${apt_get[@]}" update -q
  "${as_root[@]}" mkdir -p "$mingw_source_dir"
  (cd "$mingw_source_dir" &&
    "${as_root[@]}" "${apt_get[@]}" source -q --download-only "mingw-w64=$mingw_version")
fi

if ((need_locale)); then
  echo "install-prereqs: generating the ja_JP.UTF-8 locale"
  "${as_root[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
