// Punto de entrada del programa.
#include "common/FormatoNumero.h"
#include "common/Version.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Etiquetas tolvanas"));
    AplicaFormatoPrograma();
    const QString version = VersionArchivo();
    QMainWindow ventana;
    ventana.setWindowTitle(QStringLiteral("Etiquetas Tolvanas v") + version);
    auto *aviso = new QLabel(QStringLiteral("Etiquetas Tolvanas ") + version, &ventana);
    aviso->setAlignment(Qt::AlignCenter);
    ventana.setCentralWidget(aviso);
    ventana.resize(1024, 700);
    ventana.show();
    return app.exec();
}
