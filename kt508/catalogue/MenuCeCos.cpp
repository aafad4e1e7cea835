#include "kt508/catalogue/frmKT508.h"

#include "kt508/services/Controles.h"
#include "kt508/services/Extras.h"
#include "kt508/services/Plataforma.h"

#include <QAction>
#include <QMenu>

#include <memory>

namespace {

// What the suite adds to the catalogue, when it adds anything.
std::unique_ptr<kt508::IExtras> Extras()
{
    const kt508::Plataforma& p = kt508::plataforma();
    return p.NuevoExtras ? p.NuevoExtras() : nullptr;
}

bool HayExtras()
{
    return static_cast<bool>(kt508::plataforma().NuevoExtras);
}

} // namespace

// A toolbar command is offered and raised by the toolbar itself, so the menu follows its flags
// and ends the command as its button does.
std::vector<frmKT508::EntradaMenu> frmKT508::EntradasMenu()
{
    const auto mando = [this](const QString& texto, kt508::Mando mando) {
        const QKeySequence tecla = Controles->Tecla(mando);
        return EntradaMenu{
            tecla.isEmpty() ? texto : texto + QLatin1Char('\t') + tecla.toString(QKeySequence::NativeText),
            [this, mando] { return Controles->Ofrece(mando); }, [this, mando] { Controles->Lanza(mando); }};
    };
    const auto centro = [this] {
        kt508::Node* seleccionado = tvCeCos->SelectedItem();
        return seleccionado && seleccionado->Key() != QLatin1String("N0");
    };
    return {
        mando(QStringLiteral("&Nuevo"), kt508::Mando::Nuevo),
        mando(QStringLiteral("&Editar"), kt508::Mando::Editar),
        mando(QStringLiteral("&Consulta"), kt508::Mando::Consulta),
        mando(QStringLiteral("&Reactivar"), kt508::Mando::Reactivar),
        mando(QStringLiteral("&Baja"), kt508::Mando::Eliminar),
        mando(QStringLiteral("E&liminar"), kt508::Mando::B1),
        mando(QStringLiteral("Cambiar c&uenta contable"), kt508::Mando::B3),
        mando(QStringLiteral("&Imprimir"), kt508::Mando::Imprimir),
        EntradaMenu{},
        EntradaMenu{QStringLiteral("&Historial"), [centro] { return HayExtras() && centro(); },
                    [this] { mnuCeCos_Historial(); }},
        EntradaMenu{QStringLiteral("E&xportar catálogo…"), [] { return HayExtras(); }, [this] { mnuCeCos_Exportar(); }},
        EntradaMenu{QStringLiteral("Mo&ver a…"), centro, [this] { mnuCeCos_Mover(); }},
    };
}

// The chosen entry runs once the menu has closed, as if its button had been pressed.
void frmKT508::tvCeCos_ContextMenu(const QPoint& posicion)
{
    const std::vector<EntradaMenu> entradas = EntradasMenu();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuCeCos"));
    for (const EntradaMenu& entrada : entradas) {
        if (entrada.texto.isEmpty())
            menu.addSeparator();
        else
            menu.addAction(entrada.texto)->setEnabled(entrada.ofrecida());
    }
    const qsizetype elegida = menu.actions().indexOf(menu.exec(posicion));
    if (elegida >= 0)
        entradas[static_cast<size_t>(elegida)].accion();
}

void frmKT508::mnuCeCos_Historial()
{
    Protege(QStringLiteral("mnuCeCos_Historial()"), QStringLiteral("ERR-ID:7500034"), [this] {
        kt508::Node* seleccionado = tvCeCos->SelectedItem();
        if (std::unique_ptr<kt508::IExtras> extras = Extras(); extras && seleccionado)
            extras->MuestraHistorial(seleccionado->Key().mid(1), this);
    });
}

void frmKT508::mnuCeCos_Exportar()
{
    Protege(QStringLiteral("mnuCeCos_Exportar()"), QStringLiteral("ERR-ID:7500034"), [this] {
        if (std::unique_ptr<kt508::IExtras> extras = Extras())
            extras->ExportaCatalogo(this);
    });
}
