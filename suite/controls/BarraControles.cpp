#include "suite/controls/BarraControles.h"

#include "suite/controls/DialogoCamposAdicionales.h"
#include "suite/controls/Esquema.h"
#include "suite/controls/Protege.h"

#include "kt508/services/Error.h"
#include "kt508/services/Plataforma.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace orbanel {

namespace {

bool EsSi(const QString& siNo)
{
    return siNo.trimmed().compare(QStringLiteral("SI"), Qt::CaseInsensitive) == 0;
}

QIcon Icono(const QString& tema, QStyle::StandardPixmap respaldo)
{
    return QIcon::fromTheme(tema, QApplication::style()->standardIcon(respaldo));
}

} // namespace

BarraControles::BarraControles(QWidget* parent)
    : kt508::Controles(parent)
{
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, esquema::MenuFondo());
    setPalette(paleta);
    setAutoFillBackground(true);

    auto* disposicion = new QVBoxLayout(this);
    disposicion->setContentsMargins(0, 0, 0, 0);
    disposicion->setSpacing(0);
    ConstruyeBanda();
    ConstruyeBotones();
    Actualiza();
}

void BarraControles::ConstruyeBanda()
{
    m_banda = new QWidget(this);
    m_banda->setObjectName(QStringLiteral("banda"));
    QPalette paleta = m_banda->palette();
    paleta.setColor(QPalette::Window, esquema::CalendarioTituloFondo());
    paleta.setColor(QPalette::WindowText, esquema::CalendarioTituloTexto());
    m_banda->setPalette(paleta);
    m_banda->setAutoFillBackground(true);
    m_banda->installEventFilter(this);

    m_titulo = new QLabel(m_banda);
    m_titulo->setObjectName(QStringLiteral("titulo"));
    QFont letra = m_titulo->font();
    letra.setBold(true);
    m_titulo->setFont(letra);
    m_estado = new QLabel(m_banda);
    m_estado->setObjectName(QStringLiteral("estado"));

    auto* fila = new QHBoxLayout(m_banda);
    fila->setContentsMargins(6, 2, 6, 2);
    fila->addWidget(m_titulo);
    fila->addStretch();
    fila->addWidget(m_estado);
    layout()->addWidget(m_banda);
}

void BarraControles::ConstruyeBotones()
{
    auto* botones = new QWidget(this);
    auto* fila = new QHBoxLayout(botones);
    fila->setContentsMargins(2, 1, 2, 1);
    fila->setSpacing(1);

    // The commands on the selected record first, the extras after them, then the whole catalogue's.
    fila->addWidget(NuevoBoton(cNuevo, QStringLiteral("Nuevo"), QStringLiteral("Agregar un registro nuevo"),
                               Icono(QStringLiteral("document-new"), QStyle::SP_FileIcon)));
    fila->addWidget(NuevoBoton(cEditar, QStringLiteral("Editar"), QStringLiteral("Modificar el registro seleccionado"),
                               Icono(QStringLiteral("document-edit"), QStyle::SP_FileDialogDetailedView)));
    fila->addWidget(NuevoBoton(cConsulta, QStringLiteral("Consulta"),
                               QStringLiteral("Consultar todos los datos del registro seleccionado"),
                               Icono(QStringLiteral("edit-find"), QStyle::SP_FileDialogInfoView)));
    fila->addWidget(NuevoBoton(cReactivar, QStringLiteral("Reactivar"),
                               QStringLiteral("Reactivar el registro dado de baja"),
                               Icono(QStringLiteral("edit-undo"), QStyle::SP_BrowserReload)));
    fila->addWidget(NuevoBoton(cEliminar, QStringLiteral("Baja"),
                               QStringLiteral("Dar de baja el registro seleccionado"),
                               Icono(QStringLiteral("edit-delete"), QStyle::SP_TrashIcon)));
    for (Comando extra : {cB1, cB2, cB3})
        fila->addWidget(NuevoBoton(extra, QString(), QString(), QIcon()));
    fila->addWidget(NuevoBoton(cImprimir, QStringLiteral("Imprimir"), QStringLiteral("Imprimir el catálogo"),
                               Icono(QStringLiteral("document-print"), QStyle::SP_FileDialogListView)));
    fila->addWidget(NuevoBoton(cCampos, QStringLiteral("Campos adicionales"),
                               QStringLiteral("Capturar los campos adicionales del registro"),
                               Icono(QStringLiteral("document-properties"), QStyle::SP_FileDialogContentsView)));
    fila->addStretch();

    m_ventanas = new QToolButton(botones);
    m_ventanas->setObjectName(QStringLiteral("btnVentanas"));
    m_ventanas->setText(QStringLiteral("Ventanas"));
    m_ventanas->setAccessibleDescription(QStringLiteral("Cambiar a otra ventana abierta"));
    m_ventanas->setIcon(Icono(QStringLiteral("window-new"), QStyle::SP_TitleBarNormalButton));
    m_ventanas->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_ventanas->setAutoRaise(true);
    m_ventanas->setFocusPolicy(Qt::NoFocus);
    m_ventanas->installEventFilter(this);
    m_ventanas->setPopupMode(QToolButton::InstantPopup);
    m_menuVentanas = new QMenu(m_ventanas);
    m_ventanas->setMenu(m_menuVentanas);
    connect(m_menuVentanas, &QMenu::aboutToShow, this, &BarraControles::LlenaVentanas);
    m_teclaVentanas = NuevaTecla(m_ventanas);
    fila->addWidget(m_ventanas);

    fila->addWidget(NuevoBoton(cSalir, QStringLiteral("Salir"), QStringLiteral("Cerrar esta pantalla"),
                               Icono(QStringLiteral("application-exit"), QStyle::SP_DialogCloseButton)));
    layout()->addWidget(botones);
}

QToolButton* BarraControles::NuevoBoton(Comando comando, const QString& texto, const QString& ayuda, const QIcon& icono)
{
    static const char* const nombres[] = {"btnNuevo",     "btnEditar",   "btnImprimir", "btnConsulta",
                                          "btnReactivar", "btnEliminar", "btnSalir",    "btnB1",
                                          "btnB2",        "btnB3",       "btnCampos"};
    auto* boton = new QToolButton(this);
    boton->setObjectName(QLatin1String(nombres[comando]));
    boton->setText(texto);
    boton->setAccessibleDescription(ayuda);
    boton->setIcon(icono);
    boton->setToolButtonStyle(icono.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonTextBesideIcon);
    boton->setAutoRaise(true);
    // A screen's buttons are reached with Tab (ActualizaTeclas); a dialog's leave the focus in its fields.
    boton->setFocusPolicy(Qt::NoFocus);
    boton->installEventFilter(this);
    // A narrow window clips the row instead of squeezing the captions into each other.
    boton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(boton, &QToolButton::clicked, this, [this, comando] {
        if (comando == cCampos)
            AbreCampos();
        else
            Lanza(comando);
    });
    m_botones[comando] = boton;
    m_teclas[comando] = NuevaTecla(boton);
    return boton;
}

// A key anywhere in the window presses the button as the mouse does, while the button is offered.
QAction* BarraControles::NuevaTecla(QToolButton* boton)
{
    auto* tecla = new QAction(this);
    tecla->setShortcutContext(Qt::WindowShortcut);
    tecla->setEnabled(false);
    addAction(tecla);
    connect(tecla, &QAction::triggered, boton, &QToolButton::click);
    return tecla;
}

// The keys a desktop accounting user expects, clear of the tree's (F2, F3, F5, Ctrl+B) and of the
// editor's (F4, Esc, Alt+1, Alt+2). An extra button's is the window's; a dialog's bar has no other.
QKeySequence BarraControles::TeclaDe(Comando comando) const
{
    if (comando == cB1 || comando == cB2 || comando == cB3)
        return m_teclasExtra[comando - cB1];
    if (!m_pantalla)
        return {};
    switch (comando) {
    case cNuevo: return QKeySequence(Qt::CTRL | Qt::Key_N);
    case cEditar: return QKeySequence(Qt::CTRL | Qt::Key_E);
    case cImprimir: return QKeySequence(Qt::CTRL | Qt::Key_P);
    case cConsulta: return QKeySequence(Qt::CTRL | Qt::Key_I);
    case cReactivar: return QKeySequence(Qt::CTRL | Qt::Key_R);
    case cEliminar: return QKeySequence(Qt::Key_Delete);
    case cSalir: return QKeySequence(Qt::CTRL | Qt::Key_F4);
    case cCampos: return QKeySequence(Qt::CTRL | Qt::Key_D);
    default: return {};
    }
}

// Flag of each command: enabled1 Editar, 2 Imprimir, 3 Reactivar, 4 Eliminar (Baja),
// 5 Consulta, 6 Nuevo, 7 the record-bound fields. 0: governed by no flag.
int BarraControles::Bandera(Comando comando) const
{
    switch (comando) {
    case cEditar: return 1;
    case cImprimir: return 2;
    case cReactivar: return 3;
    case cEliminar: return 4;
    case cConsulta: return 5;
    case cNuevo: return 6;
    case cCampos: return 7;
    default: return 0;
    }
}

bool BarraControles::Ofrecido(Comando comando) const
{
    switch (comando) {
    case cB1:
    case cB2:
    case cB3: return !m_extras[comando - cB1].isEmpty();
    case cSalir: return m_pantalla;
    case cCampos: return !m_campos.Tabla().isEmpty() && m_banderas[7];
    default: return m_pantalla && m_banderas[static_cast<size_t>(Bandera(comando))];
    }
}

// The contract names the toolbar's commands in the toolbar's own order.
static_assert(int(kt508::Mando::Nuevo) == BarraControles::cNuevo && int(kt508::Mando::Editar) == BarraControles::cEditar
              && int(kt508::Mando::Imprimir) == BarraControles::cImprimir
              && int(kt508::Mando::Consulta) == BarraControles::cConsulta
              && int(kt508::Mando::Reactivar) == BarraControles::cReactivar
              && int(kt508::Mando::Eliminar) == BarraControles::cEliminar
              && int(kt508::Mando::Salir) == BarraControles::cSalir && int(kt508::Mando::B1) == BarraControles::cB1
              && int(kt508::Mando::B2) == BarraControles::cB2 && int(kt508::Mando::B3) == BarraControles::cB3);

bool BarraControles::Ofrece(kt508::Mando mando) const
{
    return Ofrecido(static_cast<Comando>(mando)) && isEnabled();
}

bool BarraControles::Lanza(kt508::Mando mando)
{
    return Lanza(static_cast<Comando>(mando));
}

QKeySequence BarraControles::Tecla(kt508::Mando mando) const
{
    return TeclaDe(static_cast<Comando>(mando));
}

bool BarraControles::Lanza(Comando comando)
{
    if (m_enComando || !Ofrecido(comando) || !isEnabled())
        return false;
    QPointer<BarraControles> viva(this);
    m_enComando = true;
    if (QToolButton* boton = m_botones[comando])
        boton->setDown(true);
    Emite(comando);
    if (viva)
        EndCommand();
    return true;
}

void BarraControles::Emite(Comando comando)
{
    static const char* const eventos[] = {"Nuevo", "Editar",  "Imprimir", "Consulta", "Reactivar", "Eliminar",
                                          "Salir", "B1Click", "B2Click",  "B3Click",  "Campos"};
    EmiteProtegido(QLatin1String(eventos[comando]), [this, comando] {
        switch (comando) {
        case cNuevo: emit Nuevo(); break;
        case cEditar: emit Editar(); break;
        case cImprimir: emit Imprimir(); break;
        case cConsulta: emit Consulta(); break;
        case cReactivar: emit Reactivar(); break;
        case cEliminar: emit Eliminar(); break;
        case cSalir: emit Salir(); break;
        case cB1: emit B1Click(); break;
        case cB2: emit B2Click(); break;
        case cB3: emit B3Click(); break;
        case cCampos: break;
        }
    });
}

QToolButton* BarraControles::Boton(Comando comando) const
{
    return m_botones[comando];
}

CamposAdicionales& BarraControles::Campos()
{
    return m_campos;
}

void BarraControles::Actualiza()
{
    for (Comando comando : {cNuevo, cEditar, cImprimir, cConsulta, cReactivar, cEliminar}) {
        m_botones[comando]->setVisible(m_pantalla);
        m_botones[comando]->setEnabled(m_banderas[static_cast<size_t>(Bandera(comando))]);
    }
    for (int n = 0; n < 3; ++n) {
        QToolButton* boton = m_botones[cB1 + n];
        boton->setText(m_extras[n]);
        boton->setVisible(!m_extras[n].isEmpty());
    }
    m_botones[cCampos]->setVisible(!m_campos.Tabla().isEmpty());
    m_botones[cCampos]->setEnabled(m_banderas[7]);
    m_ventanas->setVisible(m_listaVentanas);
    m_botones[cSalir]->setVisible(m_pantalla);
    ActualizaTeclas();
}

// Each key works exactly while its button is offered, and the button's tooltip names it.
void BarraControles::ActualizaTeclas()
{
    // The tooltip says what the button does (its caption when that says it all) and names its key.
    const auto conTecla = [](const QToolButton* boton, const QKeySequence& tecla) {
        const QString ayuda = boton->accessibleDescription().isEmpty() ? boton->text() : boton->accessibleDescription();
        return tecla.isEmpty() ? ayuda : QStringLiteral("%1 (%2)").arg(ayuda, tecla.toString(QKeySequence::NativeText));
    };
    const Qt::FocusPolicy foco = m_pantalla ? Qt::TabFocus : Qt::NoFocus;
    for (int n = cNuevo; n <= cCampos; ++n) {
        const auto comando = static_cast<Comando>(n);
        const QKeySequence tecla = TeclaDe(comando);
        m_teclas[comando]->setShortcut(tecla);
        m_teclas[comando]->setEnabled(!tecla.isEmpty() && Ofrecido(comando));
        m_botones[comando]->setToolTip(conTecla(m_botones[comando], tecla));
        m_botones[comando]->setFocusPolicy(foco);
    }
    const QKeySequence ventanas = m_pantalla ? QKeySequence(Qt::CTRL | Qt::Key_F6) : QKeySequence();
    m_teclaVentanas->setShortcut(ventanas);
    m_teclaVentanas->setEnabled(!ventanas.isEmpty() && m_listaVentanas);
    m_ventanas->setToolTip(conTecla(m_ventanas, ventanas));
    m_ventanas->setFocusPolicy(foco);
}

void BarraControles::setCaption(const QString& caption)
{
    m_titulo->setText(caption);
}

QString BarraControles::caption() const
{
    return m_titulo->text();
}

void BarraControles::setTabwidth(const QString& value)
{
    m_tabwidth = value;
}

void BarraControles::setShowmenupopup(const QString& siNo)
{
    m_menuEmergente = EsSi(siNo);
}

void BarraControles::setShowwindowslist(const QString& siNo)
{
    m_listaVentanas = EsSi(siNo);
    Actualiza();
}

void BarraControles::setShowexitbutton(const QString& siNo)
{
    m_pantalla = EsSi(siNo);
    Actualiza();
}

void BarraControles::setOpcTable(const QString& table)
{
    m_campos.setTabla(table);
    Actualiza();
}

void BarraControles::setOpcKey(const QString& keyColumn)
{
    m_opcKey = keyColumn;
}

void BarraControles::setPermitirMover(bool on)
{
    m_permitirMover = on;
    m_banda->setCursor(on ? Qt::SizeAllCursor : Qt::ArrowCursor);
}

void BarraControles::setCaptionbuttonsize(int twips)
{
    for (Comando extra : {cB1, cB2, cB3})
        m_botones[extra]->setMinimumWidth(kt508::Px(twips));
}

QString BarraControles::TextoExtra(int n) const
{
    return m_extras[static_cast<size_t>(n)];
}

void BarraControles::setTextoExtra(int n, const QString& caption)
{
    m_extras[static_cast<size_t>(n)] = caption;
    Actualiza();
}

QString BarraControles::b1caption() const
{
    return TextoExtra(0);
}

void BarraControles::setB1caption(const QString& caption)
{
    setTextoExtra(0, caption);
}

QString BarraControles::b2caption() const
{
    return TextoExtra(1);
}

void BarraControles::setB2caption(const QString& caption)
{
    setTextoExtra(1, caption);
}

QString BarraControles::b3caption() const
{
    return TextoExtra(2);
}

void BarraControles::setB3caption(const QString& caption)
{
    setTextoExtra(2, caption);
}

void BarraControles::setBshortcut(int n, const QKeySequence& tecla)
{
    if (n < 1 || n > 3)
        return;
    m_teclasExtra[static_cast<size_t>(n - 1)] = tecla;
    Actualiza();
}

bool BarraControles::enabledFlag(int n) const
{
    return n >= 1 && n <= 7 && m_banderas[static_cast<size_t>(n)];
}

void BarraControles::setEnabledFlag(int n, bool on)
{
    if (n < 1 || n > 7)
        return;
    m_banderas[static_cast<size_t>(n)] = on;
    Actualiza();
}

void BarraControles::EndCommand()
{
    m_enComando = false;
    for (QToolButton* boton : m_botones)
        boton->setDown(false);
}

void BarraControles::LoadFields(const QString& clave)
{
    m_campos.Carga(clave);
}

void BarraControles::setText(const QString& text)
{
    m_estado->setText(text);
}

QString BarraControles::text() const
{
    return m_estado->text();
}

bool BarraControles::ValidateFields()
{
    return m_campos.Valida();
}

QString BarraControles::ValidationMessage() const
{
    return m_campos.Mensaje();
}

bool BarraControles::SaveFields(const QString& clave)
{
    try {
        m_campos.Guarda(clave);
        return true;
    } catch (const kt508::Error&) {
        return false;
    }
}

void BarraControles::ActivateWindow(bool value)
{
    Actualiza();
    if (value && window())
        window()->activateWindow();
}

void BarraControles::AbreCampos()
{
    if (!Ofrecido(cCampos))
        return;
    DialogoCamposAdicionales dialogo(m_campos, window());
    dialogo.exec();
}

void BarraControles::LlenaVentanas()
{
    m_menuVentanas->clear();
    const auto ventanas = QApplication::topLevelWidgets();
    for (QWidget* ventana : ventanas) {
        if (!ventana->isVisible() || ventana->windowTitle().isEmpty() || qobject_cast<QMenu*>(ventana))
            continue;
        QAction* accion = m_menuVentanas->addAction(ventana->windowTitle());
        accion->setCheckable(true);
        accion->setChecked(ventana == window());
        QPointer<QWidget> destino(ventana);
        connect(accion, &QAction::triggered, this, [destino] {
            if (!destino)
                return;
            if (destino->isMinimized())
                destino->showNormal();
            destino->raise();
            destino->activateWindow();
        });
    }
    if (m_menuVentanas->isEmpty())
        m_menuVentanas->addAction(QStringLiteral("(sin ventanas)"))->setEnabled(false);
}

bool BarraControles::eventFilter(QObject* watched, QEvent* event)
{
    // Enter presses the button that has the focus, as Space does.
    if (event->type() == QEvent::KeyPress && watched != m_banda) {
        auto* tecla = static_cast<QKeyEvent*>(event);
        auto* boton = qobject_cast<QToolButton*>(watched);
        const bool enter = tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
        if (boton && enter && (tecla->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            boton->click();
            return true;
        }
    }
    // A window that may be moved is dragged by its title band.
    if (watched == m_banda && m_permitirMover && window() && window()->isWindow() && window() != this) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* raton = static_cast<QMouseEvent*>(event);
            if (raton->button() == Qt::LeftButton) {
                m_arrastre = raton->globalPosition().toPoint() - window()->frameGeometry().topLeft();
                return true;
            }
        } else if (event->type() == QEvent::MouseMove) {
            auto* raton = static_cast<QMouseEvent*>(event);
            if (raton->buttons() & Qt::LeftButton) {
                window()->move(raton->globalPosition().toPoint() - m_arrastre);
                return true;
            }
        }
    }
    return kt508::Controles::eventFilter(watched, event);
}

void BarraControles::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_menuEmergente) {
        kt508::Controles::contextMenuEvent(event);
        return;
    }
    QMenu menu(this);
    for (Comando comando : {cNuevo, cEditar, cConsulta, cReactivar, cEliminar, cB1, cB2, cB3, cImprimir, cSalir}) {
        QToolButton* boton = m_botones[comando];
        if (boton->isHidden())
            continue;
        QAction* accion = menu.addAction(boton->icon(), boton->text());
        accion->setEnabled(Ofrecido(comando));
        connect(accion, &QAction::triggered, this, [this, comando] { Lanza(comando); });
    }
    menu.exec(event->globalPos());
}

} // namespace orbanel
