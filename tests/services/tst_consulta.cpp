#include "suite/ado/AdoConnection.h"
#include "suite/consulta/ConsultaRegistro.h"
#include "suite/services/Sesion.h"
#include "tests/services/Modal.h"
#include "tests/support/Backends.h"

#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include <map>

// Record consultation: every column of the record, read-only.
class PruebasConsulta : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void muestraCadaColumna_data();
    void muestraCadaColumna();
    void registroInexistente_data();
    void registroInexistente();
};

void PruebasConsulta::cleanup()
{
    orbanel::Sesion::Cierra();
}

void PruebasConsulta::muestraCadaColumna_data()
{
    pruebas::agregaBackends();
}

void PruebasConsulta::muestraCadaColumna()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    orbanel::Sesion::Establece(std::move(db), QStringLiteral("ANA"));
    kt508::Recordset columnas = orbanel::Sesion::Conexion().Execute(QStringLiteral("SELECT * FROM Centro_Costo"));

    std::map<QString, QString> valores;
    int filas = -1;
    bool editable = false;
    pruebas::EsperaModal espera([&](QWidget* modal) {
        auto* tabla = modal->findChild<QTableWidget*>(QStringLiteral("tablaCampos"));
        if (tabla) {
            filas = tabla->rowCount();
            for (int i = 0; i < filas; ++i) {
                valores[tabla->item(i, 0)->text().toLower()] = tabla->item(i, 1)->text();
                editable = editable || (tabla->item(i, 1)->flags() & Qt::ItemIsEditable);
            }
        }
        modal->close();
    });
    orbanel::ConsultaRegistro servicio;
    kt508::IConsultaRegistro& consulta = servicio; // as the screen calls it
    consulta.Muestra(QStringLiteral("Centro_Costo"), QStringLiteral("Cc_Cve_Centro_Costo"), QStringLiteral("105"));
    QVERIFY(espera.Atendida());
    QCOMPARE(espera.Titulo(), QStringLiteral("Centro_Costo"));
    QCOMPARE(filas, columnas.FieldCount());
    QCOMPARE(valores[QStringLiteral("cc_descripcion")], QStringLiteral("Ventas norte"));
    QCOMPARE(valores[QStringLiteral("cc_acumula")], QStringLiteral("100"));
    QCOMPARE(valores[QStringLiteral("oper_baja")], QStringLiteral("(nulo)")); // an active centre was never retired
    QVERIFY(!editable);
}

void PruebasConsulta::registroInexistente_data()
{
    pruebas::agregaBackends();
}

// A missing record and a name that is no column are told to the user; nothing escapes.
void PruebasConsulta::registroInexistente()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    orbanel::Sesion::Establece(std::move(db), QStringLiteral("ANA"));

    const struct {
        const char* campo;
        const char* clave;
        const char* dice;
    } casos[] = {{"Cc_Cve_Centro_Costo", "0", "No existe"}, {"Cc_Cve_Centro_Costo = '1' OR 1", "1", "no es un nombre"}};
    for (const auto& c : casos) {
        QString texto;
        bool esVentanaDeConsulta = true;
        pruebas::EsperaModal espera([&](QWidget* modal) {
            esVentanaDeConsulta = modal->findChild<QTableWidget*>() != nullptr;
            if (auto* etiqueta = modal->findChild<QLabel*>(QStringLiteral("textoMensaje")))
                texto = etiqueta->text();
            modal->close();
        });
        orbanel::ConsultaRegistro servicio;
        static_cast<kt508::IConsultaRegistro&>(servicio).Muestra(QStringLiteral("Centro_Costo"),
                                                                 QLatin1String(c.campo), QLatin1String(c.clave));
        QVERIFY(espera.Atendida());
        QVERIFY(!esVentanaDeConsulta);
        QVERIFY2(texto.contains(QLatin1String(c.dice)), qPrintable(texto));
    }
}

int EjecutaPruebasConsulta(int argc, char** argv)
{
    PruebasConsulta pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_consulta.moc"
