#!/usr/bin/env bash
# Installs the Debian packages the suite builds, tests and runs with. Idempotent: it asks dpkg which
# packages are missing, refreshes the package lists once, and installs only those.
set -euo pipefail

packages=(
  # toolchain and test frameworks
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  # libraries the modules link
  libicu-dev libcurl4-openssl-dev nlohmann-json3-dev zlib1g-dev libssl-dev
  libcairo2-dev libpango1.0-dev librsvg2-dev adwaita-icon-theme fonts-dejavu-core
  libgeographiclib-dev libglib2.0-dev shared-mime-info libmount-dev libudev-dev libnl-genl-3-dev
  ca-certificates
  # independent references the tests compare against, and the tools that make their volumes and servers
  # (mount: mount, umount and losetup; e2fsprogs: mkfs.ext4; openssl: a TLS server on loopback)
  procps iproute2 sysstat e2fsprogs btrfs-progs util-linux mount dbus-daemon file openssl
  # system files tests read: /etc/services and /etc/hosts (service names, "localhost"), the time zones
  netbase tzdata
  # the German locale that locale-independence tests switch to
  locales
)

# Locales that tests switch the C library to, to prove texts do not follow it.
test_locales=(de_DE.UTF-8 en_US.UTF-8)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg -s "$package" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$package")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
# sudo starts its command with a reset environment, so debconf's front end is set on the command line: no
# package asks a question on the terminal.
apt_get=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get)

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: every package is installed"
else
  echo "install-deps: installing ${missing[*]}"
  "${apt_get[@]}" update -qq
  "${apt_get[@]}" install -y -qq --no-install-recommends "${missing[@]}"
fi

for name in "${test_locales[@]}"; do
  compact=$(echo "$name" | sed 's/UTF-8/utf8/')
  if ! locale -a 2>/dev/null | grep -qx "$compact"; then
    echo "install-deps: generating locale $name"
    grep -qx "$name UTF-8" /etc/locale.gen 2>/dev/null \
      || echo "$name UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo_cmd[@]}" locale-gen "$name" >/dev/null
  fi
done
