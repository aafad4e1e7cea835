#include <QApplication>

int EjecutaPruebasBarra(int argc, char** argv);
int EjecutaPruebasTexto(int argc, char** argv);
int EjecutaPruebasArbol(int argc, char** argv);
int EjecutaPruebasOtros(int argc, char** argv);

// The controls' suites share one application object.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("orbanel-pruebas"));
    int fallos = 0;
    fallos += EjecutaPruebasBarra(argc, argv);
    fallos += EjecutaPruebasTexto(argc, argv);
    fallos += EjecutaPruebasArbol(argc, argv);
    fallos += EjecutaPruebasOtros(argc, argv);
    return fallos;
}
