#include "tests/support/Componente.h"

#include "kt508/catalogue/frmKT508.h"
#include "kt508/editor/frmCATAddCeCo.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Plataforma.h"
#include "suite/schema/Schema.h"
#include "suite/services/Sesion.h"
#include "tests/support/Interaccion.h"

#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace pruebas {

Componente::Componente(const QString& backend, Contenido contenido)
{
    orbanel::Sesion::Establece(abre(backend, contenido), QStringLiteral("PRUEBAS"));
    dobles = InstalaDobles();
    dobles.datos->transaccionAbierta = [conexion = &db()] { return conexion->inTransaction(); };
    m_datos = kt508::plataforma().NuevoDatos();
    m_utilerias = kt508::plataforma().NuevoUtilerias();
    servicios.Datos = m_datos.get();
    servicios.Utilerias = m_utilerias.get();
}

Componente::~Componente()
{
    if (frmKT508::Existe())
        delete &frmKT508::Instancia(servicios);
    dobles.datos->transaccionAbierta = nullptr;
    orbanel::Sesion::Cierra();
}

orbanel::ado::AdoConnection& Componente::db() const
{
    return orbanel::Sesion::Conexion();
}

frmKT508& Componente::Carga()
{
    frmKT508& frm = frmKT508::Instancia(servicios);
    frm.show();
    if (!QTest::qWaitForWindowExposed(&frm))
        qWarning("la ventana del catálogo no llegó a mostrarse");
    return frm;
}

void Componente::Inserta(const QString& clave, const QString& padre, const QVariant& descripcion, int tipo,
                         const QVariant& estado)
{
    db().ExecuteParams(QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, "
                                      "CC_Tipo, Es_Cve_Estado) VALUES (?, ?, ?, ?, ?)"),
                       {clave, padre, descripcion, tipo, estado});
}

void Componente::Inserta(const QStringList& centros)
{
    for (const QString& v : centros)
        Inserta(v.section(u'|', 0, 0), v.section(u'|', 1, 1), v.section(u'|', 2, 2), v.section(u'|', 3, 3).toInt(),
                v.section(u'|', 4, 4));
}

QStringList Componente::Filas(const QString& consulta) const
{
    static const QRegularExpression momento(QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d)[ T](\\d\\d:\\d\\d).*"));
    QStringList filas;
    for (kt508::Recordset rs = db().Execute(consulta); !rs.Eof(); rs.MoveNext()) {
        QStringList fila;
        for (int i = 0; i < rs.FieldCount(); ++i)
            fila << (rs.Value(i).isNull() ? QStringLiteral("-")
                                          : rs.Value(i).toString().replace(momento, QStringLiteral("\\1 \\2")));
        filas << fila.join(u'|');
    }
    return filas;
}

kt508::Node* Nodo(frmKT508& frm, const QString& clave)
{
    return frm.tvCeCos->Nodes(u'N' + clave);
}

QStringList Vista(kt508::Node* nodo, int nivel)
{
    QStringList filas{QStringLiteral("%1%2 %3 %4%5")
                          .arg(QString(nivel, u' '), nodo->Key())
                          .arg(nodo->Image())
                          .arg(nodo->Text(), nodo->Expanded() ? QStringLiteral(" +") : QString())};
    for (kt508::Node* hijo = nodo->Child(); hijo; hijo = hijo->Next())
        filas << Vista(hijo, nivel + 1);
    return filas;
}

void Clic(frmKT508& frm, const QString& clave, Qt::MouseButton boton)
{
    kt508::Node* nodo = Nodo(frm, clave);
    QVERIFY2(nodo, qPrintable(clave));
    nodo->EnsureVisible();
    auto* arbol = frm.tvCeCos->findChild<QTreeWidget*>();
    const QPoint punto = arbol->visualItemRect(dynamic_cast<QTreeWidgetItem*>(nodo)).center();
    QTest::mouseClick(frm.window()->windowHandle(), boton, {}, arbol->viewport()->mapTo(frm.window(), punto));
    QCOMPARE(frm.txtClave->Text(), clave);
}

void Teclea(kt508::txtVEX* campo, const QString& texto)
{
    campo->setFocus();
    QWidget* linea = campo->focusProxy() ? campo->focusProxy() : campo;
    QTest::keyClick(linea, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(linea, Qt::Key_Delete);
    Escribe(linea, texto);
    QTest::keyClick(linea, Qt::Key_Tab);
}

bool Ofrecido(frmKT508& frm, const QString& boton)
{
    auto* b = frm.Controles->findChild<QToolButton*>(boton);
    return b && b->isVisible() && b->isEnabled();
}

void Lanza(frmKT508& frm, const QString& boton)
{
    if (Ofrecido(frm, boton))
        return QTest::mouseClick(frm.Controles->findChild<QToolButton*>(boton), Qt::LeftButton);
    const QString evento =
        boton.mid(3) + (boton.startsWith(QLatin1String("btnB")) ? QStringLiteral("Click") : QString());
    QVERIFY2(QMetaObject::invokeMethod(frm.Controles, qPrintable(evento)), qPrintable(evento));
}

bool EnEditor(frmKT508& frm, const QString& boton, const std::function<void(frmCATAddCeCo*)>& accion)
{
    auto abierto = std::make_shared<int>(-1);
    EnModal(
        [accion, abierto](QWidget* modal) {
            auto* ed = qobject_cast<frmCATAddCeCo*>(modal);
            if (ed)
                accion ? accion(ed) : ed->hide();
            *abierto = ed != nullptr;
        },
        500);
    Lanza(frm, boton);
    return QTest::qWaitFor([abierto] { return *abierto >= 0; }) && *abierto == 1;
}

std::unique_ptr<orbanel::ado::AdoConnection> Otra(const QString& backend)
{
    return orbanel::schema::Abre(urlDe(backend));
}

} // namespace pruebas
