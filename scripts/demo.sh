#!/usr/bin/env bash
# Prepara el ERP de demostración (motor embebido) con su perfil de conexión
# y arranca el programa, listo para iniciar sesión.
set -euo pipefail
raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${ETQ_BUILD:-$raiz/build}"

bash "$raiz/scripts/dependencias.sh"
bash "$raiz/scripts/compila.sh" "$dir"

datos="${XDG_DATA_HOME:-$HOME/.local/share}/EtiquetasDemo"
config="${XDG_CONFIG_HOME:-$HOME/.config}"

if [ ! -f "$datos/System/Config.fdb" ]; then
  echo "Creando el ERP de demostración en $datos ..."
  bash "$raiz/erp/crea_erp.sh" "$datos" --demo
fi

# Perfil de conexión "Demo" (directorio local: motor embebido, sin servidor)
xml="$config/Microsip/ProgramData.xml"
if [ ! -f "$xml" ]; then
  mkdir -p "$config/Microsip"
  cat > "$xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<ProgramData>
  <LocalMachine>
    <Software>
      <Microsip>
        <Conexiones>
          <Demo>
            <Protocolo>0</Protocolo>
            <Nombre_del_servidor></Nombre_del_servidor>
            <Directorio_de_datos>$datos/</Directorio_de_datos>
          </Demo>
        </Conexiones>
      </Microsip>
    </Software>
  </LocalMachine>
</ProgramData>
XML
fi

# Esquema del complemento en la empresa de demostración
if [ -x "$dir/etiquetas-esquema" ]; then
  "$dir/etiquetas-esquema" "$datos" || true
fi

echo "Usuario: SYSDBA (cualquier contraseña con el motor embebido), conexión: Demo"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No hay pantalla gráfica: el programa se abre en una pantalla virtual (Xvfb)."
  exec xvfb-run -a -s "-screen 0 1366x768x24" "$dir/etiquetas"
fi
exec "$dir/etiquetas"
