#!/usr/bin/env bash
# Checks a checkout as a newcomer's machine sees it: a minimal Debian 12 root (debootstrap minbase with
# build-essential, git, ca-certificates and sudo, made on first use), a fresh clone in it, everything run as
# root, as CI runs it.
#   mounted  "/" is a mount point (the root bind-mounted onto itself): make run, make test, then
#            CI=true bash .ci/run.
#   chroot   a plain chroot, where "/" is no mount point: make test; every test passes or skips with its
#            reason.
# Each mode runs in a private mount and PID namespace with /proc, /sys, /dev (with /dev/pts) and fresh
# tmpfs on /tmp, /run and /dev/shm, so no mount and no process outlives it and nothing reaches the host's
# folders. After each step it lists what the step left in /tmp. The root gets the /etc/hosts that the
# Debian installer writes, and keeps what `make deps` installed in it between runs: remove the root to
# start from nothing.
#
# Usage: tools/minimal-debian-check.sh [--root DIR] [--mode mounted|chroot|both] [--reuse] [CHECKOUT]
#   CHECKOUT  a git checkout whose HEAD is cloned (default: this one); uncommitted changes are not seen
#   --root    the Debian root (default /work/debroot); its logs go to DIR.logs/
#   --reuse   fetch HEAD into the clone of an earlier run and keep its build folder instead of cloning anew
# Needs root on a Debian host (installs debootstrap when it is missing). Exits non-zero when a step failed
# or a run left something in /tmp.
set -euo pipefail

root=/work/debroot
mode=both
reuse=false
checkout=$(cd "$(dirname "$0")/.." && pwd)
while [ $# -gt 0 ]; do
  case "$1" in
    --root) root=$2; shift 2 ;;
    --mode) mode=$2; shift 2 ;;
    --reuse) reuse=true; shift ;;
    -h | --help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) checkout=$1; shift ;;
  esac
done
case "$mode" in mounted | chroot) modes=("$mode") ;; both) modes=(mounted chroot) ;;
  *) echo "--mode takes mounted, chroot or both" >&2; exit 2 ;; esac
[ "$(id -u)" -eq 0 ] || { echo "run this as root" >&2; exit 2; }
root=$(realpath -m "$root")
logs=$root.logs
clone=/root/velmora
mkdir -p "$logs"

# The Debian mirror that apt uses on this machine.
apt_mirror() {
  # Some of these files do not exist on a given machine: grep's complaint about them is no failure.
  { grep -hoE 'https?://[^[:space:]]+/debian/?([[:space:]]|$)' /etc/apt/sources.list \
    /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null || true; } |
    head -n 1 | tr -d '[:space:]'
}

if [ ! -x "$root/usr/bin/make" ]; then
  command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap
  mirror=$(apt_mirror)
  echo "== making a minimal Debian 12 root in $root from ${mirror:=http://deb.debian.org/debian}"
  debootstrap --variant=minbase --include=build-essential,git,ca-certificates,sudo bookworm "$root" \
    "$mirror" >"$logs/debootstrap.log" 2>&1 || { tail "$logs/debootstrap.log"; exit 1; }
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"  # name resolution for apt-get inside
# The Debian installer writes /etc/hosts on every system it installs; debootstrap does not, and without it
# "localhost" would be asked of the DNS server.
if [ ! -e "$root/etc/hosts" ]; then
  printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost ip6-localhost ip6-loopback\n' >"$root/etc/hosts"
fi

if $reuse && [ -d "$root$clone/.git" ]; then
  git -C "$root$clone" fetch --quiet "$checkout" HEAD
  git -C "$root$clone" checkout --quiet --detach FETCH_HEAD
else
  rm -rf "$root$clone"
  git clone --quiet "$checkout" "$root$clone"
fi
echo "== checking $(git -C "$root$clone" log -1 --format='%h %s')"

# Runs `command` as root in the root, "/" a mount point there or not (mode), in namespaces of its own.
# Prints the command's output to "$logs/<mode>-<name>.log"; gives its exit status.
run_in_root() {
  local mode=$1 name=$2 command=$3
  unshare --mount --pid --fork --kill-child --propagation private bash -euo pipefail -c '
    root=$1 mode=$2 command=$3
    if [ "$mode" = mounted ]; then mount --bind "$root" "$root"; fi
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /dev "$root/dev"
    for place in tmp run dev/shm; do mount -t tmpfs -o mode=1777 tmpfs "$root/$place"; done
    exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb CI=true \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      bash -c "$command"' check "$root" "$mode" "$command" >"$logs/$mode-$name.log" 2>&1
}

# One line on a test run: CTest's closing count, the skipped tests with their reasons, the failed ones.
summarize() {
  local log=$1
  grep -E '^[0-9]+% tests passed' "$log" | tail -n 1 | sed 's/^/   /' || true
  grep -E '^skipped: ' "$log" | sort -u | sed 's/^/   /' || true
  sed -n '/^The following tests FAILED:/,/^Errors while running/p' "$log" | sed 's/^/   /'
}

status=0
for mode in "${modes[@]}"; do
  steps=("make test")
  if [ "$mode" = mounted ]; then steps=("make run" "make test" "bash .ci/run"); fi
  echo "== $mode (logs: $logs/$mode-*.log)"
  for step in "${steps[@]}"; do
    name=${step//[^a-z]/-}
    log="$logs/$mode-$name.log"
    # /tmp is a tmpfs of this step alone: what is in it afterwards, the step left there.
    if run_in_root "$mode" "$name" "cd $clone && $step; result=\$?; echo '== left in /tmp:'; ls -A /tmp; exit \$result"; then
      echo " $step: passed"
    else
      echo " $step: FAILED"
      status=1
    fi
    summarize "$log"
    left=$(sed -n '/^== left in \/tmp:$/,$p' "$log" | tail -n +2 | tr '\n' ' ')
    if [ -n "$left" ]; then
      echo "   left in /tmp: $left"
      status=1
    fi
  done
done
exit $status
