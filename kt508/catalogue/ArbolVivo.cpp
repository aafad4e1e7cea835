#include "kt508/catalogue/frmKT508.h"

#include "kt508/catalogue/Iconos.h"
#include "kt508/services/Connection.h"
#include "kt508/services/Controles.h"
#include "kt508/services/Error.h"
#include "kt508/services/Recordset.h"
#include "kt508/store/Publico.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <utility>

using namespace Publico;

namespace {

bool Abierto(int imagen)
{
    return imagen == Imagen::ActivoAbierto || imagen == Imagen::BajaAbierto;
}

int ImagenDe(const QString& estado, bool abierto)
{
    if (estado == QLatin1String("AC"))
        return abierto ? Imagen::ActivoAbierto : Imagen::Activo;
    return abierto ? Imagen::BajaAbierto : Imagen::Baja;
}

bool EnRama(kt508::Node* nodo, kt508::Node* rama)
{
    for (; nodo; nodo = nodo->Parent())
        if (nodo == rama)
            return true;
    return false;
}

} // namespace

void frmKT508::setIntervaloSondeo(int milisegundos)
{
    if (!m_sondeo) {
        m_sondeo = new QTimer(this);
        connect(m_sondeo, &QTimer::timeout, this, &frmKT508::Sondea);
    }
    m_sondeo->start(milisegundos);
}

qint64 frmKT508::LeeVersion() const
{
    kt508::Recordset rs = servicios.Conexion().Ejecuta(Sentencias::VersionCatalogo());
    const qint64 version = rs.Eof() ? 0 : rs.Value(0).toLongLong();
    rs.Close();
    return version;
}

// The version the tree now shows. A catalogue without one (not brought up to date) is not
// followed, and nothing is said: the tree works as it always did.
void frmKT508::AnotaVersion(kt508::Resultado& version)
{
    m_version = -1;
    if (version.Corrio() && !version.filas.Eof())
        m_version = version.filas.Value(0).toLongLong();
    version.filas.Close();
}

// A rename in place, a modal window (the editor, the account box, a question) or a command
// running: the tree stays as the user sees it. Nor is anything read inside a transaction another
// part of the suite holds on the connection: what it wrote may yet be undone.
bool frmKT508::Retenido() const
{
    return m_ocupado > 0 || QApplication::activeModalWidget() != nullptr || tvCeCos->LabelEditing()
        || servicios.Conexion().EnTransaccion();
}

void frmKT508::TerminaOcupacion()
{
    if (--m_ocupado == 0 && m_atrasado)
        QTimer::singleShot(0, this, &frmKT508::Sondea);
}

void frmKT508::Sondea()
{
    if (!m_cargada || m_version < 0)
        return;
    m_atrasado = Retenido();
    if (m_atrasado)
        return;
    try {
        AlDia();
    } catch (const kt508::Error&) {
        // Told by the next command that meets the connection; the next reading tries again.
    }
}

// The version, and when it moved, the centres noted since.
void frmKT508::AlDia()
{
    const qint64 version = LeeVersion();
    if (version == m_version)
        return;
    if (version < m_version) { // the catalogue was made anew
        CargarCecos();
        return;
    }
    kt508::Recordset rs = servicios.Conexion().Ejecuta(Sentencias::CambiosDesde(m_version));
    std::vector<CentroCambiado> cambios;
    if (!rs.Eof()) {
        const int clave = Columna(rs, QStringLiteral("Cm_Clave"));
        const int acumula = Columna(rs, QStringLiteral("CC_Acumula"));
        const int descripcion = Columna(rs, QStringLiteral("CC_Descripcion"));
        const int estado = Columna(rs, QStringLiteral("Es_Cve_Estado"));
        for (; !rs.Eof(); rs.MoveNext()) {
            const QVariant padre = rs.Value(acumula);
            cambios.push_back({rs.Value(clave).toString(), padre.isNull() ? QString() : padre.toString(),
                               rs.Value(descripcion).toString(), rs.Value(estado).toString()});
        }
    }
    rs.Close();
    m_version = version;
    AplicaCambios(std::move(cambios));
}

// A move this screen made reaches its tree as any other change, at once: the node moves in
// place and the next reading finds nothing new. A catalogue without a version is read again.
void frmKT508::AlDiaTrasMover()
{
    try {
        if (m_version >= 0) {
            AlDia();
            return;
        }
    } catch (const kt508::Error&) {
        // read whole below
    }
    CargarCecos();
}

// Gone centres first, so that a key deleted and made again is added afresh; then every other
// under its parent, a centre whose parent comes in the same change after that parent.
void frmKT508::AplicaCambios(std::vector<CentroCambiado> cambios)
{
    kt508::Node* antes = tvCeCos->SelectedItem();
    const QString seleccion = antes ? antes->Key() : QString();
    const int imagenAntes = antes ? antes->Image() : 0;
    for (const CentroCambiado& centro : cambios)
        if (centro.acumula.isNull())
            QuitaNodo(centro.clave);
    cambios.erase(std::remove_if(cambios.begin(), cambios.end(),
                                 [](const CentroCambiado& centro) { return centro.acumula.isNull(); }),
                  cambios.end());
    for (size_t antesDeLaRonda = 0; !cambios.empty() && cambios.size() != antesDeLaRonda;) {
        antesDeLaRonda = cambios.size();
        cambios.erase(std::remove_if(cambios.begin(), cambios.end(),
                                     [this](const CentroCambiado& centro) { return ColocaNodo(centro); }),
                      cambios.end());
    }
    // Under no centre of the tree: as the load would, the tree leaves them out.
    for (const CentroCambiado& centro : cambios)
        QuitaNodo(centro.clave);
    kt508::Node* ahora = tvCeCos->SelectedItem();
    if (ahora && ahora->Key() == seleccion && ahora->Image() != imagenAntes)
        tvCeCos_NodeClick(ahora); // the toolbar follows the centre's new state
}

// The node goes with its branch; the selection in it moves to the parent.
void frmKT508::QuitaNodo(const QString& clave)
{
    kt508::Node* nodo = tvCeCos->Nodes(QLatin1Char('N') + clave);
    if (!nodo)
        return;
    kt508::Node* padre = nodo->Parent();
    const bool conSeleccion = EnRama(tvCeCos->SelectedItem(), nodo);
    tvCeCos->Remove(nodo->Key());
    if (!padre)
        return;
    if (padre->Children() == 0 && Abierto(padre->Image()))
        padre->setImage(padre->Image() == Imagen::ActivoAbierto ? Imagen::Activo : Imagen::Baja);
    if (conSeleccion) {
        tvCeCos->setSelectedItem(padre);
        tvCeCos_NodeClick(padre);
    }
}

// Added, moved or changed in place, among its siblings in key order. False while its parent is
// not in the tree, or is still inside the node's own branch (it moves in this change too).
bool frmKT508::ColocaNodo(const CentroCambiado& centro)
{
    kt508::Node* padre = tvCeCos->Nodes(QLatin1Char('N') + centro.acumula);
    const QString clave = QLatin1Char('N') + centro.clave;
    kt508::Node* nodo = tvCeCos->Nodes(clave);
    if (!padre || (nodo && EnRama(padre, nodo)))
        return false;
    const QString texto = centro.clave + QStringLiteral(" - ") + centro.descripcion;
    const QString siguiente = SiguienteHermano(padre, centro.clave);
    const QString relativo = siguiente.isEmpty() ? padre->Key() : siguiente;
    const int relacion = siguiente.isEmpty() ? kt508::tvwChild : kt508::tvwPrevious;
    if (!nodo) {
        tvCeCos->Add(relativo, relacion, clave, texto, ImagenDe(centro.estado, false));
        return true;
    }
    if (nodo->Parent() != padre)
        tvCeCos->Move(clave, relativo, relacion);
    if (nodo->Text() != texto)
        nodo->setText(texto);
    const int imagen = ImagenDe(centro.estado, Abierto(nodo->Image()));
    if (nodo->Image() != imagen)
        nodo->setImage(imagen);
    return true;
}

// The key of the first child of the parent after the centre's key; empty when it goes last.
QString frmKT508::SiguienteHermano(kt508::Node* padre, const QString& clave) const
{
    const QString propia = QLatin1Char('N') + clave;
    for (kt508::Node* hijo = padre->Child(); hijo; hijo = hijo->Next())
        if (hijo->Key() != propia && hijo->Key().mid(1) > clave)
            return hijo->Key();
    return {};
}
