#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; packages already present are skipped.
set -euo pipefail
packages=(build-essential cmake libboost-dev googletest libgtest-dev libbenchmark-dev clang-format nlohmann-json3-dev libcli11-dev ccache
          libpugixml-dev libxml2-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y "${missing[@]}" || { apt-get update && apt-get install -y "${missing[@]}"; }
fi
