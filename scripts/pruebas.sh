#!/usr/bin/env bash
# Instala lo que falta, arranca Firebird, compila y ejecuta todas las pruebas.
set -euo pipefail
raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${ETQ_BUILD:-$raiz/build}"

bash "$raiz/scripts/dependencias.sh"
bash "$raiz/scripts/servidor_fb.sh"
# Impresora PDF de CUPS para las pruebas de impresión (sin ella esas pruebas se omiten)
bash "$raiz/scripts/impresora_pdf.sh" >/dev/null || echo "Aviso: no se pudo preparar la impresora PDF de pruebas" >&2
bash "$raiz/scripts/compila.sh" "$dir"

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
# La clave de SYSDBA se lee del archivo de la instalación; nunca se imprime.
ETQ_FB_CLAVE="$($SUDO sed -n 's/^ISC_PASSWORD=//p' /etc/firebird/3.0/SYSDBA.password | tr -d '"')"
export ETQ_FB_CLAVE
export ETQ_FB_SERVIDOR=127.0.0.1
export ETQ_FB_USUARIO=SYSDBA
ETQ_PRUEBAS_DIR="$(mktemp -d /tmp/etq-pruebas.XXXXXX)"
chmod 777 "$ETQ_PRUEBAS_DIR"
export ETQ_PRUEBAS_DIR
export QT_QPA_PLATFORM=offscreen
trap 'rm -rf "$ETQ_PRUEBAS_DIR"' EXIT

cd "$dir"
ctest --output-on-failure -j "$(nproc)" "$@"
