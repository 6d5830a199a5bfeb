// etiquetas-pdf: imprime una forma .fr3 con un archivo de datos a PDF, sin ventanas.
//   etiquetas-pdf [--alias NOMBRE] [--posicion N] forma.fr3 datos.csv salida.pdf
#include "report/FuenteDatos.h"
#include "common/FormatoNumero.h"
#include "report/Informe.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace {

void Escribe(FILE *f, const QString &t)
{
    const QByteArray b = t.toLocal8Bit();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
    std::fputc('\n', f);
}

int Uso()
{
    Escribe(stderr, QStringLiteral("Uso: etiquetas-pdf [--alias NOMBRE] [--posicion N] forma.fr3 datos.csv salida.pdf\n"
                                   "  datos.csv: primera línea con los nombres de los campos (\",\", \";\" o tabulador)\n"
                                   "  --alias: nombre del conjunto en la forma (frxDBDataset)\n"
                                   "  --posicion: etiquetas ya usadas de la primera hoja"));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    AplicaFormatoPrograma();

    QStringList args = app.arguments().mid(1);
    QString alias = Informe::AliasOmision;
    int posicion = 0;
    QStringList posicionales;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--alias") && i + 1 < args.size()) {
            alias = args[++i];
        } else if (a == QLatin1String("--posicion") && i + 1 < args.size()) {
            bool ok = false;
            posicion = args[++i].toInt(&ok);
            if (!ok || posicion < 0) {
                Escribe(stderr, QStringLiteral("La posición debe ser un número entero no negativo."));
                return 1;
            }
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help") || a == QLatin1String("--ayuda")) {
            Uso();
            return 0;
        } else {
            posicionales << a;
        }
    }
    if (posicionales.size() != 3)
        return Uso();

    Informe informe;
    if (!informe.carga(posicionales[0])) {
        Escribe(stderr, informe.error());
        return 2;
    }
    DatosTabla datos;
    QString error;
    if (!LeeCsv(posicionales[1], datos, error)) {
        Escribe(stderr, error);
        return 3;
    }
    informe.ponDatos(&datos, alias);
    informe.ponPrimeraPosicion(posicion);
    const bool ok = informe.exportaPdf(posicionales[2]);
    for (const QString &a : informe.avisos())
        Escribe(stderr, QStringLiteral("Aviso: ") + a);
    if (!ok) {
        Escribe(stderr, informe.error());
        return 4;
    }
    Escribe(stdout, QStringLiteral("%1: %2 páginas, %3 etiquetas")
                        .arg(posicionales[2])
                        .arg(informe.numPaginas())
                        .arg(informe.composicion().etiquetas));
    return 0;
}
