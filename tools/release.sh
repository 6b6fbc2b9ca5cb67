#!/usr/bin/env bash
# Builds what a pharmacy installs, into build/release/dist (NAVEKO_BUILD moves build/):
#   Project2.exe                      optimised, stripped and statically linked, with
#                                     its icon, version resource and manifest;
#   NAVEKO-PriceUpdate-VERSION.msi    the Windows Installer package (installer/*.wxs,
#                                     made with wixl), VERSION from app/version.h.
# With NAVEKO_SIGN_PFX (a PKCS#12 file) and NAVEKO_SIGN_PASS (its password) set,
# both are signed with osslsigncode (Authenticode, SHA-256), the program file
# before it is packaged; neither ever reaches the repository or the build's
# output. The build can be repeated to the byte: no time stamp but
# SOURCE_DATE_EPOCH (the commit's time unless given), no build path inside.
# NAVEKO_VERSION gives another version than app/version.h's (the upgrade tests).
set -euo pipefail
# shellcheck source=tools/lib.sh
. "$(dirname "$0")/lib.sh"
"$root/tools/setup.sh"

version=${NAVEKO_VERSION:-$(sed -n 's/^#define NAVEKO_VERSION_TEXT "\(.*\)"/\1/p' "$root/app/version.h")}
[ -n "$version" ] || { echo "release: no NAVEKO_VERSION_TEXT in app/version.h" >&2; exit 1; }
# Windows Installer compares only the first three fields of a version ("the
# installer ignores the fourth field"): a.b.c.1 would install beside a.b.c.0
# instead of replacing it. A release is numbered a.b.c.0.
case "$version" in
  [0-9]*.[0-9]*.[0-9]*.0) ;;
  *) echo "release: version $version refused: its fourth field must be 0 (Windows Installer ignores it);" \
          "number a release a.b.c.0 and raise a, b or c" >&2
     exit 1 ;;
esac
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || stat -c %Y "$root/app/version.h")
fi
export SOURCE_DATE_EPOCH

out="$build/release"
cmake -S "$root" -B "$out" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DNAVEKO_VERSION="${NAVEKO_VERSION:-}" >/dev/null
cmake --build "$out" -j"$(nproc)" --target Project2
dist="$out/dist" stage="$out/stage"
rm -rf "$dist" "$stage"
mkdir -p "$dist" "$stage"
# strip puts SOURCE_DATE_EPOCH in the PE header's time stamp.
x86_64-w64-mingw32-strip --strip-all -o "$stage/Project2.exe" "$out/app/Project2.exe"

signing=0
if [ -n "${NAVEKO_SIGN_PFX:-}" ]; then
  [ -f "$NAVEKO_SIGN_PFX" ] || { echo "release: NAVEKO_SIGN_PFX names no file" >&2; exit 1; }
  signing=1
fi
# sign IN OUT: Authenticode with SHA-256, signing time SOURCE_DATE_EPOCH; the
# password goes through a pipe, never on a command line or into a file.
sign() {
  printf '%s' "${NAVEKO_SIGN_PASS:-}" |
    osslsigncode sign -pkcs12 "$NAVEKO_SIGN_PFX" -readpass /dev/stdin -h sha256 -n "NAVEKO price update" \
      -time "$SOURCE_DATE_EPOCH" -in "$1" -out "$2" >"$stage/sign.log" 2>&1 ||
    { cat "$stage/sign.log" >&2; echo "release: signing $(basename "$2") failed" >&2; exit 1; }
}
if [ $signing = 1 ]; then
  sign "$stage/Project2.exe" "$dist/Project2.exe"
else
  cp "$stage/Project2.exe" "$dist/Project2.exe"
fi

# The package: its codes follow from the version and the program file, its
# files carry SOURCE_DATE_EPOCH, so the same inputs give the same package.
msi="$dist/NAVEKO-PriceUpdate-$version.msi"
cp "$dist/Project2.exe" "$root/app/resources/app.ico" "$root/installer/NAVEKO-PriceUpdate.wxs" "$stage/"
touch -d "@$SOURCE_DATE_EPOCH" "$stage/Project2.exe" "$stage/app.ico"
read -r product package < <(/usr/bin/python3 - "$version" "$stage/Project2.exe" "$stage/NAVEKO-PriceUpdate.wxs" <<'PY'
import hashlib, sys, uuid
upgrade = uuid.UUID("C8D6671A-B6C8-4269-8B3D-53D64AE6EA31")  # the package's upgrade code, never changed
version, exe, wxs = sys.argv[1:]
contents = hashlib.sha256(open(exe, "rb").read() + open(wxs, "rb").read()).hexdigest()
print(uuid.uuid5(upgrade, "product " + version), uuid.uuid5(upgrade, f"package {version} {contents}"))
PY
)
# wixl writes its strings in the code page of WINDOWS_LANGUAGE (Arabic: 1256);
# msi_finish.py then marks the database with it and fixes the package code and dates.
(cd "$stage" && WINDOWS_LANGUAGE=ar wixl -a x64 -D Version="$version" -D ProductCode="$product" \
   -D ExeFile=Project2.exe -D IconFile=app.ico -o package.msi NAVEKO-PriceUpdate.wxs)
WINDOWS_LANGUAGE=ar /usr/bin/python3 "$root/tools/msi_finish.py" "$stage/package.msi" "$package" "$SOURCE_DATE_EPOCH"
if [ $signing = 1 ]; then
  sign "$stage/package.msi" "$msi"
else
  cp "$stage/package.msi" "$msi"
fi
rm -f "$stage/sign.log"

echo "release: $dist/Project2.exe ($(stat -c %s "$dist/Project2.exe") bytes)"
echo "release: $msi ($(stat -c %s "$msi") bytes, version $version)"
echo "release: imports $(x86_64-w64-mingw32-objdump -p "$dist/Project2.exe" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')"
if [ $signing = 0 ]; then
  echo "release: not signed (set NAVEKO_SIGN_PFX and NAVEKO_SIGN_PASS to sign)"
else
  echo "release: signed with $(basename "$NAVEKO_SIGN_PFX") (SHA-256)"
fi
