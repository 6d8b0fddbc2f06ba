#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds the consumer program against it twice, as a program
# outside this tree would: with find_package(Velmora) and with pkg-config. Each build must run, print a
# processor total and link no drawing library. Then configures the tree as a subdirectory of another project.
# Usage: consumer-test.sh <build dir> <consumer source dir> <CMake generator> <source dir of the tree>
set -euo pipefail
build=$1 source=$2 generator=$3 tree=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

# Prints the program's output; fails unless it printed a processor total and links no drawing library.
check() {
  local program=$1 output
  output=$("${@:2}" "$program") || fail "$program exited with $?"
  echo "$output"
  grep -Eq '^processor total: [0-9]+([.,][0-9]+)? ?%' <<<"$output" || fail "$program printed no processor total"
  if readelf -d "$program" | grep -Ei 'NEEDED.*(cairo|pango|rsvg)'; then
    fail "$program links a drawing library"
  fi
}

# find_package, with the program in the prefix's bin/, where it finds share/velmora beside it.
cmake -S "$source" -B "$work/cmake-build" -G "$generator" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_RUNTIME_OUTPUT_DIRECTORY="$prefix/bin" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
check "$prefix/bin/monitor" env

# pkg-config, with the program outside any bin/ and the resources named by VELMORA_RESOURCE_DIR.
pc_file=$(find "$prefix" -name velmora.pc)
[ -n "$pc_file" ] || fail "no velmora.pc installed"
mkdir -p "$work/elsewhere"
# shellcheck disable=SC2046
"${CXX:-c++}" -std=c++20 -O1 "$source/monitor.cpp" -o "$work/elsewhere/monitor" \
  $(PKG_CONFIG_PATH=$(dirname "$pc_file") pkg-config --cflags --libs velmora)
check "$work/elsewhere/monitor" env VELMORA_RESOURCE_DIR="$prefix/share/velmora"

# Without it, the missing bundle stops the program with the places looked in.
if message=$("$work/elsewhere/monitor" 2>&1); then fail "ran without its resources"; fi
grep -q "unable to find bundle named .* (looked in $work/share/velmora, " <<<"$message" \
  || fail "the missing bundle's message names no places: $message"

# The tree as a subdirectory (configured only): its targets are there, and the parent's BUILD_TESTING is
# left alone.
mkdir -p "$work/parent"
cat >"$work/parent/CMakeLists.txt" <<END
cmake_minimum_required(VERSION 3.25)
project(VelmoraParent LANGUAGES C CXX)
add_subdirectory("$tree" velmora)
include(CTest)
add_executable(monitor "$source/monitor.cpp")
target_link_libraries(monitor PRIVATE Velmora::Orvane)
END
cmake -S "$work/parent" -B "$work/parent-build" -G "$generator" >/dev/null || fail "no subdirectory build"
grep -q '^BUILD_TESTING:BOOL=ON$' "$work/parent-build/CMakeCache.txt" || fail "the parent's BUILD_TESTING is off"
echo "consumer: both builds ran and link no drawing library; the tree configures as a subdirectory"
