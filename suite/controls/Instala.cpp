#include "suite/Plataforma.h"

#include "suite/controls/ArbolVex.h"
#include "suite/controls/BarraControles.h"
#include "suite/controls/ColoresVex.h"
#include "suite/controls/EtiquetaVex.h"
#include "suite/controls/FechaVex.h"
#include "suite/controls/ListaImagenes.h"
#include "suite/controls/PestanasVex.h"
#include "suite/controls/TextoVex.h"

#include "kt508/services/Plataforma.h"

namespace orbanel {

void InstalaControles(kt508::Plataforma& p)
{
    p.NuevoControles = [](QWidget* parent) -> kt508::Controles* { return new BarraControles(parent); };
    p.NuevoTexto = [](QWidget* parent) -> kt508::txtVEX* { return new TextoVex(parent); };
    p.NuevaEtiqueta = [](QWidget* parent) -> kt508::Etiqueta* { return new EtiquetaVex(parent); };
    p.NuevoDpFecha = [](QWidget* parent) -> kt508::dpFecha* { return new FechaVex(parent); };
    p.NuevoSsTab = [](QWidget* parent) -> kt508::ssTbVex* { return new PestanasVex(parent); };
    p.NuevoColorVEX = [](QWidget* window) -> kt508::colorVEX* { return new ColoresVex(window); };
    p.NuevoTreeView = [](QWidget* parent) -> kt508::TreeView* { return new ArbolVex(parent); };
    p.NuevaImageList = [](QObject* parent) -> kt508::ImageList* { return new ListaImagenes(parent); };
}

} // namespace orbanel
