#!/usr/bin/env bash
# Records what the memory and processor monitors read from this machine, twice and one second apart, into
# tests/fixtures/system/sample0 and sample1 (or under the directory given as the first argument), each a
# tree that a FileTreeTextSource can root at. Beside each tree it saves what the reference tools printed at
# the same moment, for tests that check the readers against them:
#   ps-before.txt, ps.txt   `ps -eo pid=,ppid=,stat=,rss=,comm=` just before and just after the copy
#   free.txt                `free -b`
#   vmstat.txt              `vmstat -s` (counts in KiB)
#   constants.txt           page size, clock ticks per second and machine name of this machine
# Run it as root to record every process (others' /proc files may be unreadable otherwise).
set -euo pipefail

root="${1:-$(cd "$(dirname "$0")/.." && pwd)/tests/fixtures/system}"

record_sample() {
  local destination="$1"
  rm -rf "$destination"
  mkdir -p "$destination"
  # Memory moves all the time: the references read it right after the copy.
  cp --parents /proc/meminfo "$destination"
  free -b > "$destination/free.txt"
  vmstat -s > "$destination/vmstat.txt"
  ps -eo pid=,ppid=,stat=,rss=,comm= > "$destination/ps-before.txt"
  # One cp per group keeps the copy short, and the shell expands the globs before cp starts, so the copy
  # never lists the copying process itself. Processes that end meanwhile make cp complain: ignore them.
  cp --parents /proc/stat /proc/cpuinfo /sys/devices/system/cpu/online "$destination"
  cp --parents /proc/[0-9]*/stat /proc/[0-9]*/statm "$destination" 2>/dev/null || true
  ps -eo pid=,ppid=,stat=,rss=,comm= > "$destination/ps.txt"
  local optional
  for optional in /sys/devices/system/cpu/cpu[0-9]*/cpufreq/cpuinfo_max_freq \
                  /sys/devices/system/cpu/cpu[0-9]*/of_node/compatible /sys/block/zram*/mm_stat; do
    if [ -r "$optional" ]; then cp --parents "$optional" "$destination"; fi
  done
  printf 'pageSize %s\nclockTicksPerSecond %s\nmachine %s\n' \
    "$(getconf PAGESIZE)" "$(getconf CLK_TCK)" "$(uname -m)" > "$destination/constants.txt"
}

record_sample "$root/sample0"
sleep 1
record_sample "$root/sample1"
echo "recorded $(ls -d "$root"/sample0/proc/[0-9]* | wc -l) and $(ls -d "$root"/sample1/proc/[0-9]* | wc -l)" \
  "processes into $root"
