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
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QVariant Escalar(const QString& sentencia)
{
    return pruebas::escalar(orbanel::Sesion::Conexion(), sentencia);
}

void AgregaCentro(const QString& clave, const QString& acumula)
{
    orbanel::Sesion::Conexion().ExecuteParams(
        u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion) VALUES (?, ?, ?)"_s,
        {clave, acumula, u"Centro "_s + clave});
}

} // namespace

// The utility service on every backend, and its search in the tree.
class PruebasUtilerias : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { orbanel::InstalaPlataforma(); }
    void cleanup() { orbanel::Sesion::Cierra(); }
    void valorCampoYSiguienteClave_data() { pruebas::agregaBackends(); }
    void valorCampoYSiguienteClave();
    void fechasIdaYVuelta_data() { pruebas::agregaBackends(pruebas::ConOdbc::Si); }
    void fechasIdaYVuelta();
    void fechaServidorSinIdaYVuelta_data() { pruebas::agregaBackends(); }
    void fechaServidorSinIdaYVuelta();
    void validaCambio_data() { pruebas::agregaBackends(); }
    void validaCambio();
    void buscaEnArbol();
    void enviaTeclasMueveElFoco();

private:
    void abre(pruebas::Contenido contenido);

    orbanel::ServicioUtilerias m_util;
};

void PruebasUtilerias::abre(pruebas::Contenido contenido)
{
    QFETCH(QString, backend);
    orbanel::Sesion::Establece(pruebas::abre(backend, contenido), u"ANA"_s);
}

// A key without a row reads as free; the next key follows the greatest numeric key only.
void PruebasUtilerias::valorCampoYSiguienteClave()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    QVERIFY_SQL(AgregaCentro(u"105"_s, u"0"_s));
    for (const auto& [clave, esperado] :
         {std::pair{u"105"_s, u"Centro 105"_s}, std::pair{u"1' OR '1'='1"_s, QString()}})
        QCOMPARE(m_util.ValorCampo(u"Centro_Costo"_s, u"CC_Cve_Centro_Costo"_s, clave, u"CC_Descripcion"_s), esperado);

    QCOMPARE(m_util.SiguienteClave(u"Grupo_Centro_Costo"_s, u"Gcc_Cve_Grupo_Centro_Costo"_s), 1);
    for (const char* clave : {"7", "0012", "A99", "99999X"})
        QVERIFY_SQL(orbanel::Sesion::Conexion().ExecuteParams(
            u"INSERT INTO Grupo_Centro_Costo (Gcc_Cve_Grupo_Centro_Costo) VALUES (?)"_s, {QString::fromLatin1(clave)}));
    QCOMPARE(m_util.SiguienteClave(u"Grupo_Centro_Costo"_s, u"Gcc_Cve_Grupo_Centro_Costo"_s), 13);
}

// The text goes into the statement between quotes, as the screen writes it, and reads back:
// the audit stamp in a date-and-time column, a user date in a date column.
void PruebasUtilerias::fechasIdaYVuelta()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    QVERIFY_SQL(orbanel::Sesion::Conexion().Execute(
        u"INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, Fecha_Alta, Cc_UserDef_5) VALUES ('1', '0', '%1', '%2')"_s
            .arg(m_util.FormatoFechaHora(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58))),
                 m_util.FormatoFecha(QDate(2031, 12, 31)))));
    // Typed by the driver (shown in ISO form) or text.
    const auto leido = [](const QString& columna, int largo) {
        return Escalar(u"SELECT %1 FROM Centro_Costo"_s.arg(columna)).toString().replace(u'T', u' ').left(largo);
    };
    QCOMPARE(leido(u"Fecha_Alta"_s, 19), u"2024-02-29 23:59:58"_s);
    QCOMPARE(leido(u"Cc_UserDef_5"_s, 10), u"2031-12-31"_s);
}

// The server's clock is asked once: a later stamp follows it, a second on, without a statement.
void PruebasUtilerias::fechaServidorSinIdaYVuelta()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    orbanel::ado::AdoConnection& db = orbanel::Sesion::Conexion();
    orbanel::ServicioUtilerias util;
    db.setRecording(true);
    const QDateTime primera = util.FechaServidor();
    QTest::qWait(1100);
    const QDateTime segunda = util.FechaServidor();
    QCOMPARE(db.recorded().size(), 1);
    QVERIFY2(primera.secsTo(segunda) >= 1 && primera.secsTo(segunda) <= 2, qPrintable(segunda.toString()));
    const QDateTime servidor = orbanel::ServicioUtilerias().FechaServidor();
    QVERIFY2(qAbs(segunda.secsTo(servidor)) <= 1, qPrintable(servidor.toString() + u' ' + segunda.toString()));
}

// A valid centre leaves an audit row; one under a missing parent is refused and audits nothing.
void PruebasUtilerias::validaCambio()
{
    QVERIFY_SQL(abre(pruebas::Contenido::Vacio));
    QVERIFY_SQL(AgregaCentro(u"1"_s, u"0"_s));
    QVERIFY_SQL(AgregaCentro(u"4"_s, u"44"_s));
    QVERIFY2(m_util.ValidaCambio(u"CENTRO_COSTO"_s, u"1"_s, QString()), qPrintable(m_util.UltimoError()));
    QVERIFY(!m_util.ValidaCambio(u"CENTRO_COSTO"_s, u"4"_s, QString()));
    QVERIFY2(m_util.UltimoError().contains(u"44"_s), qPrintable(m_util.UltimoError()));
    // One row in all: the valid centre's, stamped.
    QCOMPARE(Escalar(u"SELECT COUNT(*) FROM Bitacora_Cambios"_s).toInt(), 1);
    QCOMPARE(Escalar(u"SELECT Bc_Operador FROM Bitacora_Cambios WHERE Bc_Tabla = 'CENTRO_COSTO' AND Bc_Clave = '1' "
                     "AND Bc_Fecha IS NOT NULL"_s)
                 .toString(),
             u"ANA"_s);
}

// Display order, case and accents ignored, continuing after the selection, wrapping round;
// no match tells the user and leaves the selection.
void PruebasUtilerias::buscaEnArbol()
{
    QWidget ventana;
    kt508::TreeView* arbol = kt508::plataforma().NuevoTreeView(&ventana);
    arbol->Add(QString(), kt508::tvwLast, u"N0"_s, u"RAIZ"_s, 1);
    arbol->Add(u"N0"_s, kt508::tvwChild, u"N1"_s, u"1 - Ventas norte"_s, 1);
    arbol->Add(u"N0"_s, kt508::tvwChild, u"N2"_s, u"2 - Operaciones"_s, 1);
    arbol->Add(u"N2"_s, kt508::tvwChild, u"N22"_s, u"22 - Ventas sur"_s, 1);
    arbol->Add(u"N22"_s, kt508::tvwPrevious, u"N21"_s, u"21 - Línea VENTAS"_s, 1); // added last, shown first
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    const auto seleccionado = [arbol] { return arbol->SelectedItem() ? arbol->SelectedItem()->Key() : QString(); };
    for (const QString& esperado : {u"N1"_s, u"N21"_s, u"N22"_s, u"N1"_s}) {
        m_util.BuscaEnArbol(*arbol, u"véntas"_s);
        QCOMPARE(seleccionado(), esperado);
    }
    QVERIFY(arbol->Nodes(u"N2"_s)->Expanded()); // made visible

    QString texto;
    pruebas::EnModal([&](QWidget* modal) {
        if (!modal)
            return;
        texto = modal->findChild<QLabel*>(u"textoMensaje"_s)->text();
        pruebas::Tecla(modal, Qt::Key_Return);
    });
    m_util.BuscaEnArbol(*arbol, u"Tesorería"_s);
    QCOMPARE(texto, u"No se encontró «Tesorería» en el árbol."_s);
    QCOMPARE(seleccionado(), u"N1"_s);
}

// A tab sent to the focus moves it as the key would: forward, once per tab, after the caller's
// handler has returned.
void PruebasUtilerias::enviaTeclasMueveElFoco()
{
    QWidget ventana;
    auto* analizar = new QCheckBox(u"Analizar"_s, &ventana); // tab order is that of creation
    QWidget* campos[] = {analizar, new QLineEdit(&ventana), new QLineEdit(&ventana)};
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    analizar->setFocus();
    for (QWidget* siguiente : {campos[1], campos[2]}) {
        m_util.EnviaTeclas(u"\t"_s, 0);
        QTRY_COMPARE(QApplication::focusWidget(), siguiente);
    }
    QVERIFY(!analizar->isChecked());
}

int EjecutaPruebasUtilerias(int argc, char** argv)
{
    PruebasUtilerias pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_utilerias.moc"
