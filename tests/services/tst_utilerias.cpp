#include "kt508/services/Controles.h"
#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "suite/Plataforma.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/ServicioUtilerias.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QDateTime ComoFechaHora(const QVariant& valor)
{
    if (valor.typeId() == QMetaType::QDateTime)
        return valor.toDateTime();
    return QDateTime::fromString(valor.toString().left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDate ComoFecha(const QVariant& valor)
{
    if (valor.typeId() == QMetaType::QDate || valor.typeId() == QMetaType::QDateTime)
        return valor.toDate();
    return QDate::fromString(valor.toString().left(10), QStringLiteral("yyyy-MM-dd"));
}

QVariant Escalar(const QString& sentencia, const QVariantList& valores = {})
{
    kt508::Recordset rs = orbanel::Sesion::Conexion().ExecuteParams(sentencia, valores);
    return rs.Eof() ? QVariant() : rs.Value(0);
}

void AgregaCentro(const QString& clave, const QString& acumula)
{
    orbanel::Sesion::Conexion().ExecuteParams(
        QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) VALUES (?, ?, ?)"),
        {clave, acumula, QStringLiteral("Centro ") + clave});
}

} // namespace

// The utility service on every backend, and its user-interface aids.
class PruebasUtilerias : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { orbanel::InstalaPlataforma(); }
    void cleanup() { orbanel::Sesion::Cierra(); }
    void valorCampoYSiguienteClave_data() { pruebas::agregaBackends(); }
    void valorCampoYSiguienteClave();
    void fechasIdaYVuelta_data();
    void fechasIdaYVuelta();
    void altaCuentaContable_data() { pruebas::agregaBackends(); }
    void altaCuentaContable();
    void validaCambio_data() { pruebas::agregaBackends(); }
    void validaCambio();
    void buscaEnArbol();

private:
    void abre(pruebas::Contenido contenido);

    orbanel::ServicioUtilerias m_util;
};

void PruebasUtilerias::abre(pruebas::Contenido contenido)
{
    QFETCH(QString, backend);
    orbanel::Sesion::Establece(pruebas::abre(backend, contenido), QStringLiteral("ANA"));
}

// A key without a row reads as free, also one that would break a spliced statement.
void PruebasUtilerias::valorCampoYSiguienteClave()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    QVERIFY_SQL(AgregaCentro(u"105"_s, u"0"_s));
    const auto valor = [this](const QString& clave) {
        return m_util.ValorCampo(u"Centro_Costo"_s, u"CC_Cve_Centro_Costo"_s, clave, u"CC_Descripcion"_s);
    };
    QCOMPARE(valor(u"105"_s), u"Centro 105"_s);
    QCOMPARE(valor(u"999"_s), QString());
    QCOMPARE(valor(u"1' OR '1'='1"_s), QString());
    QVERIFY_THROWS_EXCEPTION(kt508::Error, m_util.ValorCampo(u"Centro_Costo; DROP TABLE Centro_Costo"_s,
                                                             u"CC_Cve_Centro_Costo"_s, u"105"_s, u"CC_Descripcion"_s));

    // The next key follows the greatest numeric key; other keys do not count.
    const QString tabla = u"Grupo_Centro_Costo"_s;
    const QString campo = u"Gcc_Cve_Grupo_Centro_Costo"_s;
    QCOMPARE(m_util.SiguienteClave(tabla, campo), 1);
    for (const char* clave : {"7", "0012", "A99", "3-4", "99999X"})
        QVERIFY_SQL(orbanel::Sesion::Conexion().ExecuteParams(
            u"INSERT INTO Grupo_Centro_Costo (Gcc_Cve_Grupo_Centro_Costo) VALUES (?)"_s, {QString::fromLatin1(clave)}));
    QCOMPARE(m_util.SiguienteClave(tabla, campo), 13);
}

void PruebasUtilerias::fechasIdaYVuelta_data()
{
    QTest::addColumn<QString>("backend");
    for (const QString& nombre : pruebas::backends(pruebas::ConOdbc::Si))
        QTest::newRow(qPrintable(nombre)) << nombre;
}

// The texts go into the statements between quotes, as the screen writes them.
void PruebasUtilerias::fechasIdaYVuelta()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    const QDateTime momento(QDate(2024, 2, 29), QTime(23, 59, 58));
    const QDate dia(2023, 12, 31);
    QVERIFY_SQL(orbanel::Sesion::Conexion().Execute(
        QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, Fecha_Alta, Cc_UserDef_5) "
                       "VALUES ('1', '0', '%1', '%2')")
            .arg(m_util.FormatoFechaHora(momento), m_util.FormatoFecha(dia))));
    QCOMPARE(ComoFechaHora(Escalar(QStringLiteral("SELECT Fecha_Alta FROM Centro_Costo"))), momento);
    QCOMPARE(ComoFecha(Escalar(QStringLiteral("SELECT Cc_UserDef_5 FROM Centro_Costo"))), dia);

    QDateTime servidor;
    QVERIFY_SQL(servidor = m_util.FechaServidor());
    QVERIFY2(qAbs(servidor.secsTo(QDateTime::currentDateTime())) < 300, qPrintable(servidor.toString()));
    QCOMPARE(servidor.time().msec(), 0);
}

// The new account lives in the caller's transaction: a rollback takes it away.
void PruebasUtilerias::altaCuentaContable()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Demo));
    auto& db = orbanel::Sesion::Conexion();
    const QString cuantas = u"SELECT COUNT(*) FROM Cuenta_Contable"_s;
    const int antes = Escalar(cuantas).toInt();
    db.BeginTrans();
    const QString primera =
        m_util.AltaCuentaContable(u"5100"_s, u"COMERCIAL"_s, 1, true, 0, 0, true, QString(), u"GAS"_s);
    const QString segunda =
        m_util.AltaCuentaContable(u"5100"_s, u"OPERACIONES"_s, 1, true, 0, 1, false, QString(), u"GAS"_s);
    QVERIFY2(primera.startsWith(u"5100-"_s), qPrintable(m_util.UltimoError()));
    QVERIFY(!segunda.isEmpty() && primera != segunda);
    const auto fila = [&db](const QString& clave) {
        kt508::Recordset rs = db.ExecuteParams(u"SELECT Cc_Cuenta_Padre, Cc_Naturaleza, Cc_Resultado, Cc_Descripcion "
                                               "FROM Cuenta_Contable WHERE Cc_Cve_Cuenta_Contable = ?"_s, {clave});
        QStringList valores;
        for (int i = 0; !rs.Eof() && i < 4; ++i)
            valores.append(rs.Value(i).toString());
        return valores.join(u'|');
    };
    QCOMPARE(fila(primera), u"5100|AC|SI|COMERCIAL"_s);
    QCOMPARE(fila(segunda), u"5100|DE|NO|OPERACIONES"_s);
    db.RollbackTrans();
    QCOMPARE(Escalar(cuantas).toInt(), antes);

    // A missing parent or a failing statement: "" and the reason.
    QCOMPARE(m_util.AltaCuentaContable(u"9999"_s, u"X"_s, 0, true, 0, 0, true, QString(), QString()), QString());
    QVERIFY2(m_util.UltimoError().contains(u"9999"_s), qPrintable(m_util.UltimoError()));
    db.failContaining(u"INSERT INTO Cuenta_Contable"_s);
    QCOMPARE(m_util.AltaCuentaContable(u"5100"_s, u"X"_s, 0, true, 0, 0, true, QString(), QString()), QString());
    QVERIFY2(m_util.UltimoError().contains(u"Fallo provocado"_s), qPrintable(m_util.UltimoError()));
}

// A valid centre leaves an audit row (table, operator, server time); one under a missing
// parent, in a loop, or no centre at all is refused with the reason and audits nothing.
void PruebasUtilerias::validaCambio()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    const struct {
        const char* clave;
        const char* acumula;
    } centros[] = {{"1", "0"}, {"11", "1"}, {"2", "3"}, {"3", "21"}, {"21", "2"}, {"4", "44"}};
    for (const auto& c : centros)
        QVERIFY_SQL(AgregaCentro(QLatin1String(c.clave), QLatin1String(c.acumula)));
    const QDateTime antes = m_util.FechaServidor();
    QVERIFY2(m_util.ValidaCambio(u"CENTRO_COSTO"_s, u"11"_s, QString()), qPrintable(m_util.UltimoError()));
    kt508::Recordset rs = orbanel::Sesion::Conexion().Execute(u"SELECT Bc_Tabla, Bc_Operador, Bc_Fecha, Bc_Clave "
                                                              "FROM Bitacora_Cambios"_s);
    QVERIFY(!rs.Eof());
    QCOMPARE(rs.Fields(u"Bc_Clave"_s).Value.toString(), u"11"_s);
    QCOMPARE(rs.Fields(u"Bc_Tabla"_s).Value.toString(), u"CENTRO_COSTO"_s);
    QCOMPARE(rs.Fields(u"Bc_Operador"_s).Value.toString(), u"ANA"_s);
    const QDateTime fecha = ComoFechaHora(rs.Fields(u"Bc_Fecha"_s).Value);
    QVERIFY2(antes.secsTo(fecha) >= 0 && antes.secsTo(fecha) < 60, qPrintable(fecha.toString()));

    const struct {
        const char* clave;
        const char* motivo;
    } rechazos[] = {{"21", "ciclo"}, {"4", "44"}, {"5", "no existe"}};
    for (const auto& r : rechazos) {
        QVERIFY2(!m_util.ValidaCambio(u"CENTRO_COSTO"_s, QLatin1String(r.clave), QString()), r.clave);
        QVERIFY2(m_util.UltimoError().contains(QLatin1String(r.motivo)), qPrintable(m_util.UltimoError()));
    }
    QCOMPARE(Escalar(u"SELECT COUNT(*) FROM Bitacora_Cambios"_s).toInt(), 1);
}

// Display order, case and accents ignored, continuing after the selection, wrapping round;
// no match tells the user and leaves the selection.
void PruebasUtilerias::buscaEnArbol()
{
    QWidget ventana;
    auto* otro = new QLineEdit(&ventana);
    kt508::TreeView* arbol = kt508::plataforma().NuevoTreeView(&ventana);
    auto* filas = new QVBoxLayout(&ventana);
    filas->addWidget(otro);
    filas->addWidget(arbol);
    arbol->Add(QString(), kt508::tvwLast, u"N0"_s, u"RAIZ"_s, 1);
    arbol->Add(u"N0"_s, kt508::tvwChild, u"N1"_s, u"1 - Ventas norte"_s, 1);
    arbol->Add(u"N0"_s, kt508::tvwChild, u"N2"_s, u"2 - Operaciones"_s, 1);
    arbol->Add(u"N2"_s, kt508::tvwChild, u"N22"_s, u"22 - Ventas sur"_s, 1);
    arbol->Add(u"N22"_s, kt508::tvwPrevious, u"N21"_s, u"21 - Línea VENTAS"_s, 1); // added last, shown first
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    otro->setFocus();
    QTRY_VERIFY(otro->hasFocus());
    const auto seleccionado = [arbol] { return arbol->SelectedItem() ? arbol->SelectedItem()->Key() : QString(); };
    for (const QString& esperado : {u"N1"_s, u"N21"_s, u"N22"_s, u"N1"_s}) {
        m_util.BuscaEnArbol(*arbol, u"véntas"_s);
        QCOMPARE(seleccionado(), esperado);
    }
    QTRY_VERIFY(arbol->hasFocus());
    QVERIFY(arbol->Nodes(u"N2"_s)->Expanded()); // made visible

    QString texto, titulo;
    pruebas::EnModal([&](QWidget* modal) {
        if (!modal)
            return;
        texto = modal->findChild<QLabel*>(u"textoMensaje"_s)->text();
        titulo = modal->windowTitle();
        pruebas::Tecla(modal, Qt::Key_Return);
    });
    m_util.BuscaEnArbol(*arbol, u"Tesorería"_s);
    QCOMPARE(titulo, u"Buscar"_s);
    QCOMPARE(texto, u"No se encontró «Tesorería» en el árbol."_s);
    QCOMPARE(seleccionado(), u"N1"_s);

    // Keys sent to the window move the focus rather than type.
    QApplication::setActiveWindow(&ventana);
    otro->setFocus();
    QTRY_VERIFY(otro->hasFocus());
    m_util.EnviaTeclas(u"\t"_s, 0);
    QTRY_VERIFY(arbol->hasFocus());
    QCOMPARE(otro->text(), QString());
}

int EjecutaPruebasUtilerias(int argc, char** argv)
{
    PruebasUtilerias pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_utilerias.moc"
