#!/usr/bin/env bash
# Impresora PDF para las pruebas: arranca cupsd si no está corriendo y crea la impresora
# "EtiquetasPDF" con el backend cups-pdf (se puede correr varias veces).
# Los PDF quedan en la carpeta "Out" de /etc/cups/cups-pdf.conf (por omisión ~/PDF del usuario).
set -euo pipefail

NOMBRE="${1:-EtiquetasPDF}"
SUDO=()
if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo -n); fi

if ! command -v cupsd >/dev/null 2>&1 || ! command -v lpadmin >/dev/null 2>&1; then
  echo "Falta CUPS (paquete cups)." >&2
  exit 1
fi
if [ ! -e /usr/lib/cups/backend/cups-pdf ]; then
  echo "Falta el backend cups-pdf (paquete printer-driver-cups-pdf)." >&2
  exit 1
fi

corriendo() { lpstat -r 2>/dev/null | grep -q "is running\|está funcionando\|en ejecución"; }

if ! corriendo; then
  "${SUDO[@]}" mkdir -p /run/cups
  "${SUDO[@]}" cupsd
  for _ in $(seq 1 50); do
    corriendo && break
    sleep 0.2
  done
  if ! corriendo; then
    echo "No se pudo arrancar cupsd." >&2
    exit 1
  fi
fi

if ! lpstat -p "$NOMBRE" >/dev/null 2>&1; then
  ppd="$(lpinfo -m 2>/dev/null | awk 'tolower($0) ~ /cups-pdf/ {print $1; exit}')"
  if [ -n "$ppd" ]; then
    "${SUDO[@]}" lpadmin -p "$NOMBRE" -E -v cups-pdf:/ -m "$ppd" -D "Impresora PDF de pruebas" -L "Local"
  else
    "${SUDO[@]}" lpadmin -p "$NOMBRE" -E -v cups-pdf:/ -m everywhere -D "Impresora PDF de pruebas" -L "Local" 2>/dev/null ||
      "${SUDO[@]}" lpadmin -p "$NOMBRE" -E -v cups-pdf:/ -D "Impresora PDF de pruebas" -L "Local"
  fi
fi
"${SUDO[@]}" cupsenable "$NOMBRE"
"${SUDO[@]}" cupsaccept "$NOMBRE"
lpstat -p "$NOMBRE"
