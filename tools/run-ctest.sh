#!/usr/bin/env bash
# Runs CTest on a build folder, then lists the tests it skipped with the reason each gave, one
# "skipped: <test>: <reason>" a line, and exits with CTest's status.
#   tools/run-ctest.sh BUILD_DIR [CTEST ARGUMENTS...]
# CTest itself says only "Skipped"; GoogleTest writes the reason into the test's output, which CTest keeps
# in Testing/Temporary/LastTest.log: "<file>:<line>: Skipped", the message on the lines after it, then
# "[  SKIPPED ] <test>".
set -uo pipefail
build=${1:?usage: run-ctest.sh BUILD_DIR [CTEST ARGUMENTS...]}
shift
log=$build/Testing/Temporary/LastTest.log
rm -f "$log"  # a run that never starts must not list the skips of the last one
ctest --test-dir "$build" "$@"
status=$?
[ -f "$log" ] && awk '
  /^[0-9]+\/[0-9]+ Testing: / { test = $3; reason = ""; inReason = 0; next }
  test != "" && /: Skipped$/ { inReason = 1; next }
  inReason && /^\[  SKIPPED \] / {
    printf "skipped: %s: %s\n", test, reason == "" ? "(no reason given)" : reason
    test = ""; inReason = 0; next
  }
  inReason { reason = reason == "" ? $0 : reason " " $0 }
' "$log"
exit $status
