#!/usr/bin/env bash
# scripts/deps.sh [PACKAGE...]: installs the Debian packages the build, the tests and the program
# need, and the PACKAGEs named, when any is missing.
set -euo pipefail

packages=(
  cmake ninja-build pkg-config g++ make
  qt6-base-dev libgl-dev
  libcrypto++-dev libbotan-2-dev libboost-stacktrace-dev libsodium-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth libglib2.0-bin
  scdoc librsvg2-bin
  # the modern entry's independent reader in the tests, and the peer its benchmark runs against
  python3-nacl age
  # the package's validators and what its tests need: metainfo, desktop entries, lintian, completion
  appstream desktop-file-utils lintian dpkg-dev bash-completion
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
