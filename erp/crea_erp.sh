#!/usr/bin/env bash
# Crea un ERP de reemplazo: CARPETA/System/Config.fdb, CARPETA/System/Metadatos.fdb y una
# base por empresa (CARPETA/<nombre_corto>.fdb), registradas en Config.fdb.
#
# Uso: crea_erp.sh CARPETA [opciones]
#   --servidor HOST     crea las bases a través del servidor (HOST:/ruta); sin esta opción
#                       usa el motor incrustado (ruta sola)
#   --usuario U         usuario administrador (SYSDBA)
#   --clave C           su contraseña (por omisión la de /etc/firebird/3.0/SYSDBA.password)
#   --params-precio N   parámetros declarados de PRECIO_CON_IMPTO_SI: 9 (omisión), 10, 11 o 12
#   --demo              carga la demostración (unos 290 artículos de ferretería y papelería)
#   --articulos N       agrega N artículos generados a la primera empresa
#   --empresas LISTA    nombres cortos separados por comas (omisión: Ferreteria_Demo,Papeleria_Centro);
#                       la primera recibe la demostración o los artículos generados, las demás
#                       un surtido pequeño de papelería (con --demo) o sólo los catálogos
#   --sin-usuarios      no crea usuarios de Firebird (con --servidor)
#   --reemplaza         borra las bases que ya existan en CARPETA
#   --rapido            deja las bases sin escrituras forzadas (bases desechables de pruebas)
set -euo pipefail
dir_erp="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
sql="$dir_erp/sql"

falla() { echo "crea_erp.sh: $*" >&2; exit 1; }

carpeta=""; servidor=""; usuario="SYSDBA"; clave=""; params=9; demo=0; articulos=0
empresas="Ferreteria_Demo,Papeleria_Centro"; usuarios=1; reemplaza=0; rapido=0
while [ $# -gt 0 ]; do
  case "$1" in
    --servidor) servidor="${2:?}"; shift 2 ;;
    --usuario) usuario="${2:?}"; shift 2 ;;
    --clave) clave="${2:?}"; shift 2 ;;
    --params-precio) params="${2:?}"; shift 2 ;;
    --demo) demo=1; shift ;;
    --articulos) articulos="${2:?}"; shift 2 ;;
    --empresas) empresas="${2:?}"; shift 2 ;;
    --sin-usuarios) usuarios=0; shift ;;
    --reemplaza) reemplaza=1; shift ;;
    --rapido) rapido=1; shift ;;
    -h|--help) sed -n '2,20p' "$0"; exit 0 ;;
    -*) falla "opción desconocida: $1" ;;
    *) [ -z "$carpeta" ] || falla "sobra el argumento: $1"; carpeta="$1"; shift ;;
  esac
done
[ -n "$carpeta" ] || falla "falta la carpeta (crea_erp.sh --help)"
case "$params" in 9|10|11|12) ;; *) falla "--params-precio debe ser 9, 10, 11 o 12" ;; esac
[[ "$articulos" =~ ^[0-9]+$ ]] || falla "--articulos debe ser un número"
command -v isql-fb >/dev/null && command -v gfix >/dev/null || falla "faltan isql-fb o gfix (paquete firebird3.0-utils)"

# Sin --clave vale ISC_PASSWORD del entorno (así la pasan las pruebas) o la de la instalación
[ -n "$clave" ] || clave="${ISC_PASSWORD:-}"
if [ -n "$servidor" ] && [ -z "$clave" ]; then
  archivo=/etc/firebird/3.0/SYSDBA.password
  [ -r "$archivo" ] || falla "no se puede leer $archivo; indique --clave"
  clave="$(sed -n 's/^ISC_PASSWORD=//p' "$archivo" | tr -d '"')"
fi
# La clave viaja por el entorno de isql-fb, nunca en la línea de órdenes
export ISC_USER="$usuario"
export ISC_PASSWORD="${clave:-masterkey}"

inicio=$(date +%s.%N)
mkdir -p "$carpeta/System"
carpeta="$(cd "$carpeta" && pwd)"
chmod a+rwx "$carpeta" "$carpeta/System" 2>/dev/null || true

IFS=',' read -r -a lista_empresas <<< "$empresas"
[ "${#lista_empresas[@]}" -ge 1 ] || falla "--empresas vacío"
for e in "${lista_empresas[@]}"; do
  [[ "$e" =~ ^[A-Za-z0-9_]{1,30}$ ]] || falla "nombre corto inválido: '$e' (letras, números y _)"
done

ruta_bd() { if [ -n "$servidor" ]; then echo "$servidor:$1"; else echo "$1"; fi; }

# Ejecuta SQL (UTF-8 en la entrada estándar) convertido a Windows-1252, sin juego de caracteres.
# Va por archivo (-i): leído de la entrada estándar, isql-fb descarta los bytes que no son UTF-8.
isql() {
  local f rc=0
  f="$(mktemp "${TMPDIR:-/tmp}/crea_erp.XXXXXX")"
  if iconv -f UTF-8 -t WINDOWS-1252 > "$f"; then
    isql-fb -q -b -ch NONE "$@" -i "$f" || rc=$?
  else
    rc=1
  fi
  rm -f "$f"
  return $rc
}

# crea_bd ARCHIVO: crea la base vacía y ejecuta en ella el SQL de la entrada estándar.
# La carga va sin escrituras forzadas (cada DDL confirma y sincronizaría el disco);
# al final se vuelven a activar.
creadas=()
crea_bd() {
  local archivo="$1"
  if [ -e "$archivo" ]; then
    [ "$reemplaza" = 1 ] || falla "ya existe $archivo (use --reemplaza)"
    # Con servidor se borra a través de él: un archivo borrado que el servidor aún tiene
    # abierto seguiría respondiendo en esa ruta
    if [ -n "$servidor" ]; then echo "DROP DATABASE;" | isql "$(ruta_bd "$archivo")" >/dev/null 2>&1 || true; fi
    rm -f "$archivo"
  fi
  printf "SET SQL DIALECT 3;\nCREATE DATABASE '%s' PAGE_SIZE 8192 DEFAULT CHARACTER SET NONE;\n" \
    "$(ruta_bd "$archivo")" | isql || falla "no se pudo crear $archivo"
  chmod a+rw "$archivo" 2>/dev/null || true
  creadas+=("$archivo")
  gfix -write async "$(ruta_bd "$archivo")" || falla "gfix falló con $archivo"
  isql "$(ruta_bd "$archivo")" || falla "falló el SQL de $archivo"
}

# Cabecera de PRECIO_CON_IMPTO_SI para N parámetros y el cuerpo común
precio_con_impto() {
  echo "SET TERM ^ ;"
  awk -v n="$params" '
    /^-- @CABECERA / { dentro = ($3 == n); next }
    /^-- @CUERPO/ { dentro = 1; next }
    dentro { print }' "$sql/precio_con_impto.sql"
  echo "^"
  echo "SET TERM ; ^"
  echo "GRANT EXECUTE ON PROCEDURE PRECIO_CON_IMPTO_SI TO ROLE USUARIO_MICROSIP;"
  echo "GRANT EXECUTE ON PROCEDURE GET_FACTOR_IMPTOS_ART TO PROCEDURE PRECIO_CON_IMPTO_SI;"
  echo "COMMIT;"
}

# Usuarios del ERP: nombre, clave, acceso ('T' todas, 'L' limitado), empresas (índices en la lista)
erp_usuarios=(
  "SUPERVISOR|super123|T|"
  "CAJERO|cajero123|L|0"
  "VENDEDOR|vendedor123|T|"
  "CONSULTA|consulta123|L|"
)

concede_rol() {
  local u
  for u in "${erp_usuarios[@]}"; do echo "GRANT USUARIO_MICROSIP TO ${u%%|*};"; done
  echo "COMMIT;"
}

# --- Metadatos.fdb
{ cat "$sql/comun.sql" "$sql/metadatos.sql"; concede_rol; } | crea_bd "$carpeta/System/Metadatos.fdb"

# --- Empresas
nombre_completo() {
  case "$1" in
    Ferreteria_Demo) echo "Ferretería Demo, S.A. de C.V." ;;
    Papeleria_Centro) echo "Papelería del Centro" ;;
    *) echo "$1" | tr '_' ' ' ;;
  esac
}
t_gen=""
for i in "${!lista_empresas[@]}"; do
  e="${lista_empresas[$i]}"
  nombre="$(nombre_completo "$e")"
  {
    cat "$sql/comun.sql" "$sql/empresa.sql" "$sql/procedimientos.sql"
    precio_con_impto
    sed "s/@NOMBRE_EMPRESA@/$nombre/" "$sql/catalogos.sql"
    if [ "$demo" = 1 ]; then
      cat "$sql/demo_alta.sql"
      if [ "$i" = 0 ]; then
        awk -f "$dir_erp/demo.awk" "$dir_erp/datos/articulos_demo.txt"
      else
        awk -f "$dir_erp/demo.awk" -v solo='PES|POF' -v max=25 "$dir_erp/datos/articulos_demo.txt"
      fi
      echo "COMMIT;"
      cat "$sql/demo_fin.sql"
    fi
    concede_rol
  } | crea_bd "$carpeta/$e.fdb"
  if [ "$i" = 0 ] && [ "$articulos" -gt 0 ]; then
    t0=$(date +%s.%N)
    sed "s/@N@/$articulos/" "$sql/genera_articulos.sql" | isql "$(ruta_bd "$carpeta/$e.fdb")" \
      || falla "falló el generador de artículos"
    t_gen=$(awk -v a="$t0" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
  fi
done

# --- Config.fdb con empresas y usuarios
{
  cat "$sql/comun.sql" "$sql/config.sql"
  for e in "${lista_empresas[@]}"; do
    echo "INSERT INTO EMPRESAS (NOMBRE_CORTO, NOMBRE) VALUES ('$e', '$(nombre_completo "$e")');"
  done
  for u in "${erp_usuarios[@]}"; do
    IFS='|' read -r nom _ acceso emps <<< "$u"
    echo "INSERT INTO USUARIOS (NOMBRE, NOMBRE_COMPLETO, TIPO, ACCESO_EMPRESAS) VALUES ('$nom', '$nom', 'U', '$acceso');"
    for k in $emps; do
      [ "$k" -lt "${#lista_empresas[@]}" ] || continue
      echo "INSERT INTO EMPRESAS_USUARIOS (EMPRESA_ID, USUARIO_ID) SELECT e.EMPRESA_ID, u.USUARIO_ID FROM EMPRESAS e, USUARIOS u WHERE e.NOMBRE_CORTO = '${lista_empresas[$k]}' AND u.NOMBRE = '$nom';"
    done
  done
  echo "COMMIT;"
  concede_rol
} | crea_bd "$carpeta/System/Config.fdb"

# --- Usuarios de Firebird (sólo con servidor; si ya existen se les pone la clave conocida)
if [ -n "$servidor" ] && [ "$usuarios" = 1 ]; then
  for u in "${erp_usuarios[@]}"; do
    IFS='|' read -r nom cla _ <<< "$u"
    if ! echo "CREATE USER $nom PASSWORD '$cla';" | isql "$(ruta_bd "$carpeta/System/Config.fdb")" >/dev/null 2>&1; then
      echo "ALTER USER $nom PASSWORD '$cla';" | isql "$(ruta_bd "$carpeta/System/Config.fdb")" >/dev/null 2>&1 \
        || echo "Aviso: no se pudo crear el usuario $nom" >&2
    fi
  done
fi

[ "$rapido" = 1 ] || for f in "${creadas[@]}"; do
  gfix -write sync "$(ruta_bd "$f")" || falla "gfix falló con $f"
done

fin=$(date +%s.%N)
echo "ERP creado en $carpeta ($( [ -n "$servidor" ] && echo "servidor $servidor" || echo "motor incrustado"), PRECIO_CON_IMPTO_SI de $params parámetros)"
echo "  System/Config.fdb, System/Metadatos.fdb"
for e in "${lista_empresas[@]}"; do echo "  $e.fdb"; done
[ -n "$t_gen" ] && echo "Generador: $articulos artículos en $t_gen s"
awk -v a="$inicio" -v b="$fin" 'BEGIN { printf "Tiempo total: %.1f s\n", b - a }'
