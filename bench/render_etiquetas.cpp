// Medida: 1,000 y 10,000 etiquetas de la hoja de anaquel 3 x 10 (nombre, precio, Code 128) a PDF
// con etiquetas-pdf, frente a glabels-3-batch con un documento de la misma hoja y el mismo CSV.
// Cada programa corre como proceso aparte: tiempo de reloj, de cpu y memoria máxima (wait4).
//   bench_render_etiquetas [conteos...]     (por omisión 1000 10000)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

struct Medida
{
    bool ok = false;
    double segundos = 0;
    double cpu = 0;   // usuario + sistema
    double megas = 0; // memoria residente máxima
    int codigo = -1;
};

// Corre un programa (salida a /dev/null) y mide su tiempo y su memoria máxima
Medida Corre(const QStringList &args)
{
    Medida m;
    std::vector<QByteArray> bytes;
    for (const QString &a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (auto &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    posix_spawn_file_actions_addopen(&acciones, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&acciones, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer reloj;
    reloj.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &acciones, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&acciones);
        return m;
    }
    int estado = 0;
    rusage uso{};
    wait4(pid, &estado, 0, &uso);
    m.segundos = reloj.nsecsElapsed() / 1e9;
    posix_spawn_file_actions_destroy(&acciones);
    m.megas = uso.ru_maxrss / 1024.0;
    m.cpu = uso.ru_utime.tv_sec + uso.ru_stime.tv_sec + (uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
    m.codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    m.ok = m.codigo == 0;
    return m;
}

QString Ean13(qint64 n)
{
    const QString doce = QStringLiteral("750%1").arg(n, 9, 10, QLatin1Char('0'));
    int s = 0;
    for (int i = 0; i < 12; ++i)
        s += doce[i].digitValue() * (i % 2 ? 3 : 1);
    return doce + QString::number((10 - s % 10) % 10);
}

bool EscribeCsv(const QString &ruta, int n)
{
    static const char *nombres[] = {"Martillo de uña 16 oz", "Pinza de electricista 8\"", "Cuaderno profesional cuadro chico",
                                    "Lápiz adhesivo 40 g", "Cinta métrica 5 m", "Tijeras escolares punta roma",
                                    "Desarmador plano 1/4", "Foco LED 9 W luz cálida"};
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray t = "clave,articulo,precio\n";
    for (int i = 0; i < n; ++i)
        t += QStringLiteral("%1,%2 #%3,%4\n")
                 .arg(Ean13(i * 7919LL + 11), QString::fromUtf8(nombres[i % 8]))
                 .arg(i)
                 .arg(10.5 + (i % 997) * 1.25, 0, 'f', 2)
                 .toUtf8();
    f.write(t);
    return true;
}

// Documento de gLabels de la misma hoja: carta, 3 x 10 de 2.625" x 1", nombre, precio y Code 128.
// Cada objeto lleva su matriz a0..a5 (sin ella glabels-3-batch imprime páginas en blanco).
bool EscribeGlabels(const QString &ruta, const QString &csv)
{
    const QString afin = QStringLiteral("a0=\"1\" a1=\"0\" a2=\"0\" a3=\"1\" a4=\"0\" a5=\"0\"");
    const QString doc = QStringLiteral(R"(<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Etiquetas" part="3x10" size="US-Letter" description="Anaquel 3 x 10">
    <Meta category="label"/>
    <Label-rectangle id="0" width="189pt" height="72pt" round="0pt" x_waste="0pt" y_waste="0pt">
      <Markup-margin size="4pt"/>
      <Layout nx="3" ny="10" x0="13.5pt" y0="36pt" dx="198pt" dy="72pt"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-text x="4.5pt" y="2.25pt" w="180pt" h="22.5pt" justify="Left" valign="Top" auto_shrink="False" %1>
      <Span color="0x000000ff" font_family="DejaVu Sans" font_size="7" font_weight="bold" font_italic="False" line_spacing="1">${articulo}</Span>
    </Object-text>
    <Object-barcode x="4.5pt" y="26.25pt" w="97.5pt" h="42.75pt" backend="gnu-barcode" style="Code128" text="True" checksum="True" color="0x000000ff" field="clave" %1/>
    <Object-text x="102pt" y="27pt" w="84pt" h="30pt" justify="Right" valign="Center" auto_shrink="False" %1>
      <Span color="0x000000ff" font_family="DejaVu Sans" font_size="12" font_weight="bold" font_italic="False" line_spacing="1">$${precio}</Span>
    </Object-text>
  </Objects>
  <Merge type="Text/Comma/Line1Keys" src="%2"/>
  <Data/>
</Glabels-document>
)")
                            .arg(afin, csv.toHtmlEscaped());
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(doc.toUtf8());
    return true;
}

int Paginas(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    if (!p.waitForFinished(60000))
        return -1;
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<int> conteos;
    for (const QString &a : app.arguments().mid(1))
        conteos << a.toInt();
    if (conteos.isEmpty())
        conteos = {1000, 10000};

    const QString herramienta = QCoreApplication::applicationDirPath() + QStringLiteral("/etiquetas-pdf");
    const QString forma = QStringLiteral(ETQ_FUENTES) + QStringLiteral("/Formatos/Anaquel 3x10 Carta.fr3");
    if (!QFile::exists(herramienta)) {
        std::fprintf(stderr, "Falta %s: compile el objetivo etiquetas-pdf\n", qPrintable(herramienta));
        return 1;
    }
    const QString glabels = QStandardPaths::findExecutable(QStringLiteral("glabels-3-batch"));
    QTemporaryDir dir;
    qputenv("QT_QPA_PLATFORM", "offscreen");

    std::printf("Hoja carta 3 x 10 (nombre, precio, Code 128) a PDF; proceso completo, mejor de 3 corridas\n");
    if (glabels.isEmpty())
        std::printf("Nota: glabels-3-batch no está instalado (paquete glabels); sólo se mide etiquetas-pdf.\n");
    std::printf("%9s | %21s %9s %7s | %21s %9s %7s | %s\n", "etiquetas", "etiquetas-pdf reloj/cpu", "memoria", "páginas",
                "glabels reloj/cpu", "memoria", "páginas", "razón reloj/cpu");
    double base = 0, baseCpu = 0;
    int baseN = 0;
    for (int n : conteos) {
        const QString csv = dir.filePath(QStringLiteral("datos_%1.csv").arg(n));
        EscribeCsv(csv, n);
        const QString pdf = dir.filePath(QStringLiteral("motor_%1.pdf").arg(n));
        Medida mejor;
        for (int r = 0; r < 3; ++r) {
            Medida m = Corre({herramienta, forma, csv, pdf});
            if (!m.ok) {
                std::fprintf(stderr, "etiquetas-pdf falló (código %d)\n", m.codigo);
                return 1;
            }
            if (!mejor.ok || m.segundos < mejor.segundos)
                mejor = m;
        }
        const int paginas = Paginas(pdf);
        Medida g;
        int paginasG = -1;
        if (!glabels.isEmpty()) {
            const QString doc = dir.filePath(QStringLiteral("anaquel_%1.glabels").arg(n));
            EscribeGlabels(doc, csv);
            const QString pdfG = dir.filePath(QStringLiteral("glabels_%1.pdf").arg(n));
            const int rondas = n > 2000 ? 1 : 3;
            for (int r = 0; r < rondas; ++r) {
                Medida m = Corre({glabels, QStringLiteral("-o"), pdfG, doc});
                if (!g.ok || (m.ok && m.segundos < g.segundos))
                    g = m;
            }
            paginasG = Paginas(pdfG);
        }
        if (g.ok)
            std::printf("%9d | %9.3f s / %7.3f s %6.1f MB %7d | %9.3f s / %7.3f s %6.1f MB %7d | %5.1fx / %5.1fx\n", n,
                        mejor.segundos, mejor.cpu, mejor.megas, paginas, g.segundos, g.cpu, g.megas, paginasG,
                        g.segundos / mejor.segundos, g.cpu / std::max(mejor.cpu, 1e-6));
        else
            std::printf("%9d | %9.3f s / %7.3f s %6.1f MB %7d | %21s %9s %7s | -\n", n, mejor.segundos, mejor.cpu, mejor.megas,
                        paginas, glabels.isEmpty() ? "-" : "falló", "-", "-");
        if (baseN == 0) {
            base = mejor.segundos;
            baseCpu = mejor.cpu;
            baseN = n;
        } else {
            std::printf("          crecimiento de etiquetas-pdf: %.1f veces las etiquetas -> %.1f veces el tiempo de cpu, %.1f el de reloj\n",
                        double(n) / baseN, mejor.cpu / baseCpu, mejor.segundos / base);
        }
        std::fflush(stdout);
    }
    return 0;
}
