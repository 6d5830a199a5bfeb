#!/usr/bin/env bash
# Configura y compila en la carpeta indicada (por omisión build/).
set -euo pipefail
raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${1:-$raiz/build}"
cmake -S "$raiz" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${ETQ_TIPO_COMPILACION:-RelWithDebInfo}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
