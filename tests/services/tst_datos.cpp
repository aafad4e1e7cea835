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
    void rollbackNoDejaRastro_data() { pruebas::agregaBackends(); }
    void rollbackNoDejaRastro();

private:
    void abre();

    orbanel::ServicioDatos m_datos;
};

void PruebasDatos::abre()
{
    QFETCH(QString, backend);
    orbanel::Sesion::Establece(pruebas::abre(backend, pruebas::Contenido::Demo), u"ANA"_s);
}

// A question (292 = Yes/No, No by default) answers 6 or 7; an error or warning answers 1.
// The module and the message's id are always shown. A short text reads on one line; a long
// one wraps instead of stretching the box across the screen.
void PruebasDatos::mensajeResponde_data()
{
    const QString corto = u"¿Desea eliminar el centro de costos?"_s;
    const QString largo = u"No se pudo guardar el centro de costos: "_s + u"la base de datos rechazó el cambio. "_s.repeated(8);
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("estilo");
    QTest::addColumn<QString>("boton"); // clicked; none: the key is pressed
    QTest::addColumn<int>("tecla");
    QTest::addColumn<int>("esperado");
    QTest::newRow("clic en Sí") << corto << 292 << u"botonSi"_s << 0 << 6;
    QTest::newRow("Enter: No por omisión") << corto << 292 << QString() << int(Qt::Key_Return) << 7;
    QTest::newRow("Escape: No") << corto << 292 << QString() << int(Qt::Key_Escape) << 7;
    QTest::newRow("error") << largo << 16 << QString() << int(Qt::Key_Return) << 1;
    QTest::newRow("aviso") << corto << 48 << QString() << int(Qt::Key_Escape) << 1;
}

void PruebasDatos::mensajeResponde()
{
    QFETCH(QString, texto);
    QFETCH(int, estilo);
    QFETCH(QString, boton);
    QFETCH(int, tecla);
    QFETCH(int, esperado);
    QString modulo;
    int ancho = 0;
    pruebas::EnModal([&](QWidget* modal) {
        if (!modal)
            return;
        modulo = modal->findChild<QLabel*>(u"textoModulo"_s)->text();
        ancho = modal->findChild<QLabel*>(u"textoMensaje"_s)->width();
        if (boton.isEmpty())
            pruebas::Tecla(modal, Qt::Key(tecla));
        else
            QTest::mouseClick(modal->findChild<QPushButton*>(boton), Qt::LeftButton);
    });
    QCOMPARE(m_datos.Mensaje(texto, estilo, u"Orbanel"_s, nullptr, u"KT508"_s, u"ERR-ID:7500010"_s), esperado);
    QVERIFY2(modulo.contains(u"KT508"_s) && modulo.contains(u"ERR-ID:7500010"_s), qPrintable(modulo));
    const int enUnaLinea = QLabel().fontMetrics().horizontalAdvance(texto);
    if (texto.size() < 60)
        QVERIFY2(ancho >= enUnaLinea, qPrintable(u"%1 < %2"_s.arg(ancho).arg(enUnaLinea)));
    else
        QVERIFY2(ancho > enUnaLinea / 6 && ancho < enUnaLinea / 2, qPrintable(u"%1 de %2"_s.arg(ancho).arg(enUnaLinea)));
}

// A stored setting wins over the default; a missing one gives its default, the empty text too:
// a database created without the demo has no settings, and the screen must still open.
void PruebasDatos::parametros()
{
    QVERIFY_SQL(abre());
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

// The service hands out the session's one connection; a rollback leaves no trace.
void PruebasDatos::rollbackNoDejaRastro()
{
    QVERIFY_SQL(abre());
    kt508::Connection& conexion = m_datos.Conexion();
    const QString cuenta = u"SELECT COUNT(*) FROM Centro_Costo WHERE CC_Cve_Centro_Costo = '777'"_s;
    conexion.BeginTrans();
    QVERIFY_SQL(conexion.Execute(
        u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) VALUES ('777', '0', 'X')"_s));
    QCOMPARE(pruebas::escalar(orbanel::Sesion::Conexion(), cuenta).toInt(), 1);
    conexion.RollbackTrans();
    QCOMPARE(pruebas::escalar(orbanel::Sesion::Conexion(), cuenta).toInt(), 0);
}

int EjecutaPruebasDatos(int argc, char** argv)
{
    PruebasDatos pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_datos.moc"
