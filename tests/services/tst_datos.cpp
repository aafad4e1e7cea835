#include "kt508/services/Error.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/ServicioDatos.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Interaccion.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

// The data service: message boxes, settings, the session's connection.
class PruebasDatos : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { orbanel::Sesion::Cierra(); }
    void mensajeResponde_data();
    void mensajeResponde();
    void parametros_data() { pruebas::agregaBackends(); }
    void parametros();

private:
    orbanel::ServicioDatos m_datos;
};

// A question (292 = Yes/No, No by default) answers 6 or 7; an error or warning answers 1.
// The module and the message's id are always shown. A short text reads on one line; a long
// one wraps instead of stretching the box across the screen.
void PruebasDatos::mensajeResponde_data()
{
    const QString corto = u"¿Desea eliminar el centro de costos?"_s;
    const QString largo =
        u"No se pudo guardar el centro de costos: "_s + u"la base de datos rechazó el cambio. "_s.repeated(8);
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("estilo");
    QTest::addColumn<int>("tecla"); // none: a click on Sí
    QTest::addColumn<int>("esperado");
    QTest::newRow("clic en Sí") << corto << 292 << 0 << 6;
    QTest::newRow("Enter: No por omisión") << corto << 292 << int(Qt::Key_Return) << 7;
    QTest::newRow("Escape: No") << corto << 292 << int(Qt::Key_Escape) << 7;
    QTest::newRow("error") << largo << 16 << int(Qt::Key_Return) << 1;
    QTest::newRow("aviso") << corto << 48 << int(Qt::Key_Escape) << 1;
}

void PruebasDatos::mensajeResponde()
{
    QFETCH(QString, texto);
    QFETCH(int, estilo);
    QFETCH(int, tecla);
    QFETCH(int, esperado);
    QString modulo;
    int ancho = 0;
    pruebas::EnModal([&](QWidget* modal) {
        if (!modal)
            return;
        modulo = modal->findChild<QLabel*>(u"textoModulo"_s)->text();
        ancho = modal->findChild<QLabel*>(u"textoMensaje"_s)->width();
        if (tecla)
            pruebas::Tecla(modal, Qt::Key(tecla));
        else
            QTest::mouseClick(modal->findChild<QPushButton*>(u"botonSi"_s), Qt::LeftButton);
    });
    QCOMPARE(m_datos.Mensaje(texto, estilo, u"Orbanel"_s, nullptr, u"KT508"_s, u"ERR-ID:7500010"_s), esperado);
    QVERIFY2(modulo.contains(u"KT508"_s) && modulo.contains(u"ERR-ID:7500010"_s), qPrintable(modulo));
    const int enUnaLinea = QLabel().fontMetrics().horizontalAdvance(texto);
    if (texto.size() < 60)
        QVERIFY2(ancho >= enUnaLinea, qPrintable(u"%1 < %2"_s.arg(ancho).arg(enUnaLinea)));
    else
        QVERIFY2(ancho > enUnaLinea / 6 && ancho < enUnaLinea / 2,
                 qPrintable(u"%1 de %2"_s.arg(ancho).arg(enUnaLinea)));
}

// A stored setting wins over the default; a missing one gives its default, the empty text too:
// a database created without the demo has no settings, and the screen must still open. The
// connection handed out is the session's one.
void PruebasDatos::parametros()
{
    QFETCH(QString, backend);
    QVERIFY_SQL(orbanel::Sesion::Establece(pruebas::abre(backend, pruebas::Contenido::Demo), u"ANA"_s));
    QVERIFY(&m_datos.Conexion() == &orbanel::Sesion::Conexion());
    QCOMPARE(m_datos.Parametro(u"CON_CUENTA_PADRE_CENTRO_COSTO"_s, 0, u"T"_s, u"9"_s).toString(), u"5100"_s);
    QCOMPARE(m_datos.Parametro(u"NO_EXISTE"_s, 0, u"T"_s, u"ABC"_s).toString(), u"ABC"_s);

    QVERIFY_SQL(orbanel::Sesion::Conexion().Execute(u"DELETE FROM Parametros"_s));
    for (const QString& tipo : {u"T"_s, QString()}) {
        QVariant valor;
        QVERIFY_SQL(valor = m_datos.Parametro(u"FTO_CENTRO_COSTO"_s, 0, tipo, QString()));
        QCOMPARE(valor.toString(), QString());
        QVERIFY(!valor.toBool());
    }
}

int EjecutaPruebasDatos(int argc, char** argv)
{
    PruebasDatos pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_datos.moc"
