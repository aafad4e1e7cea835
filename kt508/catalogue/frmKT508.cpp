#include "kt508/catalogue/frmKT508.h"

#include "kt508/catalogue/Iconos.h"
#include "kt508/dialogs/CursorEspera.h"
#include "kt508/dialogs/frmInput.h"
#include "kt508/services/Connection.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Historial.h"
#include "kt508/services/Impresion.h"
#include "kt508/services/Plataforma.h"
#include "kt508/services/ReglasCentro.h"
#include "kt508/services/Teclas.h"
#include "kt508/services/Utilerias.h"
#include "kt508/store/Centro.h"
#include "kt508/store/GuardaTransaccion.h"
#include "kt508/store/Publico.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"
#include "kt508/store/Subarbol.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QTimer>
#include <QWidget>

#include <exception>
#include <memory>
#include <utility>

using kt508::Px;
using namespace Publico;

namespace {

QPointer<frmKT508> instancia;

// The window's own identifier, that of its tree's load: its handlers without one of their own use it.
constexpr const char* ErrVentana = "ERR-ID:7500034";

// How often the tree asks whether the catalogue changed.
constexpr int IntervaloSondeo = 2000;

constexpr int TwipsPorPixel = 15;
constexpr int TreeLeft = 120;
constexpr int TreeTop = 1080;
constexpr int FrameHeight = 1525;

int Twips(int pixels)
{
    return pixels * TwipsPorPixel;
}

} // namespace

frmKT508& frmKT508::Instancia(const Publico::Servicios& servicios)
{
    if (!instancia)
        instancia = new frmKT508(servicios);
    return *instancia;
}

bool frmKT508::Existe()
{
    return !instancia.isNull();
}

frmKT508::frmKT508(const Publico::Servicios& servicios)
    : servicios(servicios)
{
    setObjectName(QStringLiteral("frmKT508"));
    setWindowTitle(QStringLiteral("Catálogo de centros de costos"));
    resize(Px(8625), Px(5700));
}

frmKT508::~frmKT508()
{
    // Going, the window hides and its focus moves: a rename still open in the tree would end
    // and call back into this half-destroyed window. What is still being typed goes with it.
    for (QObject* control : findChildren<QObject*>())
        QObject::disconnect(control, nullptr, this, nullptr);
}

QObject* frmKT508::Padre() const
{
    return sPadre;
}

void frmKT508::setPadre(QObject* Valor)
{
    disconnect(m_alIrseElPadre);
    sPadre = Valor;
    // The screen lives inside the host's window: when that window is unloaded, so is the screen.
    if (Valor)
        m_alIrseElPadre = connect(Valor, &QObject::destroyed, this, [this] {
            hide();
            Descarga();
        });
}

QString frmKT508::Transaccion() const
{
    if (!sPadre)
        throw kt508::Error(QStringLiteral("La pantalla no tiene asignada la ventana anfitriona (Padre)."));
    const QVariant transaccion = sPadre->property("Transaccion");
    if (!transaccion.isValid())
        throw kt508::Error(QStringLiteral("La ventana anfitriona no tiene la propiedad Transaccion."));
    return servicios.Utilerias->TextoTransaccion(transaccion.toString(), QStringLiteral("Orbanel"));
}

QVariant frmKT508::TransaccionPorNombre() const
{
    try {
        return Transaccion();
    } catch (const kt508::Error&) {
        return {}; // as a host without the property answers
    }
}

bool frmKT508::Cargada() const
{
    return m_cargada;
}

QString frmKT508::Load()
{
    if (m_cargada || m_cargando)
        return {};
    m_cargando = true;
    QString fallo;
    try {
        CreaControles();
        ConectaEventos();
        Form_Load();
        m_cargada = true;
    } catch (const kt508::Error& e) {
        fallo = e.Description();
    } catch (const std::exception& e) {
        fallo = QString::fromLocal8Bit(e.what());
    } catch (...) {
        fallo = QStringLiteral("Error desconocido al cargar el catálogo de centros de costos.");
    }
    m_cargando = false;
    if (!m_cargada)
        Descarga();
    return fallo;
}

// Back to the state before the load: no controls, nothing offered, loaded again on next use.
void frmKT508::Descarga()
{
    m_cargada = false;
    delete tvCeCos;
    delete frFrame;
    delete Controles;
    delete colorVEX;
    delete ilIconos;
    tvCeCos = nullptr;
    frFrame = nullptr;
    Label1 = nullptr;
    txtClave = nullptr;
    Label2 = nullptr;
    txtCuenta = nullptr;
    Controles = nullptr;
    colorVEX = nullptr;
    ilIconos = nullptr;
    delete m_sondeo;
    m_sondeo = nullptr;
    m_version = -1;
    DefaultGroup.clear();
}

void frmKT508::CreaControles()
{
    const kt508::Plataforma& p = kt508::plataforma();
    colorVEX = p.NuevoColorVEX(this);

    Controles = p.NuevoControles(this);
    Controles->setObjectName(QStringLiteral("Controles"));
    Controles->setGeometry(0, 0, Px(8625), Px(960));
    Controles->setCaption(QStringLiteral("Catálogo de centros de costos"));
    Controles->setTabwidth(QStringLiteral("0"));
    Controles->setB1caption(QStringLiteral("Eliminar"));
    Controles->setB3caption(QStringLiteral("Cambiar cuenta contable"));
    Controles->setBshortcut(1, QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    Controles->setBshortcut(3, QKeySequence(Qt::CTRL | Qt::Key_U));
    Controles->setShowmenupopup(QStringLiteral("NO"));
    Controles->setShowwindowslist(QStringLiteral("SI"));
    Controles->setShowexitbutton(QStringLiteral("SI"));
    Controles->setOpcTable(QStringLiteral("Centro_Costo"));
    Controles->setOpcKey(QStringLiteral("Cc_Cve_Centro_Costo"));

    ilIconos = p.NuevaImageList(this);
    for (const int imagen : {Imagen::Activo, Imagen::ActivoAbierto, Imagen::Baja, Imagen::BajaAbierto})
        ilIconos->Add(IconoCentro(imagen));

    tvCeCos = p.NuevoTreeView(this);
    tvCeCos->setObjectName(QStringLiteral("tvCeCos"));
    tvCeCos->setGeometry(Px(TreeLeft), Px(TreeTop), Px(8295), Px(2895));
    tvCeCos->setImageList(ilIconos);
    tvCeCos->setFont(QFont(QStringLiteral("Franklin Gothic Medium"), 9));
    tvCeCos->setPathSeparator(QStringLiteral("\\"));
    tvCeCos->setLabelEdit(true);

    frFrame = new QGroupBox(this);
    frFrame->setObjectName(QStringLiteral("frFrame"));
    QFont calibri(QStringLiteral("Calibri"));
    calibri.setPointSizeF(8.25);
    frFrame->setFont(calibri);
    frFrame->setGeometry(Px(TreeLeft), Px(TreeTop + 2895 + 100), Px(8295), Px(FrameHeight));
    // The fields start below the frame's top line, not across it.
    const int dentro = frFrame->contentsRect().top();

    Label1 = p.NuevaEtiqueta(frFrame);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Px(120), dentro + Px(0), Px(975), Px(255));
    Label1->setCaption(QStringLiteral("Clave:"));
    Label1->setIdetiqueta(QStringLiteral("Clave"));
    Label1->setAlignment(1);
    Label1->setBackcolor(QColor(0xF5, 0xF5, 0xF5));

    txtClave = p.NuevoTexto(frFrame);
    txtClave->setObjectName(QStringLiteral("txtClave"));
    txtClave->setGeometry(Px(1200), dentro + Px(0), Px(1455), Px(300));
    txtClave->setLocked(true);

    Label2 = p.NuevaEtiqueta(frFrame);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(Px(120), dentro + Px(360), Px(975), Px(255));
    Label2->setCaption(QStringLiteral("Cuenta:"));
    Label2->setIdetiqueta(QStringLiteral("Cuenta"));
    Label2->setAlignment(1);

    txtCuenta = p.NuevoTexto(frFrame);
    txtCuenta->setObjectName(QStringLiteral("txtCuenta"));
    txtCuenta->setGeometry(Px(1200), dentro + Px(360), Px(3495), Px(300));
    txtCuenta->setLocked(true);

    QWidget::setTabOrder(Controles, txtClave);
    QWidget::setTabOrder(txtClave, txtCuenta);
    QWidget::setTabOrder(txtCuenta, tvCeCos);
}

void frmKT508::ConectaEventos()
{
    // A failure a command does not trap itself is told under its error path's identifier, not its
    // refusal's; the window's other handlers use the window's, that of its tree.
    const auto alMando = [this](void (kt508::Controles::*evento)(), const char* handler, const char* errId,
                                void (frmKT508::*comando)()) {
        connect(Controles, evento, this, [this, handler, errId, comando] {
            Protege(QLatin1String(handler), QLatin1String(errId), [this, comando] { (this->*comando)(); });
        });
    };
    alMando(&kt508::Controles::Salir, "Controles_Salir()", ErrVentana, &frmKT508::Controles_Salir);
    alMando(&kt508::Controles::Consulta, "Controles_Consulta()", ErrVentana, &frmKT508::Controles_Consulta);
    alMando(&kt508::Controles::Nuevo, "Controles_Nuevo()", "ERR-ID:7500026", &frmKT508::Controles_Nuevo);
    alMando(&kt508::Controles::Editar, "Controles_Editar()", "ERR-ID:7500019", &frmKT508::Controles_Editar);
    alMando(&kt508::Controles::Eliminar, "Controles_Eliminar()", "ERR-ID:7500024", &frmKT508::Controles_Eliminar);
    alMando(&kt508::Controles::Reactivar, "Controles_Reactivar()", "ERR-ID:7500031", &frmKT508::Controles_Reactivar);
    alMando(&kt508::Controles::B1Click, "Controles_B1Click()", "ERR-ID:7500015", &frmKT508::Controles_B1Click);
    alMando(&kt508::Controles::B3Click, "Controles_B3Click()", "ERR-ID:7500017", &frmKT508::Controles_B3Click);
    alMando(&kt508::Controles::Imprimir, "Controles_Imprimir()", "ERR-ID:7500025", &frmKT508::Controles_Imprimir);

    const QString errArbol = QLatin1String(ErrVentana);
    connect(tvCeCos, &kt508::TreeView::NodeClick, this, [this, errArbol](kt508::Node* Node) {
        Protege(QStringLiteral("tvCeCos_NodeClick()"), errArbol, [&] { tvCeCos_NodeClick(Node); });
    });
    connect(tvCeCos, &kt508::TreeView::AfterLabelEdit, this, [this, errArbol](int& Cancel, QString& NewString) {
        // A rename the store refused leaves the node as the store has it, and what the user typed in
        // its edit, to try again.
        const QString tecleado = NewString;
        bool hecho = false;
        Protege(QStringLiteral("tvCeCos_AfterLabelEdit()"), errArbol, [&] {
            tvCeCos_AfterLabelEdit(Cancel, NewString);
            hecho = true;
        });
        if (!hecho) {
            Cancel = 1;
            tvCeCos->StartLabelEdit(tecleado);
        }
    });
    connect(tvCeCos, &kt508::TreeView::Expand, this, [this, errArbol](kt508::Node* Node) {
        Protege(QStringLiteral("tvCeCos_Expand()"), errArbol, [&] { tvCeCos_Expand(Node); });
    });
    connect(tvCeCos, &kt508::TreeView::Collapse, this, [this, errArbol](kt508::Node* Node) {
        Protege(QStringLiteral("tvCeCos_Collapse()"), errArbol, [&] { tvCeCos_Collapse(Node); });
    });
    connect(tvCeCos, &kt508::TreeView::KeyDown, this, [this, errArbol](int& KeyCode, int Shift) {
        Protege(QStringLiteral("tvCeCos_KeyDown()"), errArbol, [&] { tvCeCos_KeyDown(KeyCode, Shift); });
    });
    connect(tvCeCos, &kt508::TreeView::NodeDrop, this, [this, errArbol](kt508::Node* Node, kt508::Node* Destino) {
        Protege(QStringLiteral("tvCeCos_NodeDrop()"), errArbol, [&] { tvCeCos_NodeDrop(Node, Destino); });
    });
    connect(tvCeCos, &kt508::TreeView::ContextMenu, this, [this, errArbol](const QPoint& posicion) {
        Protege(QStringLiteral("tvCeCos_ContextMenu()"), errArbol, [&] { tvCeCos_ContextMenu(posicion); });
    });
}

void frmKT508::Form_Load()
{
    colorVEX->ApplyScheme();
    Controles->setEnabledFlag(kt508::Bandera::Imprimir, true);
    CargarCecos();
    DefaultGroup = servicios.Datos
                       ->Parametro(QStringLiteral("CAT_GRUPO_CENTRO_COSTO_DEFAULT"), 0, QStringLiteral("T"),
                                   QStringLiteral("000000"))
                       .toString();
    Controles->setB1caption(QString());
    setIntervaloSondeo(IntervaloSondeo);
}

void frmKT508::Form_Activate()
{
    if (tvCeCos && tvCeCos->isVisible())
        tvCeCos->setFocus();
}

void frmKT508::Form_Resize()
{
    if (!m_cargada)
        return;
    const int W = Twips(width());
    const int H = Twips(height());
    IgnoraError([&] {
        const int alto = H - Twips(frFrame->height()) - Twips(tvCeCos->y()) - 200;
        if (alto < 0)
            throw kt508::Error(QStringLiteral("Valor de propiedad no válido"));
        tvCeCos->resize(tvCeCos->width(), Px(alto));
    });
    IgnoraError([&] {
        const int ancho = W - 2 * Twips(tvCeCos->x());
        if (ancho < 0)
            throw kt508::Error(QStringLiteral("Valor de propiedad no válido"));
        tvCeCos->resize(Px(ancho), tvCeCos->height());
    });
    IgnoraError([&] { frFrame->move(frFrame->x(), Px(Twips(tvCeCos->y()) + Twips(tvCeCos->height()) + 100)); });
}

void frmKT508::CargarCecos()
{
    // A rebuilt tree has nothing selected: the delete button waits for the next click.
    Controles->setB1caption(QString());
    try {
        tvCeCos->Clear();
        tvCeCos->Add(QString(), 0, QStringLiteral("N0"), QStringLiteral("RAIZ"), Imagen::Activo);
        tvCeCos->Nodes(QStringLiteral("N0"))->setTag(1);
        AddSubMenu(QStringLiteral("0"));
    } catch (const kt508::Error& e) {
        servicios.Datos->Mensaje(e.Description(), kt508::vbCritical, QStringLiteral("CargarCecos()"), this,
                                 QStringLiteral("KT508"), QLatin1String(ErrVentana));
    }
}

// The whole subtree under the node of sCvePadre, a level at a time: the children queries of a
// level go in one batch, and the centres among their rows that accumulate make the next level.
// Each parent's children come in key order, so the tree is the same as built depth first; each
// query's rows become nodes as they arrive, so that a level's rows are never all held at once.
// The whole tree's load reads the catalogue's version with its first level: what changes after
// that is read again at the next reading.
void frmKT508::AddSubMenu(const QString& sCvePadre)
{
    bool conVersion = sCvePadre == QLatin1String("0");
    for (QStringList nivel{sCvePadre}; !nivel.isEmpty();) {
        std::vector<kt508::Sentencia> lote;
        lote.reserve(static_cast<size_t>(nivel.size()) + 1);
        for (const QString& padre : nivel)
            lote.push_back(Publico::Sentencias::HijosEnArbol(padre));
        if (std::exchange(conVersion, false))
            lote.push_back(Publico::Sentencias::VersionCatalogo());
        QStringList siguiente, fallos;
        try {
            servicios.Conexion().EjecutaLote(lote, [&](size_t i, kt508::Resultado& hijos) {
                if (i < static_cast<size_t>(nivel.size()))
                    siguiente += AgregaHijos(nivel.at(static_cast<qsizetype>(i)), hijos, fallos);
                else
                    AnotaVersion(hijos);
            });
        } catch (const kt508::Error& e) {
            fallos << e.Description();
            siguiente.clear();
        }
        // Told once the batch is read: no message waits while the database is still answering.
        for (const QString& fallo : fallos)
            servicios.Datos->Mensaje(fallo, kt508::vbCritical, QStringLiteral("AddSubMenu()"), this,
                                     QStringLiteral("KT508"), QStringLiteral("ERR-ID:7500033"));
        nivel = siguiente;
    }
}

// The nodes of one parent's children, in the order of its query; gives the keys of those that
// accumulate. A failed query, or a node that cannot be added, ends this parent's rows and adds
// its reason to `fallos`.
QStringList frmKT508::AgregaHijos(const QString& sCvePadre, kt508::Resultado& hijos, QStringList& fallos)
{
    QStringList acumulan;
    try {
        if (!hijos.Corrio())
            throw kt508::Error(hijos.error);
        kt508::Recordset& rs = hijos.filas;
        const QString padre = QLatin1Char('N') + sCvePadre;
        if (!rs.Eof()) {
            const int estado = Columna(rs, QStringLiteral("Es_Cve_Estado"));
            const int cve = Columna(rs, QStringLiteral("Cc_Cve_Centro_Costo"));
            const int descripcion = Columna(rs, QStringLiteral("CC_Descripcion"));
            const int tipo = Columna(rs, QStringLiteral("CC_Tipo"));
            for (; !rs.Eof(); rs.MoveNext()) {
                const int imagen = rs.Value(estado).toString() == QLatin1String("AC") ? Imagen::Activo : Imagen::Baja;
                const QString clave = rs.Value(cve).toString();
                if (clave == QLatin1String("0"))
                    continue; // a row under the root's own key: its node is the root
                tvCeCos->Add(padre, kt508::tvwChild, QLatin1Char('N') + clave,
                             clave + QStringLiteral(" - ") + rs.Value(descripcion).toString(), imagen);
                if (rs.Value(tipo).toInt() == 1)
                    acumulan << clave;
            }
        }
        rs.Close();
    } catch (const kt508::Error& e) {
        hijos.filas.Close();
        fallos << e.Description();
    }
    return acumulan;
}

void frmKT508::Controles_Salir()
{
    // Unloads the host's window that holds this screen, no question asked. A window that only
    // hides on close is deleted all the same; one that refuses to close stays.
    QPointer<QObject> anfitrion = sPadre;
    if (!anfitrion)
        return; // no host: the screen closes only through one
    auto* ventana = qobject_cast<QWidget*>(anfitrion.data());
    if (ventana && !ventana->close())
        return;
    if (anfitrion && !(ventana && ventana->testAttribute(Qt::WA_DeleteOnClose)))
        anfitrion->deleteLater();
}

void frmKT508::Controles_Consulta()
{
    kt508::Node* seleccionado = tvCeCos->SelectedItem();
    if (!seleccionado)
        return;
    std::unique_ptr<kt508::IConsultaRegistro> consulta = kt508::plataforma().NuevoConsultaRegistro();
    consulta->Muestra(QStringLiteral("Centro_Costo"), QStringLiteral("Cc_Cve_Centro_Costo"),
                      seleccionado->Key().mid(1));
}

void frmKT508::Buscar_CeCo(bool Preguntar)
{
    if (Preguntar) {
        auto dialogo = std::make_unique<frmInput>();
        dialogo->sVar = SearchValue;
        dialogo->Mostrar();
        if (dialogo->OK)
            SearchValue = dialogo->txtValor->Text();
    }
    if (SearchValue.isEmpty())
        return;
    servicios.Utilerias->BuscaEnArbol(*tvCeCos, SearchValue);
}

void frmKT508::tvCeCos_NodeClick(kt508::Node* Node)
{
    txtClave->setText(Node->Key().mid(1));
    txtCuenta->setText(CuentaDeCentro(servicios, txtClave->Text()).toString());
    Controles->setEnabledFlag(kt508::Bandera::Nuevo, true);
    Controles->setEnabledFlag(kt508::Bandera::Imprimir, false);
    Controles->setEnabledFlag(kt508::Bandera::Consulta, false);
    Controles->setEnabledFlag(kt508::Bandera::Eliminar, false);
    Controles->setEnabledFlag(kt508::Bandera::Editar, false);
    Controles->setEnabledFlag(kt508::Bandera::Reactivar, false);
    Controles->setB1caption(QString());
    if (txtClave->Text() == QLatin1String("0")) {
        Controles->setEnabledFlag(kt508::Bandera::Imprimir, true);
    } else if (Node->Image() == Imagen::Baja || Node->Image() == Imagen::BajaAbierto) {
        Controles->setEnabledFlag(kt508::Bandera::Nuevo, false);
        Controles->setEnabledFlag(kt508::Bandera::Reactivar, true);
    } else {
        Controles->setEnabledFlag(kt508::Bandera::Consulta, true);
        Controles->setEnabledFlag(kt508::Bandera::Nuevo, true);
        Controles->setEnabledFlag(kt508::Bandera::Eliminar, true);
        Controles->setB1caption(QStringLiteral("Eliminar"));
        Controles->setEnabledFlag(kt508::Bandera::Editar, true);
    }
}

void frmKT508::tvCeCos_AfterLabelEdit(int& Cancel, QString& NewString)
{
    if (NewString.isEmpty()) {
        Cancel = 1;
        return;
    }
    kt508::Node* editado = tvCeCos->SelectedItem();
    if (!editado)
        throw kt508::Error(QStringLiteral("No hay un centro de costos seleccionado."));
    const QString clave = editado->Key().mid(1);
    QString texto = NewString;
    if (!clave.isEmpty())
        texto.remove(clave, Qt::CaseSensitive);
    texto.remove(QLatin1Char('-'));
    NewString = SinBlancos(texto).toUpper();
    // Counted as the databases count: the editor's field stops there, the rename's text must be told.
    const qsizetype largo = kt508::reglas::Caracteres(NewString);
    if (largo > kt508::reglas::LargoDescripcion)
        throw kt508::Error(QStringLiteral("La descripción admite hasta %1 caracteres; la indicada tiene %2.")
                               .arg(kt508::reglas::LargoDescripcion)
                               .arg(largo));

    GuardaTransaccion transaccion(servicios.Conexion());
    RenombraCentro(servicios, clave, editado->Text().mid(clave.size() + 3), NewString);
    transaccion.Confirma();
    const CursorEspera espera;
    CargarCecos();
    kt508::Node* nodo = tvCeCos->Nodes(QLatin1Char('N') + clave);
    IgnoraError([&] {
        if (nodo)
            nodo->EnsureVisible();
    });
    IgnoraError([&] {
        if (nodo)
            tvCeCos->setSelectedItem(nodo);
    });
    IgnoraError([&] { tvCeCos->setFocus(); });
}

void frmKT508::tvCeCos_Expand(kt508::Node* Node)
{
    Node->setImage(Node->Image() == Imagen::Activo ? Imagen::ActivoAbierto : Imagen::BajaAbierto);
}

void frmKT508::tvCeCos_Collapse(kt508::Node* Node)
{
    Node->setImage(Node->Image() == Imagen::ActivoAbierto ? Imagen::Activo : Imagen::Baja);
}

void frmKT508::tvCeCos_KeyDown(int& KeyCode, int Shift)
{
    if (Shift == kt508::vbCtrlMask) {
        if (KeyCode == kt508::vbKeyB)
            Buscar_CeCo(true);
        return;
    }
    switch (KeyCode) {
    case kt508::vbKeyF3: Buscar_CeCo(SearchValue.isEmpty()); break;
    case kt508::vbKeyF5: CargarCecos(); break;
    case kt508::vbKeyF2:
        if (tvCeCos->SelectedItem())
            tvCeCos->StartLabelEdit();
        break;
    default: break;
    }
}

void frmKT508::Protege(const QString& handler, const QString& errId, const std::function<void()>& cuerpo)
{
    ++m_ocupado;
    try {
        cuerpo();
    } catch (const kt508::Error& e) {
        Informa(handler, errId, e.Description());
    } catch (const std::exception& e) {
        Informa(handler, errId, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Informa(handler, errId, QStringLiteral("Error desconocido."));
    }
    TerminaOcupacion();
}

void frmKT508::Informa(const QString& handler, const QString& errId, const QString& descripcion)
{
    try {
        servicios.Datos->Mensaje(descripcion, kt508::vbCritical, handler, this, QStringLiteral("KT508"), errId);
    } catch (...) {
        qWarning("%s %s: %s", qPrintable(handler), qPrintable(errId), qPrintable(descripcion));
    }
}

bool frmKT508::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && m_cargada)
        Form_Activate();
    return QWidget::event(e);
}

// The first use of the window loads it, before it and its controls appear. A failed load is
// shown and the window stays hidden: the next showing tries again.
void frmKT508::setVisible(bool visible)
{
    if (visible && !m_cargada) {
        const QString fallo = Load();
        if (!m_cargada) {
            if (!m_cargando)
                Informa(QStringLiteral("Form_Load()"), QLatin1String(ErrVentana), fallo);
            return;
        }
    }
    QWidget::setVisible(visible);
}

void frmKT508::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    Form_Activate();
}

void frmKT508::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    // The toolbar is aligned to the top of the window, whatever its width.
    if (Controles)
        Controles->resize(width(), Controles->height());
    Form_Resize();
}
