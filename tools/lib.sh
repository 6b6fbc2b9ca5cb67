# Shared by the scripts of tools/: the set-up, then the Windows build's configuration.
# Sets: root, build.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${NAVEKO_BUILD:-$root/build}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

configure_win() {  # extra arguments go to CMake
  cmake -S "$root" -B "$build/win" "${generator[@]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw64.cmake" "$@" >/dev/null
}

configure_native() {
  cmake -S "$root" -B "$build/native" "${generator[@]}" >/dev/null
}

configure_fuzz() {
  CC=clang CXX=clang++ cmake -S "$root" -B "$build/fuzz" "${generator[@]}" -DNAVEKO_FUZZ=ON >/dev/null
}
