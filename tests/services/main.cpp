#include <QApplication>

int EjecutaPruebasDatos(int argc, char** argv);
int EjecutaPruebasUtilerias(int argc, char** argv);
int EjecutaPruebasImpresion(int argc, char** argv);
int EjecutaPruebasConsulta(int argc, char** argv);

// The services' suites share one application object.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("orbanel-pruebas"));
    int fallos = 0;
    fallos += EjecutaPruebasDatos(argc, argv);
    fallos += EjecutaPruebasUtilerias(argc, argv);
    fallos += EjecutaPruebasImpresion(argc, argv);
    fallos += EjecutaPruebasConsulta(argc, argv);
    return fallos;
}
