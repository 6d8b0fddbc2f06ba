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
  # independent references the tests compare against
  procps iproute2 sysstat e2fsprogs util-linux
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg -s "$package" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: every package is installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
