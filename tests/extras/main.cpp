#include <QApplication>

int EjecutaPruebasExportacion(int argc, char** argv);
int EjecutaPruebasArbolProfundo(int argc, char** argv);
int EjecutaPruebasPdf(int argc, char** argv);

// The suite's extras around the catalogue share one application object.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("orbanel-pruebas"));
    int fallos = 0;
    fallos += EjecutaPruebasExportacion(argc, argv);
    fallos += EjecutaPruebasArbolProfundo(argc, argv);
    fallos += EjecutaPruebasPdf(argc, argv);
    return fallos;
}
