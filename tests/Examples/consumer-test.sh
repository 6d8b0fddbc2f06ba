#!/usr/bin/env bash
# Builds the README's "Using the library" snippets exactly as written, each of the three ways it shows, as a
# project of its own would: against the build installed into a temporary prefix (not the one the build was
# configured for) with find_package(Velmora) and with pkg-config, both where pkg-config finds no cairo,
# pango or librsvg, and with the tree as a CMake subdirectory. Each program runs from "/" with no
# VELMORA_RESOURCE_DIR and no resource directory beside it, so its texts come from the tables compiled into
# the libraries; it must print each of its lines and link no drawing library. A program of the controls
# library, asking for it as a component, fails to configure with the reason where the drawing libraries are
# missing, and where they are there gets the library's bundle from the compiled-in tables. A plain
# configure of the tree must need neither GoogleTest nor Google Benchmark.
# Usage: consumer-test.sh <build dir> <README> <CMake generator> <source dir of the tree>
set -euo pipefail
build=$1 readme=$2 generator=$3 tree=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Runs a command quietly; on failure shows what it printed (a compiler's errors) and fails.
run() {
  local status=0
  "$@" >"$work/log" 2>&1 || status=$?
  [ "$status" = 0 ] || {
    cat "$work/log" >&2
    fail "$* exited with $status"
  }
}

# Runs the program from "/" without VELMORA_RESOURCE_DIR and prints its output; fails unless it printed each
# of its lines and links no drawing library.
check() {
  local program=$1 output line
  output=$(cd / && env -u VELMORA_RESOURCE_DIR "$program" 2>&1) || fail "$program exited with $?: $output"
  echo "$output"
  # The network and disk rates stay empty where no adapter or startup volume is seen.
  for line in '^processor total: [0-9]+([.,][0-9]+)? ?%' '^memory used: [0-9]+([.,][0-9]+)? ?[A-Za-z]+$' \
    '^network: down .*, up ' '^disk: read .*, write '; do
    grep -Eq "$line" <<<"$output" || fail "$program printed no line like $line"
  done
  if readelf -d "$program" | grep -Ei 'NEEDED.*(cairo|pango|rsvg)'; then
    fail "$program links a drawing library"
  fi
}

# The fenced blocks of the section, one file each: block-<n>.<info string>.
awk -v dir="$work" '
  /^## / { inside = ($0 == "## Using the library") }
  inside && /^```/ {
    if (file) { close(file); file = "" } else { file = sprintf("%s/block-%d.%s", dir, ++n, substr($0, 4)); printf "" >file }
    next
  }
  file { print >file }
' "$readme"

# The one block of the kind ($1: cpp, cmake, sh) that holds the text $2.
block() {
  local found
  found=$(grep -lF -- "$2" "$work"/block-*."$1" 2>/dev/null || true)
  [ "$(wc -w <<<"$found")" = 1 ] || fail "the README holds not one $1 block with $2"
  echo "$found"
}
program=$(block cpp 'int main(')
package_lists=$(block cmake 'find_package(Velmora')
pkg_config_command=$(block sh 'pkg-config')
subdirectory_lists=$(block cmake 'add_subdirectory(velmora')

# A project folder holding the program and, when given, its CMakeLists.txt.
project() {
  mkdir -p "$1"
  cp "$program" "$1/monitor.cpp"
  [ -z "${2:-}" ] || cp "$2" "$1/CMakeLists.txt"
}

# The prefix the build was configured to install to must hold no resources, or the programs could find them
# there: with the library installed there, the test skips (exit 77), naming the reason as GoogleTest does.
configured=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
if [ -e "$configured/share/velmora" ]; then
  printf '%s: Skipped\n%s\n[  SKIPPED ] consumer\n' "$0" \
    "$configured/share/velmora exists (the library is installed there), so the programs would find its tables"
  exit 77
fi
run cmake --install "$build" --prefix "$prefix"

# A pkg-config folder as on a machine without the development files of the drawing libraries: the first
# .pc file of each name on pkg-config's own path, but cairo*, pango* and librsvg*.
mkdir "$work/no-drawing"
shopt -s nullglob
IFS=: read -ra pc_path <<<"$(pkg-config --variable pc_path pkg-config)"
for pc in $(printf '%s/*.pc ' "${pc_path[@]}"); do
  case ${pc##*/} in cairo* | pango* | librsvg*) ;; *) ln -s "$pc" "$work/no-drawing/" 2>/dev/null || true ;; esac
done
no_drawing=(env PKG_CONFIG_LIBDIR="$work/no-drawing")
if "${no_drawing[@]}" pkg-config --exists cairo; then fail "pkg-config finds cairo in $work/no-drawing"; fi

# find_package, with PREFIX read as the prefix.
project "$work/package" "$package_lists"
run "${no_drawing[@]}" cmake -S "$work/package" -B "$work/package/build" -G "$generator" \
  -DCMAKE_PREFIX_PATH="$prefix"
run cmake --build "$work/package/build"
check "$work/package/build/monitor"

# pkg-config, likewise.
project "$work/elsewhere"
sed "s|PREFIX|$prefix|g" "$pkg_config_command" >"$work/pkg-config-build"
(cd "$work/elsewhere" && run "${no_drawing[@]}" bash "$work/pkg-config-build")
check "$work/elsewhere/monitor"

# The tree as a subdirectory. The tree leaves the parent's BUILD_TESTING alone (a cached value would decide
# the parent's own tests).
project "$work/parent" "$subdirectory_lists"
ln -s "$tree" "$work/parent/velmora"
run cmake -S "$work/parent" -B "$work/parent/build" -G "$generator"
run cmake --build "$work/parent/build"
check "$work/parent/build/monitor"
if grep '^BUILD_TESTING:' "$work/parent/build/CMakeCache.txt"; then fail "the tree cached BUILD_TESTING"; fi

# A program of the controls library, which asks for it as a component; it says where its bundle came from.
mkdir "$work/controls"
cat >"$work/controls/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(controls LANGUAGES CXX)
find_package(Velmora REQUIRED COMPONENTS Tavrix)
add_executable(controls controls.cpp)
target_link_libraries(controls PRIVATE Velmora::Tavrix)
EOF
cat >"$work/controls/controls.cpp" <<'EOF'
#include <cstdio>
#include "Tavrix/Controls/ModuleBundle.hpp"
int main() { std::puts(Tavrix::Bundle::module()->bundlePath().empty() ? "compiled in" : "on disk"); }
EOF
# Without the drawing libraries the configure stops, naming the component and what it needs.
! "${no_drawing[@]}" cmake -S "$work/controls" -B "$work/controls/without-drawing" -G "$generator" \
  -DCMAKE_PREFIX_PATH="$prefix" >"$work/log" 2>&1 || fail "the controls configured without drawing libraries"
tr -s ' \n' ' ' <"$work/log" | grep -q "components Tavrix draw through cairo, pango and librsvg" ||
  fail "the failed configure of the controls gave no reason: $(cat "$work/log")"
# With them, the program runs from "/" with no bundle on disk, on the compiled-in tables.
run cmake -S "$work/controls" -B "$work/controls/build" -G "$generator" -DCMAKE_PREFIX_PATH="$prefix"
run cmake --build "$work/controls/build"
output=$(cd / && env -u VELMORA_RESOURCE_DIR "$work/controls/build/controls" 2>&1) ||
  fail "the controls program exited with $?: $output"
[ "$output" = "compiled in" ] || fail "the controls program found its bundle $output"

# A plain configure of the tree looks for neither GoogleTest nor Google Benchmark (a required package that
# is disabled stops the configure).
run cmake -S "$tree" -B "$work/plain" -G "$generator" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
echo "consumer: the README's program builds three ways, two without the drawing libraries, and runs on the" \
  "compiled-in texts; the controls component needs those libraries and runs on the compiled-in tables"
