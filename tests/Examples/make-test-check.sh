#!/usr/bin/env bash
# `make -j test` with the repository's Makefile and stand-ins for the tools it runs: deps takes a second
# and must have ended before cmake or ctest start; the skipped test is listed with its reason; ctest's
# exit status is make's.
#   make-test-check.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts" "$work/tools" "$work/bin"
cp "$source_dir/Makefile" "$work/"
cp "$source_dir/tools/run-ctest.sh" "$work/tools/"
echo 'sleep 1; touch deps-done' >"$work/scripts/install-deps.sh"
cat >"$work/bin/cmake" <<'STUB'
#!/bin/sh
[ -e deps-done ] || { echo "cmake started before deps ended"; exit 1; }
STUB
cat >"$work/bin/ctest" <<'STUB'
#!/bin/sh
[ -e deps-done ] || { echo "ctest started before deps ended"; exit 1; }
mkdir -p build/Testing/Temporary
printf '%s\n' '1/2 Testing: Live.Mounts' 'Output:' '[ RUN      ] Live.Mounts' 'a.cpp:9: Skipped' \
  'needs a mountable "/"' '(as in a chroot)' '[  SKIPPED ] Live.Mounts (0 ms)' '2/2 Testing: Plain.Sum' \
  '[ RUN      ] Plain.Sum' '[       OK ] Plain.Sum (0 ms)' >build/Testing/Temporary/LastTest.log
exit "${CTEST_STATUS:-0}"
STUB
chmod +x "$work/bin/cmake" "$work/bin/ctest"
cd "$work"
for status in 0 8; do
  rm -f deps-done
  result=0
  output=$(PATH="$work/bin:$PATH" CTEST_STATUS=$status make -j 8 --no-print-directory test 2>&1) || result=$?
  echo "$output"
  if grep -q "before deps ended" <<<"$output"; then echo "FAILED: deps did not run first"; exit 1; fi
  if [ "$(grep '^skipped: ' <<<"$output")" != 'skipped: Live.Mounts: needs a mountable "/" (as in a chroot)' ]; then
    echo "FAILED: the skipped test is not listed with its reason alone"; exit 1
  fi
  if { [ "$status" -eq 0 ] && [ "$result" -ne 0 ]; } || { [ "$status" -ne 0 ] && [ "$result" -eq 0 ]; }; then
    echo "FAILED: ctest exited $status, make $result"; exit 1
  fi
done
echo "make test: deps first, skip reasons listed, ctest's status kept"
