#pragma once

#include "kt508/services/Controles.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Extras.h"
#include "kt508/services/Impresion.h"
#include "kt508/services/Utilerias.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace kt508 {

// What the registry keeps of a loadable class.
struct ClaseRegistrada {
    QString progId;
    QString clsid;
    QString biblioteca; // path of the shared library
    QString version;
};

// The platform the component runs on: how it creates the suite's objects and
// controls, asks for a value, and registers itself. The suite fills it in before the
// component is loaded; tests replace single entries with fakes.
struct Plataforma {
    std::function<std::unique_ptr<IDatos>()> NuevoDatos;
    std::function<std::unique_ptr<IUtilerias>()> NuevoUtilerias;
    std::function<std::unique_ptr<IImpresorTexto>()> NuevoImpresorTexto;
    std::function<std::unique_ptr<IConsultaRegistro>()> NuevoConsultaRegistro;
    std::function<std::unique_ptr<IExtras>()> NuevoExtras;

    // The platform's input box: the entered text, or "" when cancelled.
    std::function<QString(const QString& prompt, const QString& title, const QString& defaultText)> InputBox;

    std::function<Controles*(QWidget* parent)> NuevoControles;
    std::function<txtVEX*(QWidget* parent)> NuevoTexto;
    std::function<Etiqueta*(QWidget* parent)> NuevaEtiqueta;
    std::function<dpFecha*(QWidget* parent)> NuevoDpFecha;
    std::function<ssTbVex*(QWidget* parent)> NuevoSsTab;
    std::function<colorVEX*(QWidget* window)> NuevoColorVEX;
    std::function<TreeView*(QWidget* parent)> NuevoTreeView;
    std::function<ImageList*(QObject* parent)> NuevaImageList;

    std::function<void(const ClaseRegistrada&)> RegistraClase;
    std::function<void(const QString& progId)> BorraClase;
};

Plataforma& plataforma();

// The thread's error information: an entry point that answers "no" leaves here why it failed,
// and its caller takes it to tell the user. TomaErrorInfo gives "" when there is none, and clears it.
void FijaErrorInfo(const QString& descripcion);
QString TomaErrorInfo();

// Pixels of a length in twips, the unit the windows' sizes and positions are given in
// (1440 to the inch): 15 twips a pixel on a screen of 96 pixels to the inch.
constexpr int Px(int twips)
{
    return twips / 15;
}

} // namespace kt508
