#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the program:
# Debian packages, and the libraries that Debian does not ship for MinGW, built
# from Debian's source packages into a cache prefix that later runs reuse.
# Idempotent; quiet when everything is already there.
set -euo pipefail

CACHE=${NAVEKO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/naveko}
PREFIX="$CACHE/mingw64"
LOG="$CACHE/setup.log"
mkdir -p "$CACHE"

fail() { echo "setup: $*" >&2; echo "setup: see $LOG" >&2; exit 1; }

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  cmake make ninja-build pkg-config git python3
  g++ clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev nasm
  wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick locales
  googletest libgtest-dev
  libjpeg62-turbo-dev libzip-dev libexpat1-dev zlib1g-dev
  python3-openpyxl python3-pefile python3-psycopg2
  wixl msitools gir1.2-libmsi-1.0 python3-gi osslsigncode openssl
  libpixman-1-dev
  unixodbc unixodbc-dev libsqliteodbc odbc-postgresql postgresql sqlite3
  dpkg-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -q >>"$LOG" 2>&1 || fail "apt-get update failed"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" >>"$LOG" 2>&1 \
    || fail "apt-get install of ${missing[*]} failed"
fi

# Locales the tests run the program under (Arabic code page 1256, a comma-decimal
# one, and English: code page 1252 for non-Unicode programs).
if ! locale -a 2>/dev/null | grep -qi '^ar_SA.utf8$' || ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$' ||
   ! locale -a 2>/dev/null | grep -qi '^en_US.utf8$'; then
  echo "setup: generating locales ar_SA.UTF-8 de_DE.UTF-8 en_US.UTF-8"
  $SUDO sed -i -e 's/^# *\(ar_SA.UTF-8\)/\1/' -e 's/^# *\(de_DE.UTF-8\)/\1/' -e 's/^# *\(en_US.UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ar_SA.UTF-8' /etc/locale.gen || echo 'ar_SA.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  grep -q '^de_DE.UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  grep -q '^en_US.UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >>"$LOG" 2>&1 || fail "locale-gen failed"
fi

# Debian source packages need deb-src lines.
ensure_deb_src() {
  if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "setup: adding deb-src entries"
    $SUDO tee /etc/apt/sources.list.d/naveko-deb-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    $SUDO apt-get update -q >>"$LOG" 2>&1 || fail "apt-get update (deb-src) failed"
  fi
}

TOOLCHAIN="$(cd "$(dirname "$0")/.." && pwd)/cmake/mingw64.cmake"

# build_cmake_source FOR NAME STAMP CMAKE_ARGS...: fetch Debian's source of NAME
# and install it with CMake, once, either for MinGW into $PREFIX (FOR=mingw) or
# natively with clang, AddressSanitizer and libFuzzer's coverage
# instrumentation into $FUZZ_PREFIX (FOR=fuzz), for the fuzz targets, so that
# the fuzzer sees the branches of the libraries they parse with too.
# SOURCE_SUBDIR names the folder of the top CMakeLists.txt when it is not the
# package's root.
FUZZ_PREFIX="$CACHE/fuzz-native"
FUZZ_FLAGS="-g -O1 -fno-omit-frame-pointer -fsanitize=address,fuzzer-no-link"
build_cmake_source() {
  local for=$1 name=$2 stamp=$3; shift 3
  local prefix=$PREFIX what="for MinGW"
  local target=(-DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN")
  if [ "$for" = fuzz ]; then
    prefix=$FUZZ_PREFIX what="instrumented for the fuzz targets"
    target=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_FLAGS="$FUZZ_FLAGS"
            -DCMAKE_CXX_FLAGS="$FUZZ_FLAGS" -DCMAKE_POSITION_INDEPENDENT_CODE=ON)
  fi
  [ -f "$prefix/.stamp-$stamp" ] && return 0
  ensure_deb_src
  echo "setup: building $name $what into $prefix"
  local work="$CACHE/src-$name-$for"
  rm -rf "$work"; mkdir -p "$work"
  (cd "$work" && apt-get source -q "$name" >>"$LOG" 2>&1) || fail "apt-get source $name failed"
  local dir; dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n1)
  cmake -S "$dir/${SOURCE_SUBDIR:-.}" -B "$work/build" "${target[@]}" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >>"$LOG" 2>&1 || fail "configuring $name failed"
  cmake --build "$work/build" -j"$(nproc)" >>"$LOG" 2>&1 || fail "building $name failed"
  cmake --install "$work/build" >>"$LOG" 2>&1 || fail "installing $name failed"
  rm -rf "$work"
  touch "$prefix/.stamp-$stamp"
}

JPEG_ARGS=(-DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF)
# The workbook reader: expat (streaming XML; no DTD support, the reader refuses
# document type declarations anyway) and libzip over zlib.
EXPAT_ARGS=(-DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF
            -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF -DEXPAT_DTD=OFF)
ZIP_ARGS=(-DBUILD_SHARED_LIBS=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
          -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF
          -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=OFF)
for for in mingw fuzz; do
  build_cmake_source "$for" libjpeg-turbo libjpeg-turbo "${JPEG_ARGS[@]}"
  SOURCE_SUBDIR=expat build_cmake_source "$for" expat expat "${EXPAT_ARGS[@]}"
  build_cmake_source "$for" libzip libzip "${ZIP_ARGS[@]}"
done

[ -n "${NAVEKO_SETUP_VERBOSE:-}" ] && echo "setup: all present ($PREFIX, $FUZZ_PREFIX)"
exit 0
