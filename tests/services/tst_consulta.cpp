#include "suite/ado/AdoConnection.h"
#include "suite/consulta/ConsultaRegistro.h"
#include "suite/services/Sesion.h"
#include "tests/support/Backends.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

// Record consultation: every column of the record, read-only; what cannot be shown is told.
class PruebasConsulta : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { orbanel::Sesion::Cierra(); }
    void muestraRegistro_data() { pruebas::agregaBackends(); }
    void muestraRegistro();
};

void PruebasConsulta::muestraRegistro()
{
    QFETCH(QString, backend);
    ABRE_BACKEND(db, backend, pruebas::Contenido::Demo);
    orbanel::Sesion::Establece(std::move(db), u"ANA"_s);
    const int columnas = orbanel::Sesion::Conexion().Execute(u"SELECT * FROM Centro_Costo"_s).FieldCount();
    orbanel::ConsultaRegistro servicio;
    kt508::IConsultaRegistro& consulta = servicio; // as the screen calls it

    QMap<QString, QString> valores;
    bool editable = false;
    QString titulo, focoTrasTab;
    pruebas::EnModal([&](QWidget* modal) {
        auto* tabla = modal ? modal->findChild<QTableWidget*>(u"tablaCampos"_s) : nullptr;
        if (!tabla)
            return;
        titulo = modal->windowTitle();
        for (int i = 0; i < tabla->rowCount(); ++i) {
            valores[tabla->item(i, 0)->text().toLower()] = tabla->item(i, 1)->text();
            editable = editable || (tabla->item(i, 1)->flags() & Qt::ItemIsEditable);
        }
        // Read with the arrows, then Tab and Space on Cerrar: the keyboard gets out of the list.
        tabla->setFocus();
        pruebas::Tecla(modal, Qt::Key_Down);
        pruebas::Tecla(modal, Qt::Key_Tab);
        if (auto* boton = qobject_cast<QPushButton*>(QApplication::focusWidget()))
            focoTrasTab = boton->text();
        pruebas::Tecla(modal, Qt::Key_Space);
    });
    consulta.Muestra(u"Centro_Costo"_s, u"Cc_Cve_Centro_Costo"_s, u"105"_s);
    QCOMPARE(titulo, u"Centro_Costo"_s);
    QCOMPARE(int(valores.size()), columnas);
    QCOMPARE(valores[u"cc_descripcion"_s], u"Ventas norte"_s);
    QCOMPARE(valores[u"cc_acumula"_s], u"100"_s);
    QVERIFY(!editable);
    QCOMPARE(focoTrasTab, u"Cerrar"_s);

    // A missing record: a message, no listing.
    QString texto;
    pruebas::EnModal([&](QWidget* modal) {
        auto* etiqueta = modal ? modal->findChild<QLabel*>(u"textoMensaje"_s) : nullptr;
        texto = !etiqueta || modal->findChild<QTableWidget*>() ? u"sin mensaje o con listado"_s : etiqueta->text();
        if (modal)
            modal->close();
    });
    consulta.Muestra(u"Centro_Costo"_s, u"Cc_Cve_Centro_Costo"_s, u"0"_s);
    QVERIFY2(texto.contains(u"No existe"_s), qPrintable(texto));
}

int EjecutaPruebasConsulta(int argc, char** argv)
{
    PruebasConsulta pruebas;
    return QTest::qExec(&pruebas, argc, argv);
}

#include "tst_consulta.moc"
