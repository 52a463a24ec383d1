#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# --clang also installs clang (CI compiles with it as well; ./run.sh and
# ./test.sh do not need it).
set -euo pipefail
packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libsqlite3-dev sqlite3 libcurl4-openssl-dev
          libpcre2-dev libjpeg62-turbo-dev libgtest-dev libbenchmark-dev fonts-liberation2)
if [ "${1:-}" = "--clang" ]; then packages+=(clang); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
