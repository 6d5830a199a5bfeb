#!/usr/bin/env bash
# Instala los paquetes de Debian que faltan para compilar, probar y ejecutar.
set -euo pipefail

PAQUETES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-svg-dev libgl-dev
  firebird-dev libfbclient2 firebird3.0-server firebird3.0-utils
  libzint-dev libquazip1-qt6-dev libfreexl-dev libxlsxwriter-dev
  libgtest-dev libgmock-dev libbenchmark-dev libzxing-dev
  xvfb xauth poppler-utils fonts-dejavu-core ccache cups printer-driver-cups-pdf
)

faltan=()
for p in "${PAQUETES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    faltan+=("$p")
  fi
done

if [ ${#faltan[@]} -gt 0 ]; then
  echo "Instalando: ${faltan[*]}"
  SUDO=()
  if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo -E); fi
  export DEBIAN_FRONTEND=noninteractive
  "${SUDO[@]}" apt-get update -qq
  "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${faltan[@]}"
fi
