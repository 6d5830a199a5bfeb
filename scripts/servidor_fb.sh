#!/usr/bin/env bash
# Arranca el servidor Firebird 3 en 127.0.0.1:3050 si no está escuchando.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

escucha() { (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; }

if ! escucha; then
  # En su propia sesión: que no muera con el grupo de procesos de quien lo arrancó
  $SUDO setsid /usr/sbin/fbguard -daemon -forever </dev/null >/dev/null 2>&1
  for _ in $(seq 1 50); do
    escucha && break
    sleep 0.2
  done
fi
escucha || { echo "No fue posible arrancar el servidor Firebird" >&2; exit 1; }
