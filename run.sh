#!/usr/bin/env bash
# Installs what is missing, builds, prepares the working folder and starts
# the program there.
set -euo pipefail
cd "$(dirname "$0")"
top=$(pwd)
work="${QUILLASPORE_WORK:-$HOME/Quillaspore}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: Quillaspore is a desktop program and needs a graphical session (DISPLAY is not set)." >&2
  exit 1
fi
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quillaspore
mkdir -p "$work"
if [ ! -e "$work/Quillaspore.db" ] && [ -f data/demo.sql ]; then
  sqlite3 "$work/Quillaspore.db" < data/demo.sql
  echo "Demonstration database written to $work/Quillaspore.db"
fi
if [ ! -e "$work/Default.scfg" ] && [ -f data/Default.scfg ]; then
  cp data/Default.scfg "$work/Default.scfg"
fi
cd "$work"
exec "$top/build/quillaspore"
