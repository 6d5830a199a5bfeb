// Punto de entrada del programa.
#include "VersionConfig.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Etiquetas tolvanas"));
    const QString version = QStringLiteral("%1.%2.%3.%4")
                                .arg(ETQ_VERSION_MAYOR)
                                .arg(ETQ_VERSION_MENOR)
                                .arg(ETQ_VERSION_REVISION)
                                .arg(ETQ_VERSION_COMPILACION);
    QMainWindow ventana;
    ventana.setWindowTitle(QStringLiteral("Etiquetas Tolvanas v") + version);
    auto *aviso = new QLabel(QStringLiteral("Etiquetas Tolvanas ") + version, &ventana);
    aviso->setAlignment(Qt::AlignCenter);
    ventana.setCentralWidget(aviso);
    ventana.resize(1024, 700);
    ventana.show();
    return app.exec();
}
