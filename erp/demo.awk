# Convierte datos/articulos_demo.txt en llamadas a DEMO_ALTA_ARTICULO (ver sql/demo_alta.sql).
# Variables: solo = expresión regular de los códigos de línea que se toman (vacía = todos),
#            max = número máximo de artículos (0 = sin límite).
BEGIN { FS = "|"; i = 0; if (max == "") max = 0 }

function q(s) { gsub(/'/, "''", s); return "'" s "'" }

# Dígito verificador EAN-13 de 12 dígitos
function ean13(b,   k, s, d) {
    s = 0
    for (k = 1; k <= 12; k++) { d = substr(b, k, 1) + 0; s += (k % 2 == 0) ? 3 * d : d }
    return b ((10 - s % 10) % 10)
}

/^#/ || NF < 9 { next }
solo != "" && $1 !~ ("^(" solo ")$") { next }
{
    base = $4; n = 1; pre = base; suf = ""; var[1] = ""
    if (match(base, /\{[^}]*\}/)) {
        n = split(substr(base, RSTART + 1, RLENGTH - 2), var, ";")
        pre = substr(base, 1, RSTART - 1); suf = substr(base, RSTART + RLENGTH)
    }
    np = split($5, precio, ";")
    for (v = 1; v <= n; v++) {
        if (max > 0 && i >= max) exit
        i++
        nombre = pre var[v] suf
        gsub(/  +/, " ", nombre); sub(/ +$/, "", nombre)
        p = precio[v <= np ? v : np] + 0
        clave = $1 "-" sprintf("%04d", i)
        ean = ean13("7501234" sprintf("%05d", i))
        empaque = (i % 9 == 0) ? ean13("7501235" sprintf("%05d", i)) : ""
        contenido = ($7 == "CAJA" || $7 == "PAQUETE") ? 6 : 12
        estatus = (i == 17 || i == 41) ? "B" : ((i == 63) ? "S" : "A")
        puntos = int(p / 10)
        garantia = ($1 == "HER") ? "12" : (($1 == "ELE") ? "6" : "NULL")
        hecho = (i % 3 == 0) ? "N" : "S"
        loc1 = sprintf("%s-%02d-%d", $1, int((i - 1) / 6) % 20 + 1, (i - 1) % 6 + 1)
        loc2 = (i % 2 == 0) ? sprintf("B%d-R%02d", i % 4 + 1, i % 13 + 1) : ""
        notas = ""
        if ($1 == "PIN") notas = "Agítese antes de usar. No se aceptan devoluciones de color igualado."
        else if (i % 11 == 0) notas = "Pregunte por el precio de mayoreo, a partir de 12 piezas."
        printf "EXECUTE PROCEDURE DEMO_ALTA_ARTICULO(%s, %s, %s, %s, %.2f, %d, %s, %s, %s, %d, %s, %d, %s, %s, %s, %s, %s, %s, %s);\n", \
            q(nombre), q($2), q($3), q($7), p, $6, q(clave), q(ean), \
            (empaque == "" ? "NULL" : q(empaque)), contenido, q(estatus), puntos, q($9), q($8), \
            garantia, q(hecho), q(loc1), (loc2 == "" ? "NULL" : q(loc2)), (notas == "" ? "NULL" : q(notas))
    }
}
