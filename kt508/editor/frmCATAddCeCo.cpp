#include "kt508/editor/frmCATAddCeCo.h"

#include "kt508/dialogs/KeyPreview.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "kt508/services/ReglasCentro.h"
#include "kt508/services/Teclas.h"
#include "kt508/services/Utilerias.h"
#include "kt508/store/Publico.h"
#include "kt508/store/Servicios.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>

using namespace Publico;

namespace {

// Design of the window, in pixels: a row of label and field every 30 on each page.
constexpr int Ancho = 500;
constexpr int Alto = 322;
constexpr int AltoBarra = 64;
constexpr int MargenTab = 8;
constexpr int XEtiqueta = 8;
constexpr int AnchoEtiqueta = 104;
constexpr int XCampo = 118;
constexpr int XDerecho = 456;
constexpr int PrimeraFila = 16;
constexpr int Renglon = 30;
constexpr int AltoCampo = 22;

int Fila(int n)
{
    return PrimeraFila + n * Renglon;
}

void Invalido(int valor)
{
    if (valor < 0)
        throw kt508::Error(QStringLiteral("Valor de propiedad no válido"));
}

// Disabling the page that held the focus leaves it nowhere: keys typed then were lost.
// The focus goes to the shown page's first field, in tab order.
void EnfocaPagina(QWidget* marco)
{
    if (marco->isAncestorOf(QApplication::focusWidget()))
        return;
    for (QWidget* w = marco->nextInFocusChain(); w != marco; w = w->nextInFocusChain()) {
        // A field hands its focus to the box inside it, which says whether Tab stops there.
        if (marco->isAncestorOf(w) && !w->focusProxy() && w->isEnabled() && w->isVisibleTo(marco)
            && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace

frmCATAddCeCo::frmCATAddCeCo(const Publico::Servicios& servicios, QObject* anfitrion)
    : servicios(servicios)
{
    setObjectName(QStringLiteral("frmCATAddCeCo"));
    setWindowTitle(QStringLiteral("Agregar centro de costos"));
    setModal(true);
    CreaControles();
    ConectaEventos();
    m_teclas = new KeyPreview(
        this, [this](int& KeyCode, int Shift) { Form_KeyDown(KeyCode, Shift); },
        [this](int& KeyCode, int Shift) { Form_KeyUp(KeyCode, Shift); });
    Form_Load(anfitrion);
}

frmCATAddCeCo::~frmCATAddCeCo() = default;

QObject* frmCATAddCeCo::Padre() const
{
    return m_padre;
}

void frmCATAddCeCo::setPadre(QObject* Valor)
{
    m_padre = Valor;
}

QString frmCATAddCeCo::Transaccion() const
{
    if (!m_padre)
        throw kt508::Error(QStringLiteral("La pantalla no tiene asignada la ventana anfitriona (Padre)."));
    const QVariant transaccion = m_padre->property("Transaccion");
    if (!transaccion.isValid())
        throw kt508::Error(QStringLiteral("La ventana anfitriona no tiene la propiedad Transaccion."));
    return servicios.Utilerias->TextoTransaccion(transaccion.toString(), QStringLiteral("Orbanel"));
}

void frmCATAddCeCo::CreaControles()
{
    const kt508::Plataforma& p = kt508::plataforma();
    resize(Ancho, Alto);
    setMinimumSize(Ancho, Alto);
    colorVEX = p.NuevoColorVEX(this);

    Controles = p.NuevoControles(this);
    Controles->setObjectName(QStringLiteral("Controles"));
    Controles->setGeometry(0, 0, Ancho, AltoBarra);
    Controles->setCaption(QStringLiteral("Agregar centro de costos"));
    Controles->setTabwidth(QStringLiteral("0"));
    Controles->setB1caption(QStringLiteral("Aceptar"));
    Controles->setB2caption(QStringLiteral("Cancelar"));
    Controles->setShowmenupopup(QStringLiteral("NO"));
    Controles->setShowwindowslist(QStringLiteral("NO"));
    Controles->setShowexitbutton(QStringLiteral("NO"));
    Controles->setOpcTable(QStringLiteral("Centro_Costo"));
    Controles->setOpcKey(QStringLiteral("Cc_Cve_Centro_Costo"));
    Controles->setPermitirMover(true);
    Controles->setCaptionbuttonsize(1500);

    im = p.NuevaImageList(this);

    ssTabVex = p.NuevoSsTab(this);
    ssTabVex->setObjectName(QStringLiteral("ssTabVex"));
    ssTabVex->setGeometry(MargenTab, AltoBarra + MargenTab, Ancho - 2 * MargenTab, Alto - AltoBarra - 2 * MargenTab);
    ssTabVex->setTabcount(2);
    ssTabVex->setTabCaption(0, QStringLiteral("General"));
    ssTabVex->setTabCaption(1, QStringLiteral("Datos de usuario"));

    CreaDatosDeUsuario();
    CreaGeneral();

    // Top to bottom, the general page first; the display-only fields take no tab stop.
    for (kt508::txtVEX* soloLectura : {txtPadre, txtNPadre, txt_Gcc_Descripcion, txtNCta})
        soloLectura->setTabStop(false);
    QWidget::setTabOrder(txtClave, txtTexto);
    QWidget::setTabOrder(txtTexto, txt_Gcc_Cve_Grupo_Centro_Costo);
    QWidget::setTabOrder(txt_Gcc_Cve_Grupo_Centro_Costo, txtCuenta);
    QWidget::setTabOrder(txtCuenta, chkAnalizar);
    QWidget::setTabOrder(chkAnalizar, txtUser1);
    QWidget::setTabOrder(txtUser1, txtUser2);
    QWidget::setTabOrder(txtUser2, txtUser3);
    QWidget::setTabOrder(txtUser3, txtUser4);
    QWidget::setTabOrder(txtUser4, dpUser5);
    QWidget::setTabOrder(dpUser5, dpUser6);
    QWidget::setTabOrder(dpUser6, ssTabVex);
}

namespace {

// A right-aligned label at the start of a row; returns the container, for the field beside it.
QWidget* Etiquetado(kt508::Etiqueta*& etiqueta, const char* nombre, const QString& texto, const QString& id,
                    QWidget* contenedor, int fila)
{
    etiqueta = kt508::plataforma().NuevaEtiqueta(contenedor);
    etiqueta->setObjectName(QString::fromLatin1(nombre));
    etiqueta->setGeometry(XEtiqueta, Fila(fila) + 1, AnchoEtiqueta, AltoCampo - 2);
    etiqueta->setCaption(texto);
    etiqueta->setIdetiqueta(id);
    etiqueta->setAlignment(1);
    return contenedor;
}

kt508::txtVEX* Texto(QWidget* contenedor, const char* nombre, int x, int fila, int ancho)
{
    kt508::txtVEX* campo = kt508::plataforma().NuevoTexto(contenedor);
    campo->setObjectName(QString::fromLatin1(nombre));
    campo->setGeometry(x, Fila(fila), ancho, AltoCampo);
    return campo;
}

kt508::dpFecha* Fecha(QWidget* contenedor, const char* nombre, int fila)
{
    kt508::dpFecha* fecha = kt508::plataforma().NuevoDpFecha(contenedor);
    fecha->setObjectName(QString::fromLatin1(nombre));
    fecha->setGeometry(XCampo, Fila(fila), 130, AltoCampo);
    return fecha;
}

QFrame* Marco(QWidget* pagina, const char* nombre)
{
    auto* marco = new QFrame(pagina);
    marco->setObjectName(QString::fromLatin1(nombre));
    marco->setFrameShape(QFrame::NoFrame);
    return marco;
}

QFrame* Figura(QWidget* pagina, const char* nombre)
{
    auto* figura = new QFrame(pagina);
    figura->setObjectName(QString::fromLatin1(nombre));
    figura->setFrameShape(QFrame::HLine);
    figura->setFrameShadow(QFrame::Sunken);
    figura->setGeometry(0, 0, pagina->width(), 2);
    return figura;
}

// Characters a numeric field shows: a sign, 14 digits, the point and 4 decimals.
constexpr int LargoNumero = 20;

void Numerico(kt508::txtVEX* campo)
{
    campo->setMaxlength(LargoNumero);
    campo->setText(QStringLiteral("0.0000"));
    campo->setAlignment(1);
    campo->setSubrayar(true);
    campo->setFormato(5);
    campo->setTipodato(5);
    campo->setTabonenter(true);
}

} // namespace

void frmCATAddCeCo::CreaDatosDeUsuario()
{
    QWidget* pagina = ssTabVex->Page(1);
    fr2 = Marco(pagina, "fr2");
    sh2 = Figura(pagina, "sh2");

    txtUser1 = Texto(Etiquetado(Label31, "Label31", QStringLiteral("Dato 1:"), QStringLiteral("USER1"), fr2, 0),
                     "txtUser1", XCampo, 0, XDerecho - XCampo);
    txtUser1->setMaxlength(kt508::reglas::LargoDato);
    txtUser1->setTabonenter(true);
    txtUser2 = Texto(Etiquetado(Label30, "Label30", QStringLiteral("Dato 2:"), QStringLiteral("USER2"), fr2, 1),
                     "txtUser2", XCampo, 1, XDerecho - XCampo);
    txtUser2->setMaxlength(kt508::reglas::LargoDato);
    txtUser2->setTabonenter(true);
    txtUser3 = Texto(Etiquetado(Label29, "Label29", QStringLiteral("Dato 3:"), QStringLiteral("USER3"), fr2, 2),
                     "txtUser3", XCampo, 2, 130);
    Numerico(txtUser3);
    txtUser4 = Texto(Etiquetado(Label28, "Label28", QStringLiteral("Dato 4:"), QStringLiteral("USER4"), fr2, 3),
                     "txtUser4", XCampo, 3, 130);
    Numerico(txtUser4);
    dpUser5 =
        Fecha(Etiquetado(Label27, "Label27", QStringLiteral("Dato 5:"), QStringLiteral("USER5"), fr2, 4), "dpUser5", 4);
    dpUser6 =
        Fecha(Etiquetado(Label26, "Label26", QStringLiteral("Dato 6:"), QStringLiteral("USER6"), fr2, 5), "dpUser6", 5);
    // Only the frame of the page shown takes input.
    fr2->setEnabled(false);
}

void frmCATAddCeCo::CreaGeneral()
{
    QWidget* pagina = ssTabVex->Page(0);
    fr1 = Marco(pagina, "fr1");
    sh1 = Figura(pagina, "sh1");

    txtPadre = Texto(Etiquetado(Label1, "Label1", QStringLiteral("Hijo de:"), QStringLiteral("HIJO DE"), fr1, 0),
                     "txtPadre", XCampo, 0, 70);
    txtPadre->setLocked(true);
    txtNPadre = Texto(fr1, "txtNPadre", XCampo + 76, 0, XDerecho - XCampo - 76);
    txtNPadre->setLocked(true);

    txtClave = Texto(Etiquetado(Label7, "Label7", QStringLiteral("Clave:"), QStringLiteral("Clave"), fr1, 1),
                     "txtClave", XCampo, 1, 70);
    txtClave->setMaxlength(kt508::reglas::LargoClave);
    txtClave->setTabonenter(true);

    txtTexto =
        Texto(Etiquetado(Label2, "Label2", QStringLiteral("Descripción:"), QStringLiteral("Descripción"), fr1, 2),
              "txtTexto", XCampo, 2, XDerecho - XCampo);
    txtTexto->setMaxlength(kt508::reglas::LargoDescripcion);
    txtTexto->setTabonenter(true);

    txt_Gcc_Descripcion = Texto(fr1, "txt_Gcc_Descripcion", XCampo + 96, 3, XDerecho - XCampo - 96);
    txt_Gcc_Descripcion->setLocked(true);
    txt_Gcc_Cve_Grupo_Centro_Costo =
        Texto(Etiquetado(Etiqueta1, "Etiqueta1", QStringLiteral("Grupo:"), QStringLiteral("GRUPO"), fr1, 3),
              "txt_Gcc_Cve_Grupo_Centro_Costo", XCampo, 3, 90);
    txt_Gcc_Cve_Grupo_Centro_Costo->setIdconsulta(QStringLiteral("GRUPO_CENTRO_COSTO"));
    txt_Gcc_Cve_Grupo_Centro_Costo->setEsclave(true);
    txt_Gcc_Cve_Grupo_Centro_Costo->setMayusculas(true);
    txt_Gcc_Cve_Grupo_Centro_Costo->setTabonenter(true);
    txt_Gcc_Cve_Grupo_Centro_Costo->setSql(
        QStringLiteral("SELECT Gcc_Descripcion FROM Grupo_Centro_Costo WHERE Gcc_Cve_Grupo_Centro_Costo = ?"));
    txt_Gcc_Cve_Grupo_Centro_Costo->setSqlControlResultado(QStringLiteral("txt_Gcc_Descripcion"));

    txtNCta = Texto(fr1, "txtNCta", XCampo + 156, 4, XDerecho - XCampo - 156);
    txtNCta->setLocked(true);
    txtCuenta =
        Texto(Etiquetado(Label6, "Label6", QStringLiteral("Cuenta contable:"), QStringLiteral("Cta. contable"), fr1, 4),
              "txtCuenta", XCampo, 4, 150);
    txtCuenta->setMaxlength(kt508::reglas::LargoCuenta);
    txtCuenta->setIdconsulta(QStringLiteral("CUENTA_CONTABLE"));
    txtCuenta->setEsclave(true);
    txtCuenta->setMayusculas(true);
    txtCuenta->setTabonenter(true);
    txtCuenta->setTabonentervacio(true);
    txtCuenta->setSql(QStringLiteral("select cc_descripcion from cuenta_contable where cc_cve_cuenta_contable = '?'"));
    txtCuenta->setSqlControlResultado(QStringLiteral("txtNCta"));

    chkAnalizar = new QCheckBox(QStringLiteral("Analizar"), fr1);
    chkAnalizar->setObjectName(QStringLiteral("chkAnalizar"));
    chkAnalizar->setGeometry(XCampo, Fila(5), 140, AltoCampo);
}

void frmCATAddCeCo::ConectaEventos()
{
    // The checks run outside the save's error path: a failure there is shown, never lost, under
    // the save's own identifier.
    connect(Controles, &kt508::Controles::B1Click, this, [this] {
        try {
            Controles_B1Click();
        } catch (const kt508::Error& e) {
            servicios.Datos->Mensaje(e.Description(), kt508::vbCritical, QStringLiteral("Controles_B1Click()"), this,
                                     QStringLiteral("KT508"), QStringLiteral("ERR-ID:7500008"));
        }
    });
    connect(Controles, &kt508::Controles::B2Click, this, &frmCATAddCeCo::Controles_B2Click);
    connect(ssTabVex, &kt508::ssTbVex::Click, this, &frmCATAddCeCo::ssTabVex_Click);
    connect(ssTabVex, &kt508::ssTbVex::KeyPress, this, &frmCATAddCeCo::ssTabVex_KeyPress);
    chkAnalizar->installEventFilter(this);
}

// The host object is the catalogue's, which it hands over: both windows hold the same one.
void frmCATAddCeCo::Form_Load(QObject* anfitrion)
{
    kt508::IDatos& datos = *servicios.Datos;
    colorVEX->ApplyScheme();
    txtClave->setMask(datos.Parametro(QStringLiteral("FTO_CENTRO_COSTO"), 0, QString(), QString()));
    txt_Gcc_Cve_Grupo_Centro_Costo->setMask(
        datos.Parametro(QStringLiteral("FTO_GRUPO_CENTRO_COSTO"), 0, QStringLiteral("T"), QString()));
    m_cuentaPadre =
        datos.Parametro(QStringLiteral("CON_CUENTA_PADRE_CENTRO_COSTO"), 0, QStringLiteral("T"), QString()).toString();
    if (datos.Parametro(QStringLiteral("CAT_AUTOCLAVE"), 0, QString(), QString()).toBool())
        txtClave->setText(QString::number(servicios.Utilerias->SiguienteClave(QStringLiteral("Centro_Costo"),
                                                                              QStringLiteral("Cc_Cve_Centro_Costo"))));
    ssTabVex->setTab(0);
    setPadre(anfitrion);
    Controles->setEnabledFlag(kt508::Bandera::CamposAdicionales, true);
}

void frmCATAddCeCo::Form_Activate()
{
    Controles->ActivateWindow(false);
    if (txtTexto->isEnabledTo(fr1))
        txtTexto->setFocus();
}

void frmCATAddCeCo::Form_Resize()
{
    const int ancho = width();
    const int alto = height();
    IgnoraError([&] {
        const int w = ancho - 2 * ssTabVex->x();
        Invalido(w);
        ssTabVex->resize(w, ssTabVex->height());
    });
    IgnoraError([&] {
        const int h = alto - ssTabVex->y() - ssTabVex->x();
        Invalido(h);
        ssTabVex->resize(ssTabVex->width(), h);
    });
    IgnoraError([&] {
        sh1->resize(ssTabVex->width(), sh1->height());
        fr1->resize(ssTabVex->width(), ssTabVex->height());
    });
    IgnoraError([&] {
        sh2->resize(ssTabVex->width(), sh2->height());
        fr2->resize(ssTabVex->width(), ssTabVex->height());
    });
}

// The dialog's own Escape would reject it on the press, a date field would open its calendar
// on F4, and Alt with a page's digit must not type the digit into the field. The release decides.
void frmCATAddCeCo::Form_KeyDown(int& KeyCode, int Shift)
{
    m_teclaPulsada = KeyCode;
    m_shiftPulsada = Shift;
    if (KeyCode == kt508::vbKeyEscape || (KeyCode == kt508::vbKeyF4 && Shift != kt508::vbAltMask))
        KeyCode = 0;
    if (Shift == kt508::vbAltMask && (KeyCode == 49 || KeyCode == 50))
        KeyCode = 0;
}

void frmCATAddCeCo::Form_KeyUp(int& KeyCode, int Shift)
{
    // Escape or F4 that closed a message or a look-up list is released here: not this window's.
    const bool pulsadaAqui = KeyCode == m_teclaPulsada;
    if (pulsadaAqui)
        m_teclaPulsada = 0;
    // Alt let go a moment before the page's digit: the digit was pressed with Alt alone.
    if (pulsadaAqui && m_shiftPulsada == kt508::vbAltMask && Shift == 0 && (KeyCode == 49 || KeyCode == 50))
        Shift = kt508::vbAltMask;
    try {
        if (Shift == kt508::vbAltMask) {
            if (KeyCode == 49)
                ssTabVex->setTab(0);
            else if (KeyCode == 50)
                ssTabVex->setTab(1);
            return;
        }
        if (!pulsadaAqui)
            return;
        if (KeyCode == kt508::vbKeyF4) {
            KeyCode = 0;
            Controles_B1Click();
        } else if (KeyCode == kt508::vbKeyEscape) {
            KeyCode = 0;
            Controles_B2Click();
        }
    } catch (const kt508::Error& e) {
        servicios.Datos->Mensaje(QStringLiteral("Form_KeyUp() - \r\n") + e.Description(), kt508::vbCritical,
                                 QStringLiteral("ERROR"), this, QStringLiteral("KT508"),
                                 QStringLiteral("ERR-ID:7500009"));
    }
}

void frmCATAddCeCo::chkAnalizar_KeyPress(int& KeyAscii)
{
    if (KeyAscii == kt508::vbKeyReturn)
        servicios.Utilerias->EnviaTeclas(QStringLiteral("\t"), 0);
}

void frmCATAddCeCo::ssTabVex_KeyPress(int& KeyAscii)
{
    if (KeyAscii == kt508::vbKeyReturn)
        servicios.Utilerias->EnviaTeclas(QStringLiteral("\t"), 0);
}

void frmCATAddCeCo::ssTabVex_Click(int /*PreviousTab*/)
{
    fr1->setEnabled(false);
    fr2->setEnabled(false);
    switch (ssTabVex->Tab()) {
    case 0:
        fr1->setEnabled(true);
        EnfocaPagina(fr1);
        break;
    case 1:
        fr2->setEnabled(true);
        EnfocaPagina(fr2);
        break;
    default: break;
    }
}

void frmCATAddCeCo::Controles_B2Click()
{
    Add = false;
    hide();
}

// Unload mode 0: the window's own close command. The caller's unload is destruction.
void frmCATAddCeCo::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    if (UnloadMode == 0) {
        Cancel = 1;
        Controles_B2Click();
    }
}

bool frmCATAddCeCo::event(QEvent* e)
{
    // Activation once per showing: coming back from a message or a look-up list leaves
    // the focus where the save or the user put it.
    if (e->type() == QEvent::WindowActivate && m_activacionPendiente) {
        m_activacionPendiente = false;
        Form_Activate();
    }
    return QDialog::event(e);
}

bool frmCATAddCeCo::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == chkAnalizar && e->type() == QEvent::KeyPress) {
        int caracter = kt508::CodigoCaracter(*static_cast<QKeyEvent*>(e));
        if (caracter != 0) {
            chkAnalizar_KeyPress(caracter);
            if (caracter == kt508::vbKeyReturn)
                return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void frmCATAddCeCo::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    m_activacionPendiente = true;
    if (isActiveWindow()) {
        m_activacionPendiente = false;
        Form_Activate();
    }
}

void frmCATAddCeCo::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    if (Controles)
        Controles->resize(width(), Controles->height());
    Form_Resize();
}

void frmCATAddCeCo::closeEvent(QCloseEvent* e)
{
    int Cancel = 0;
    Form_QueryUnload(Cancel, e->spontaneous() ? 0 : 1);
    if (Cancel)
        e->ignore();
    else
        QDialog::closeEvent(e);
}

// The dialog's own rejection (a close it decides by itself) is a cancel.
void frmCATAddCeCo::reject()
{
    Controles_B2Click();
}
