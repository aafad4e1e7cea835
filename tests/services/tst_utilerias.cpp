#include "kt508/services/Controles.h"
#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "suite/Plataforma.h"
#include "suite/ado/AdoConnection.h"
#include "suite/services/ServicioUtilerias.h"
#include "suite/services/Sesion.h"
#include "tests/services/Modal.h"
#include "tests/support/Backends.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>


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
    void initTestCase();
    void cleanup();

    void valorCampo_data();
    void valorCampo();
    void siguienteClave_data();
    void siguienteClave();
    void fechasIdaYVuelta_data();
    void fechasIdaYVuelta();
    void altaCuentaContable_data();
    void altaCuentaContable();
    void altaCuentaContableFalla_data();
    void altaCuentaContableFalla();
    void validaCambio_data();
    void validaCambio();
    void validaCambioRechaza_data();
    void validaCambioRechaza();

    void buscaEnArbol();
    void buscaEnArbolSinCoincidencia();
    void enviaTeclasMueveElFoco();

private:
    void abre(pruebas::Contenido contenido);

    orbanel::ServicioUtilerias m_util;
};

void PruebasUtilerias::initTestCase()
{
    orbanel::InstalaPlataforma();
}

void PruebasUtilerias::cleanup()
{
    orbanel::Sesion::Cierra();
}

void PruebasUtilerias::abre(pruebas::Contenido contenido)
{
    QFETCH(QString, backend);
    orbanel::Sesion::Establece(pruebas::abre(backend, contenido), QStringLiteral("ANA"));
}

void PruebasUtilerias::valorCampo_data()
{
    pruebas::agregaBackends();
}

void PruebasUtilerias::valorCampo()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Demo));
    QCOMPARE(m_util.ValorCampo(QStringLiteral("Centro_Costo"), QStringLiteral("CC_Cve_Centro_Costo"),
                               QStringLiteral("105"), QStringLiteral("CC_Descripcion")),
             QStringLiteral("Ventas norte"));
    // A key without a row reads as free, also one that would break a spliced statement.
    for (const QString& clave : {QStringLiteral("999"), QStringLiteral("1' OR '1'='1")}) {
        QString valor = QStringLiteral("x");
        QVERIFY_SQL(valor = m_util.ValorCampo(QStringLiteral("Centro_Costo"), QStringLiteral("CC_Cve_Centro_Costo"),
                                              clave, QStringLiteral("CC_Descripcion")));
        QCOMPARE(valor, QString());
    }
    QVERIFY_THROWS_EXCEPTION(kt508::Error,
                             m_util.ValorCampo(QStringLiteral("Centro_Costo; DROP TABLE Centro_Costo"),
                                               QStringLiteral("CC_Cve_Centro_Costo"), QStringLiteral("105"),
                                               QStringLiteral("CC_Descripcion")));
}

void PruebasUtilerias::siguienteClave_data()
{
    pruebas::agregaBackends();
}

void PruebasUtilerias::siguienteClave()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    const QString tabla = QStringLiteral("Grupo_Centro_Costo");
    const QString campo = QStringLiteral("Gcc_Cve_Grupo_Centro_Costo");
    QCOMPARE(m_util.SiguienteClave(tabla, campo), 1);
    for (const char* clave : {"7", "0012", "A99", "3-4", "99999X"})
        QVERIFY_SQL(orbanel::Sesion::Conexion().ExecuteParams(
            QStringLiteral("INSERT INTO Grupo_Centro_Costo (Gcc_Cve_Grupo_Centro_Costo) VALUES (?)"),
            {QString::fromLatin1(clave)}));
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

void PruebasUtilerias::altaCuentaContable_data()
{
    pruebas::agregaBackends();
}

// The new account lives in the caller's transaction: a rollback takes it away.
void PruebasUtilerias::altaCuentaContable()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Demo));
    auto& db = orbanel::Sesion::Conexion();
    const int antes = Escalar(QStringLiteral("SELECT COUNT(*) FROM Cuenta_Contable")).toInt();

    db.BeginTrans();
    const QString primera = m_util.AltaCuentaContable(QStringLiteral("5100"), QStringLiteral("COMERCIAL"), 1, true, 0,
                                                      0, true, QString(), QStringLiteral("GAS"));
    const QString segunda = m_util.AltaCuentaContable(QStringLiteral("5100"), QStringLiteral("OPERACIONES"), 1, true,
                                                      0, 1, false, QString(), QStringLiteral("GAS"));
    QVERIFY2(primera.startsWith(QStringLiteral("5100-")), qPrintable(m_util.UltimoError()));
    QVERIFY(!segunda.isEmpty());
    QVERIFY(primera != segunda);
    kt508::Recordset rs = db.ExecuteParams(
        QStringLiteral("SELECT Cc_Cuenta_Padre, Cc_Naturaleza, Cc_Resultado, Cc_Descripcion, Cc_Afectable "
                       "FROM Cuenta_Contable WHERE Cc_Cve_Cuenta_Contable = ?"),
        {primera});
    QVERIFY(!rs.Eof());
    QCOMPARE(rs.Fields(QStringLiteral("Cc_Cuenta_Padre")).Value.toString(), QStringLiteral("5100"));
    QCOMPARE(rs.Fields(QStringLiteral("Cc_Naturaleza")).Value.toString(), QStringLiteral("AC"));
    QCOMPARE(rs.Fields(QStringLiteral("Cc_Resultado")).Value.toString(), QStringLiteral("SI"));
    QCOMPARE(rs.Fields(QStringLiteral("Cc_Descripcion")).Value.toString(), QStringLiteral("COMERCIAL"));
    QCOMPARE(rs.Fields(QStringLiteral("Cc_Afectable")).Value.toInt(), 1);
    QCOMPARE(Escalar(QStringLiteral("SELECT Cc_Naturaleza FROM Cuenta_Contable WHERE Cc_Cve_Cuenta_Contable = ?"),
                     {segunda}).toString(),
             QStringLiteral("DE"));
    db.RollbackTrans();

    QCOMPARE(Escalar(QStringLiteral("SELECT COUNT(*) FROM Cuenta_Contable")).toInt(), antes);
}

void PruebasUtilerias::altaCuentaContableFalla_data()
{
    pruebas::agregaBackends();
}

void PruebasUtilerias::altaCuentaContableFalla()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Demo));
    QCOMPARE(m_util.AltaCuentaContable(QStringLiteral("9999"), QStringLiteral("X"), 0, true, 0, 0, true, QString(),
                                       QString()),
             QString());
    QVERIFY2(m_util.UltimoError().contains(QStringLiteral("9999")), qPrintable(m_util.UltimoError()));

    orbanel::Sesion::Conexion().failContaining(QStringLiteral("INSERT INTO Cuenta_Contable"));
    QCOMPARE(m_util.AltaCuentaContable(QStringLiteral("5100"), QStringLiteral("X"), 0, true, 0, 0, true, QString(),
                                       QString()),
             QString());
    QVERIFY2(m_util.UltimoError().contains(QStringLiteral("Fallo provocado")), qPrintable(m_util.UltimoError()));
    orbanel::Sesion::Conexion().clearFailure();
}

void PruebasUtilerias::validaCambio_data()
{
    pruebas::agregaBackends();
}

void PruebasUtilerias::validaCambio()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Demo));
    const QDateTime antes = m_util.FechaServidor();
    QVERIFY2(m_util.ValidaCambio(QStringLiteral("CENTRO_COSTO"), QStringLiteral("10511"), QString()),
             qPrintable(m_util.UltimoError()));
    kt508::Recordset rs = orbanel::Sesion::Conexion().ExecuteParams(
        QStringLiteral("SELECT Bc_Tabla, Bc_Operador, Bc_Fecha FROM Bitacora_Cambios WHERE Bc_Clave = ?"),
        {QStringLiteral("10511")});
    QVERIFY(!rs.Eof());
    QCOMPARE(rs.Fields(QStringLiteral("Bc_Tabla")).Value.toString(), QStringLiteral("CENTRO_COSTO"));
    QCOMPARE(rs.Fields(QStringLiteral("Bc_Operador")).Value.toString(), QStringLiteral("ANA"));
    const QDateTime fecha = ComoFechaHora(rs.Fields(QStringLiteral("Bc_Fecha")).Value);
    QVERIFY2(antes.secsTo(fecha) >= 0 && antes.secsTo(fecha) < 60, qPrintable(fecha.toString()));
}

void PruebasUtilerias::validaCambioRechaza_data()
{
    pruebas::agregaBackends();
}

// A centre under a missing parent, a loop, or no centre at all: refused, nothing audited.
void PruebasUtilerias::validaCambioRechaza()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    QVERIFY_SQL(AgregaCentro(QStringLiteral("1"), QStringLiteral("0")));
    QVERIFY_SQL(AgregaCentro(QStringLiteral("11"), QStringLiteral("1")));
    QVERIFY_SQL(AgregaCentro(QStringLiteral("2"), QStringLiteral("3")));
    QVERIFY_SQL(AgregaCentro(QStringLiteral("3"), QStringLiteral("21")));
    QVERIFY_SQL(AgregaCentro(QStringLiteral("21"), QStringLiteral("2")));
    QVERIFY_SQL(AgregaCentro(QStringLiteral("4"), QStringLiteral("44")));

    QVERIFY(m_util.ValidaCambio(QStringLiteral("Centro_Costo"), QStringLiteral("11"), QString()));
    const struct {
        const char* clave;
        const char* motivo;
    } rechazos[] = {{"21", "ciclo"}, {"4", "44"}, {"5", "no existe"}};
    for (const auto& r : rechazos) {
        QVERIFY2(!m_util.ValidaCambio(QStringLiteral("CENTRO_COSTO"), QLatin1String(r.clave), QString()), r.clave);
        QVERIFY2(m_util.UltimoError().contains(QLatin1String(r.motivo)), qPrintable(m_util.UltimoError()));
    }
    QCOMPARE(Escalar(QStringLiteral("SELECT COUNT(*) FROM Bitacora_Cambios")).toInt(), 1);
}

namespace {

// The catalogue's shape: root, two branches, the second with an accented leaf
// that was added last but sits first among its siblings.
kt508::TreeView* ArbolDePrueba(QWidget* ventana)
{
    kt508::TreeView* arbol = kt508::plataforma().NuevoTreeView(ventana);
    arbol->Add(QString(), kt508::tvwLast, QStringLiteral("N0"), QStringLiteral("RAIZ"), 1);
    arbol->Add(QStringLiteral("N0"), kt508::tvwChild, QStringLiteral("N1"), QStringLiteral("1 - Ventas norte"), 1);
    arbol->Add(QStringLiteral("N1"), kt508::tvwChild, QStringLiteral("N11"), QStringLiteral("11 - Mostrador"), 1);
    arbol->Add(QStringLiteral("N0"), kt508::tvwChild, QStringLiteral("N2"), QStringLiteral("2 - Operaciones"), 1);
    arbol->Add(QStringLiteral("N2"), kt508::tvwChild, QStringLiteral("N22"), QStringLiteral("22 - Ventas sur"), 1);
    arbol->Add(QStringLiteral("N22"), kt508::tvwPrevious, QStringLiteral("N21"),
               QStringLiteral("21 - Línea VENTAS"), 1);
    return arbol;
}

QString Seleccionado(const kt508::TreeView& arbol)
{
    return arbol.SelectedItem() ? arbol.SelectedItem()->Key() : QString();
}

} // namespace

void PruebasUtilerias::buscaEnArbol()
{
    QWidget ventana;
    auto* otro = new QLineEdit(&ventana);
    kt508::TreeView* arbol = ArbolDePrueba(&ventana);
    auto* filas = new QVBoxLayout(&ventana);
    filas->addWidget(otro);
    filas->addWidget(arbol);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    otro->setFocus();
    QTRY_VERIFY(otro->hasFocus());

    // Display order, case and accents ignored, continuing after the selection, wrapping round.
    const QStringList esperados{QStringLiteral("N1"), QStringLiteral("N21"), QStringLiteral("N22"), QStringLiteral("N1")};
    for (const QString& esperado : esperados) {
        m_util.BuscaEnArbol(*arbol, QStringLiteral("véntas"));
        QCOMPARE(Seleccionado(*arbol), esperado);
    }
    QTRY_VERIFY(arbol->hasFocus());
    m_util.BuscaEnArbol(*arbol, QStringLiteral("linea"));
    QCOMPARE(Seleccionado(*arbol), QStringLiteral("N21"));
    QVERIFY(arbol->Nodes(QStringLiteral("N2"))->Expanded()); // made visible
}

void PruebasUtilerias::buscaEnArbolSinCoincidencia()
{
    QWidget ventana;
    kt508::TreeView* arbol = ArbolDePrueba(&ventana);
    arbol->setSelectedItem(arbol->Nodes(QStringLiteral("N11")));
    QString texto;
    pruebas::EsperaModal espera([&](QWidget* modal) {
        texto = modal->findChild<QLabel*>(QStringLiteral("textoMensaje"))->text();
        pruebas::PulsaEnModal(modal, Qt::Key_Return);
    });
    m_util.BuscaEnArbol(*arbol, QStringLiteral("Tesorería"));
    QVERIFY(espera.Atendida());
    QCOMPARE(espera.Titulo(), QStringLiteral("Buscar"));
    QCOMPARE(texto, QStringLiteral("No se encontró «Tesorería» en el árbol."));
    QCOMPARE(Seleccionado(*arbol), QStringLiteral("N11"));
}

void PruebasUtilerias::enviaTeclasMueveElFoco()
{
    QWidget ventana;
    auto* primero = new QLineEdit(&ventana);
    auto* segundo = new QLineEdit(&ventana);
    auto* filas = new QVBoxLayout(&ventana);
    filas->addWidget(primero);
    filas->addWidget(segundo);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    primero->setFocus();
    QTRY_VERIFY(primero->hasFocus());
    m_util.EnviaTeclas(QStringLiteral("\t"), 0);
    QTRY_VERIFY(segundo->hasFocus());
    QCOMPARE(primero->text(), QString()); // moved, not typed
}

int EjecutaPruebasUtilerias(int argc, char** argv)
{
    PruebasUtilerias pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_utilerias.moc"
