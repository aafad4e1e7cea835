#include "kt508/catalogue/frmKT508.h"

#include "kt508/catalogue/Iconos.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"
#include "kt508/services/Utilerias.h"
#include "kt508/store/Publico.h"

#include <QEvent>
#include <QGroupBox>
#include <QWidget>

#include <exception>

using kt508::Px;
using namespace Publico;

namespace {

QPointer<frmKT508> instancia;

constexpr int TwipsPorPixel = 15;
constexpr int TreeLeft = 120;
constexpr int TreeTop = 1080;
constexpr int FrameHeight = 1525;

int Twips(int pixels)
{
    return pixels * TwipsPorPixel;
}

} // namespace

frmKT508& frmKT508::Instancia()
{
    if (!instancia)
        instancia = new frmKT508;
    return *instancia;
}

bool frmKT508::Existe()
{
    return !instancia.isNull();
}

frmKT508::frmKT508()
{
    setObjectName(QStringLiteral("frmKT508"));
    setWindowTitle(QStringLiteral("Catálogo de centros de costos"));
    resize(Px(8625), Px(5700));
}

frmKT508::~frmKT508() = default;

QObject* frmKT508::Padre() const
{
    return sPadre;
}

void frmKT508::setPadre(QObject* Valor)
{
    sPadre = Valor;
}

QString frmKT508::Transaccion() const
{
    if (!sPadre)
        throw kt508::Error(QStringLiteral("La pantalla no tiene asignada la ventana anfitriona (Padre)."));
    const QVariant transaccion = sPadre->property("Transaccion");
    if (!transaccion.isValid())
        throw kt508::Error(QStringLiteral("La ventana anfitriona no tiene la propiedad Transaccion."));
    return Utilerias->TextoTransaccion(transaccion.toString(), QStringLiteral("Orbanel"));
}

bool frmKT508::Cargada() const
{
    return m_cargada;
}

void frmKT508::Load()
{
    if (m_cargada)
        return;
    m_cargada = true;
    CreaControles();
    ConectaEventos();
    Form_Load();
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
    Controles->setShowmenupopup(QStringLiteral("NO"));
    Controles->setShowwindowslist(QStringLiteral("SI"));
    Controles->setShowexitbutton(QStringLiteral("SI"));
    Controles->setOpcTable(QStringLiteral("Centro_Costo"));
    Controles->setOpcKey(QStringLiteral("Cc_Cve_Centro_Costo"));

    ilIconos = p.NuevaImageList(this);
    for (int imagen = 1; imagen <= 4; ++imagen)
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
    frFrame->setFont(QFont(QStringLiteral("Calibri"), 8));
    frFrame->setGeometry(Px(TreeLeft), Px(TreeTop + 2895 + 100), Px(8295), Px(FrameHeight));

    Label1 = p.NuevaEtiqueta(frFrame);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Px(120), Px(0), Px(975), Px(255));
    Label1->setCaption(QStringLiteral("Clave:"));
    Label1->setIdetiqueta(QStringLiteral("Clave"));
    Label1->setAlignment(1);
    Label1->setBackcolor(QColor(0xF5, 0xF5, 0xF5));

    txtClave = p.NuevoTexto(frFrame);
    txtClave->setObjectName(QStringLiteral("txtClave"));
    txtClave->setGeometry(Px(1200), Px(0), Px(1455), Px(300));
    txtClave->setLocked(true);

    Label2 = p.NuevaEtiqueta(frFrame);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(Px(120), Px(360), Px(975), Px(255));
    Label2->setCaption(QStringLiteral("Cuenta:"));
    Label2->setIdetiqueta(QStringLiteral("Cuenta"));
    Label2->setAlignment(1);

    txtCuenta = p.NuevoTexto(frFrame);
    txtCuenta->setObjectName(QStringLiteral("txtCuenta"));
    txtCuenta->setGeometry(Px(1200), Px(360), Px(3495), Px(300));
    txtCuenta->setLocked(true);

    QWidget::setTabOrder(Controles, txtClave);
    QWidget::setTabOrder(txtClave, txtCuenta);
    QWidget::setTabOrder(txtCuenta, tvCeCos);
}

void frmKT508::ConectaEventos()
{
    connect(Controles, &kt508::Controles::Salir, this,
            [this] { Protege(QStringLiteral("Controles_Salir()"), [this] { Controles_Salir(); }); });
}

void frmKT508::Form_Load()
{
    colorVEX->ApplyScheme();
    Controles->setEnabled2(true);
    CargarCecos();
    DefaultGroup = Datos->Parametro(QStringLiteral("CAT_GRUPO_CENTRO_COSTO_DEFAULT"), 0, QStringLiteral("T"),
                                    QStringLiteral("000000"))
                       .toString();
    Controles->setB1caption(QString());
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
    try {
        tvCeCos->Clear();
        tvCeCos->Add(QString(), 0, QStringLiteral("N0"), QStringLiteral("RAIZ"), 1);
        tvCeCos->Nodes(QStringLiteral("N0"))->setTag(1);
        AddSubMenu(QStringLiteral("0"));
    } catch (const kt508::Error& e) {
        Datos->Mensaje(e.Description(), kt508::vbCritical, QStringLiteral("CargarCecos()"), this,
                       QStringLiteral("KT508"), QStringLiteral("ERR-ID:7500034"));
    }
}

void frmKT508::AddSubMenu(const QString& sCvePadre)
{
    try {
        const QString sql = QStringLiteral("SELECT * FROM Centro_Costo WHERE CC_Acumula = ") + Literal(sCvePadre)
            + QStringLiteral(" ORDER BY CC_Acumula, Cc_Cve_Centro_Costo ");
        kt508::Recordset rs = Ejecuta(sql);
        const QString padre = QLatin1Char('N') + sCvePadre;
        while (!rs.Eof()) {
            const int imagen = rs.Fields(QStringLiteral("Es_Cve_Estado")).Value.toString() == QLatin1String("AC") ? 1 : 3;
            const QString clave = rs.Fields(QStringLiteral("Cc_Cve_Centro_Costo")).Value.toString();
            tvCeCos->Add(padre, kt508::tvwChild, QLatin1Char('N') + clave,
                         clave + QStringLiteral(" - ") + rs.Fields(QStringLiteral("CC_Descripcion")).Value.toString(),
                         imagen);
            if (rs.Fields(QStringLiteral("CC_Tipo")).Value.toInt() == 1)
                AddSubMenu(clave);
            rs.MoveNext();
        }
        rs.Close();
    } catch (const kt508::Error& e) {
        Datos->Mensaje(e.Description(), kt508::vbCritical, QStringLiteral("AddSubMenu()"), this,
                       QStringLiteral("KT508"), QStringLiteral("ERR-ID:7500033"));
    }
}

void frmKT508::Controles_Salir()
{
    // Unloads the host's window that holds this screen; no question asked.
    if (!sPadre)
        throw kt508::Error(QStringLiteral("La pantalla no tiene asignada la ventana anfitriona (Padre)."));
    if (auto* ventana = qobject_cast<QWidget*>(sPadre.data()))
        ventana->close();
    else
        sPadre->deleteLater();
}

void frmKT508::Protege(const QString& handler, const std::function<void()>& cuerpo)
{
    QString descripcion;
    try {
        cuerpo();
        return;
    } catch (const kt508::Error& e) {
        descripcion = e.Description();
    } catch (const std::exception& e) {
        descripcion = QString::fromLocal8Bit(e.what());
    }
    try {
        Datos->Mensaje(descripcion, kt508::vbCritical, handler, this, QStringLiteral("KT508"), QString());
    } catch (...) {
        qWarning("%s: %s", qPrintable(handler), qPrintable(descripcion));
    }
}

bool frmKT508::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && m_cargada)
        Form_Activate();
    return QWidget::event(e);
}

void frmKT508::showEvent(QShowEvent* e)
{
    Protege(QStringLiteral("Form_Load()"), [this] { Load(); });
    QWidget::showEvent(e);
    Form_Activate();
}

void frmKT508::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    Form_Resize();
}
