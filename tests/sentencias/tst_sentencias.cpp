// Every statement the catalogue sends, command by command, driven as a user drives it on the demo
// catalogue with the server's clock fixed, against the list kept in enviadas.txt. Within one
// command the order may change (a level of the tree goes as one batch); the texts may not.
//
// KT508_ENVIADAS_NUEVAS=archivo writes the list this run sent to that file.
#include "kt508/catalogue/frmKT508.h"
#include "kt508/dialogs/frmMover.h"
#include "kt508/editor/frmCATAddCeCo.h"
#include "kt508/services/Controles.h"
#include "suite/ado/AdoConnection.h"
#include "tests/support/Backends.h"
#include "tests/support/Componente.h"
#include "tests/support/Interaccion.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using pruebas::Componente;
using pruebas::Contenido;

namespace {

// A command and the statements it sent, each as one line (a line break inside one as "\n").
using Enviadas = QList<std::pair<QString, QStringList>>;

QString Linea(QString sentencia)
{
    return sentencia.replace(u'\\', u"\\\\"_s).replace(u'\n', u"\\n"_s).replace(u'\r', u"\\r"_s);
}

QString Texto(const Enviadas& enviadas)
{
    QString texto;
    for (const auto& [comando, sentencias] : enviadas)
        texto += u"== "_s + comando + u'\n' + sentencias.join(u'\n') + (sentencias.isEmpty() ? u""_s : u"\n"_s);
    return texto;
}

Enviadas Lee(const QString& ruta)
{
    QFile archivo(ruta);
    Enviadas enviadas;
    if (!archivo.open(QIODevice::ReadOnly))
        return enviadas;
    for (const QString& linea : QString::fromUtf8(archivo.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        if (linea.startsWith(u"== "_s))
            enviadas.append({linea.mid(3), {}});
        else if (!enviadas.isEmpty())
            enviadas.last().second.append(linea);
    }
    return enviadas;
}

// The button, offered, opens the editor; the user fills it in and accepts with F4.
void EnEditor(frmKT508& frm, const char* boton, const std::function<void(frmCATAddCeCo&)>& llena)
{
    QVERIFY2(pruebas::Ofrecido(frm, QLatin1String(boton)), boton);
    QVERIFY2(pruebas::EnEditor(frm, QLatin1String(boton),
                               [llena](frmCATAddCeCo* ed) {
                                   llena(*ed);
                                   pruebas::Tecla(ed, Qt::Key_F4);
                               }),
             boton);
}

// A click on the centre's node, then on the toolbar's button, offered.
void Pulsa(frmKT508& frm, const QString& clave, const char* boton)
{
    pruebas::Clic(frm, clave);
    QVERIFY2(pruebas::Ofrecido(frm, QLatin1String(boton)), boton);
    pruebas::Lanza(frm, QLatin1String(boton));
}

} // namespace

class TstSentencias : public QObject {
    Q_OBJECT

private slots:
    void comoSeEnviaban();
};

void TstSentencias::comoSeEnviaban()
{
    Componente c(u"sqlite"_s, Contenido::Demo);
    c.dobles.utilerias->reloj = QDateTime(QDate(2026, 5, 8), QTime(11, 45, 0));
    c.db().setRecording(true);
    Enviadas enviadas;
    const auto comando = [&](const QString& nombre, const std::function<void()>& pasos) {
        c.db().clearRecorded();
        pasos();
        enviadas.append({nombre, c.db().recorded()});
    };

    frmKT508* frm = nullptr;
    comando(u"carga"_s, [&] { frm = &c.Carga(); });
    QVERIFY(QTest::qWaitForWindowActive(frm));
    comando(u"renombrar"_s, [&] {
        pruebas::Clic(*frm, u"3012"_s);
        pruebas::Tecla(frm, Qt::Key_F2);
        QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        pruebas::Escribe(frm, u"Proveedores"_s);
        frm->txtCuenta->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(frm->tvCeCos->Nodes(u"N3012"_s)->Text(), u"3012 - PROVEEDORES"_s);
    });
    comando(u"nuevo"_s, [&] {
        pruebas::Clic(*frm, u"2011"_s);
        EnEditor(*frm, "btnNuevo", [](frmCATAddCeCo& ed) {
            pruebas::Teclea(ed.txtClave, u"77"_s);
            pruebas::Teclea(ed.txtTexto, u"Linea de pintura"_s);
            pruebas::Tecla(&ed, Qt::Key_2, Qt::AltModifier);
            pruebas::Teclea(ed.txtUser3, u"12.5"_s);
            ed.dpUser5->setFocus();
            pruebas::Tecla(&ed, Qt::Key_Delete); // the date offered, emptied
            ed.dpUser6->setValue(QDate(2026, 6, 30));
        });
    });
    comando(u"editar"_s, [&] {
        pruebas::Clic(*frm, u"105"_s);
        EnEditor(*frm, "btnEditar", [](frmCATAddCeCo& ed) { pruebas::Teclea(ed.txtTexto, u"Ventas noreste"_s); });
    });
    comando(u"baja"_s, [&] { Pulsa(*frm, u"300"_s, "btnEliminar"); });
    comando(u"reactivación"_s, [&] { Pulsa(*frm, u"300"_s, "btnReactivar"); });
    const auto elimina = [&](const QString& clave, const QList<int>& respuestas) {
        c.dobles.datos->respuestas = respuestas;
        Pulsa(*frm, clave, "btnB1");
    };
    comando(u"eliminar una rama"_s, [&] { elimina(u"303"_s, {kt508::vbYes, kt508::vbYes}); });
    comando(u"eliminar una hoja"_s, [&] { elimina(u"401"_s, {kt508::vbYes}); });
    comando(u"eliminar la última hija"_s, [&] { elimina(u"402"_s, {kt508::vbYes}); });
    comando(u"eliminar un centro en uso"_s, [&] { elimina(u"501"_s, {kt508::vbYes}); });
    comando(u"cambiar cuenta"_s, [&] {
        c.dobles.entrada->respuestas = {u"5200"_s};
        Pulsa(*frm, u"302"_s, "btnB3");
    });
    comando(u"imprimir"_s, [&] { Pulsa(*frm, u"0"_s, "btnImprimir"); });
    comando(u"mover"_s, [&] {
        c.dobles.datos->respuestas = {kt508::vbYes};
        pruebas::Clic(*frm, u"1051"_s);
        pruebas::EnModal([](QWidget* modal) {
            if (auto* dialogo = qobject_cast<frmMover*>(modal)) {
                dialogo->txtNuevoPadre->setFocus();
                pruebas::Escribe(dialogo, u"106"_s);
                pruebas::Tecla(dialogo, Qt::Key_F4);
            }
        });
        pruebas::EnMenu([](QMenu* menu) {
            if (menu)
                QTest::keyClick(menu, Qt::Key_V);
        });
        frm->tvCeCos->setFocus();
        pruebas::Tecla(frm, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(frm->tvCeCos->Nodes(u"N1051"_s)->Parent(), frm->tvCeCos->Nodes(u"N106"_s));
    });

    // The commands ran as meant: the questions answered, one centre found in use, nothing else told.
    QStringList dichos;
    for (const pruebas::LlamadaMensaje& m : c.dobles.datos->llamadas)
        dichos << (m.aviso ? u"aviso"_s : m.errId);
    QCOMPARE(dichos,
             (QStringList{u"ERR-ID:7500011"_s, u"ERR-ID:7500013"_s, u"ERR-ID:7500011"_s, u"ERR-ID:7500011"_s,
                          u"ERR-ID:7500011"_s, u"aviso"_s, u"ERR-ID:7500035"_s}));
    QCOMPARE(c.dobles.impresor->llamadas.size(), 1);

    for (auto& [nombre, sentencias] : enviadas) {
        for (QString& s : sentencias)
            s = Linea(s);
    }
    if (const QString nuevas = qEnvironmentVariable("KT508_ENVIADAS_NUEVAS"); !nuevas.isEmpty()) {
        QFile archivo(nuevas);
        QVERIFY(archivo.open(QIODevice::WriteOnly) && archivo.write(Texto(enviadas).toUtf8()) > 0);
    }
    const Enviadas guardadas = Lee(QStringLiteral(KT508_ENVIADAS));
    QCOMPARE(enviadas.size(), guardadas.size());
    for (qsizetype i = 0; i < enviadas.size(); ++i) {
        QStringList enviada = enviadas[i].second, guardada = guardadas[i].second;
        enviada.sort();
        guardada.sort();
        QCOMPARE(enviadas[i].first, guardadas[i].first);
        QCOMPARE(enviada, guardada);
    }
}

QTEST_MAIN(TstSentencias)
#include "tst_sentencias.moc"
