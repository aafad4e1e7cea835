#include "suite/catalogo/RevisionImportacion.h"

#include "kt508/services/Decimal.h"
#include "kt508/services/Error.h"
#include "kt508/services/ReglasCentro.h"

#include <QDate>

#include <algorithm>

namespace orbanel::catalogo {

namespace reglas = kt508::reglas;

namespace {

const QString Raiz = QString(reglas::ClaveRaiz);

const size_t IClave = Indice(QStringLiteral("CC_Cve_Centro_Costo"));
const size_t IDescripcion = Indice(QStringLiteral("CC_Descripcion"));
const size_t IAcumula = Indice(QStringLiteral("CC_Acumula"));
const size_t IEstado = Indice(QStringLiteral("Es_Cve_Estado"));
const size_t ITipo = Indice(QStringLiteral("CC_Tipo"));
const size_t ICuenta = Indice(QStringLiteral("CC_Cuenta_Contable"));
const size_t IGrupo = Indice(QStringLiteral("Gcc_Cve_Grupo_Centro_Costo"));
const size_t IAnalizar = Indice(QStringLiteral("Cc_Analizar"));
const size_t IDato1 = Indice(QStringLiteral("Cc_UserDef_1"));
const size_t IDato2 = Indice(QStringLiteral("Cc_UserDef_2"));
const size_t IDato3 = Indice(QStringLiteral("Cc_UserDef_3"));
const size_t IDato4 = Indice(QStringLiteral("Cc_UserDef_4"));
const size_t IDato5 = Indice(QStringLiteral("Cc_UserDef_5"));
const size_t IDato6 = Indice(QStringLiteral("Cc_UserDef_6"));

// The columns the file may set, in the order of Columnas(); the rest the import works out.
const std::vector<size_t>& Importables()
{
    static const std::vector<size_t> columnas = [] {
        std::vector<size_t> lista{IClave, IDescripcion, IAcumula, IEstado, ICuenta, IGrupo, IAnalizar,
                                  IDato1, IDato2,       IDato3,   IDato4,  IDato5,  IDato6};
        std::sort(lista.begin(), lista.end());
        return lista;
    }();
    return columnas;
}

bool Requerida(size_t columna)
{
    return columna == IClave || columna == IDescripcion || columna == IAcumula;
}

// Columns where an empty field means "not given": they cannot be empty in a centre.
bool SinValorSeConserva(size_t columna)
{
    return columna == IEstado || columna == IGrupo || columna == IAnalizar;
}

QString Texto(const QVariant& valor)
{
    return valor.isNull() ? QString() : valor.toString();
}

bool Vacio(const QVariant& valor)
{
    return valor.isNull() || valor.toString().isEmpty();
}

QString Encabezado(size_t columna)
{
    return Columnas()[columna].encabezado;
}

// --- The heading --------------------------------------------------------------------------

struct Cabecera {
    std::vector<int> posicion; // per column of Columnas(): its field in the file, -1 when absent
    size_t campos = 0;
    QStringList ignoradas;
};

int ColumnaDeEncabezado(const QString& nombre)
{
    const std::vector<Columna>& columnas = Columnas();
    for (size_t i = 0; i < columnas.size(); ++i) {
        if (columnas[i].encabezado.compare(nombre, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void FaltanRequeridas(const Cabecera& cabecera)
{
    QStringList faltan;
    for (size_t i = 0; i < cabecera.posicion.size(); ++i) {
        if (Requerida(i) && cabecera.posicion[i] < 0)
            faltan << QStringLiteral("«%1»").arg(Encabezado(i));
    }
    if (!faltan.isEmpty())
        throw kt508::Error(QStringLiteral("Al encabezado del archivo (su primera línea) le falta %1 %2: el "
                                          "archivo debe nombrar sus columnas como las escribe la exportación.")
                               .arg(faltan.size() == 1 ? QStringLiteral("la columna") : QStringLiteral("las columnas"),
                                    faltan.join(QStringLiteral(", "))));
}

Cabecera LeeCabecera(const RegistroCsv& registro)
{
    Cabecera cabecera{std::vector<int>(Columnas().size(), -1), registro.campos.size(), {}};
    for (size_t campo = 0; campo < registro.campos.size(); ++campo) {
        const QString nombre = registro.campos[campo].value_or(QString()).trimmed();
        const int columna = ColumnaDeEncabezado(nombre);
        if (columna < 0) {
            if (!nombre.isEmpty())
                cabecera.ignoradas << nombre;
            continue;
        }
        int& posicion = cabecera.posicion[static_cast<size_t>(columna)];
        if (posicion >= 0)
            throw kt508::Error(QStringLiteral("La columna «%1» aparece dos veces en el encabezado del archivo.")
                                   .arg(Encabezado(static_cast<size_t>(columna))));
        posicion = static_cast<int>(campo);
    }
    FaltanRequeridas(cabecera);
    return cabecera;
}

// --- A row's values ---------------------------------------------------------------------

struct Renglon {
    int linea = 0;
    Fila valores;                // null where the file gives nothing
    std::vector<QString> fallos; // per column: why its field is not a value of its kind
    QStringList motivos;         // of the row as a whole
};

QDate Fecha(const QString& texto)
{
    for (const QString& formato : {QStringLiteral("yyyy-MM-dd"), QStringLiteral("d/M/yyyy")}) {
        const QDate fecha = QDate::fromString(texto, formato);
        if (fecha.isValid())
            return fecha;
    }
    return {};
}

QVariant ComoDecimal(const QString& campo, size_t columna, QChar separador, QString& fallo)
{
    // A spreadsheet that separates fields with semicolons writes a decimal comma.
    const QString texto = separador == u';' ? QString(campo).replace(u',', u'.') : campo;
    QString motivo;
    const std::optional<kt508::Decimal> numero = reglas::DecimalDato(texto, motivo);
    if (!numero) {
        fallo = QStringLiteral("%1: %2").arg(Encabezado(columna), motivo);
        return campo;
    }
    return QVariant::fromValue(*numero);
}

QVariant ComoFecha(const QString& campo, size_t columna, QString& fallo)
{
    const QDate fecha = Fecha(campo.trimmed());
    if (!fecha.isValid()) {
        fallo = QStringLiteral("%1: «%2» no es una fecha (se escribe aaaa-mm-dd, como 2024-03-31).")
                    .arg(Encabezado(columna), campo);
        return campo;
    }
    return fecha;
}

// The field typed as the catalogue types its column; an empty number or date is NULL.
QVariant Convierte(const std::optional<QString>& campo, size_t columna, QChar separador, QString& fallo)
{
    const Clase clase = Columnas()[columna].clase;
    if (!campo || (campo->isEmpty() && clase != Clase::Texto))
        return {};
    if (clase == Clase::Decimal)
        return ComoDecimal(*campo, columna, separador, fallo);
    if (clase == Clase::Fecha)
        return ComoFecha(*campo, columna, fallo);
    return *campo;
}

// Spreadsheets pad rows with empty fields; a value beyond the heading has no column to go to.
void CamposDeMas(const RegistroCsv& registro, const Cabecera& cabecera, QStringList& motivos)
{
    size_t conValor = 0;
    for (size_t i = 0; i < registro.campos.size(); ++i) {
        if (registro.campos[i] && !registro.campos[i]->isEmpty())
            conValor = i + 1;
    }
    if (conValor > cabecera.campos)
        motivos << QStringLiteral("Tiene valores en %1 campos y el encabezado nombra %2 columnas.")
                       .arg(conValor)
                       .arg(cabecera.campos);
}

Renglon LeeRenglon(const RegistroCsv& registro, const Cabecera& cabecera, QChar separador)
{
    Renglon renglon{registro.linea, Fila(Columnas().size()), std::vector<QString>(Columnas().size()), {}};
    CamposDeMas(registro, cabecera, renglon.motivos);
    for (const size_t columna : Importables()) {
        const size_t posicion = static_cast<size_t>(cabecera.posicion[columna]);
        if (cabecera.posicion[columna] >= 0 && posicion < registro.campos.size())
            renglon.valores[columna] =
                Convierte(registro.campos[posicion], columna, separador, renglon.fallos[columna]);
    }
    return renglon;
}

// --- The rows against the base and one another --------------------------------------------

bool Iguales(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    if (a.metaType() == QMetaType::fromType<kt508::Decimal>() && b.metaType() == a.metaType())
        return a.value<kt508::Decimal>() == b.value<kt508::Decimal>();
    return a.metaType() == b.metaType() && a == b;
}

class Revisor {
public:
    Revisor(const Base& base, Cabecera cabecera);

    void Revisa(const Renglon& renglon);
    Plan Resultado();

private:
    struct Revisado {
        Escritura escritura;
        QStringList motivos;
    };

    bool SinCambios(const Renglon& renglon, const Fila& guardada) const;
    Escritura Valores(const Renglon& renglon, const Fila* guardada, QStringList& motivos) const;
    void PorOmision(Escritura& escritura) const;
    QString Motivo(size_t columna, const QString& texto, const QString& clave) const;
    QString MotivoNuevo(const Escritura& escritura, bool grupoDado) const;
    QString MotivoPadre(const Escritura& escritura) const;
    QString MotivoJerarquia(const QString& clave);
    void FijaTipos(Plan& plan) const;

    const Base& m_base;
    const Cabecera m_cabecera;
    QHash<QString, size_t> m_guardados; // key, place in the base
    QHash<QString, QString> m_padres;   // every centre's parent once the file is in
    QHash<QString, int> m_lineas;       // key, the line the file first gives it on
    QSet<QString> m_llegan;             // centres known to reach the root
    std::vector<Revisado> m_revisados;
    int m_renglones = 0;
    int m_sinCambios = 0;
};

Revisor::Revisor(const Base& base, Cabecera cabecera)
    : m_base(base)
    , m_cabecera(std::move(cabecera))
{
    for (size_t i = 0; i < base.centros.size(); ++i) {
        const QString clave = Texto(base.centros[i][IClave]);
        m_guardados.insert(clave, i);
        m_padres.insert(clave, Texto(base.centros[i][IAcumula]));
    }
}

void Revisor::Revisa(const Renglon& renglon)
{
    ++m_renglones;
    const QString clave = Texto(renglon.valores[IClave]);
    QStringList motivos;
    const QString motivoClave = reglas::MotivoClave(clave);
    const int lineaPrevia = m_lineas.value(clave, 0);
    if (!motivoClave.isEmpty())
        motivos << motivoClave;
    else if (lineaPrevia > 0)
        motivos << QStringLiteral("La clave %1 ya aparece en la línea %2 del archivo.").arg(clave).arg(lineaPrevia);
    else
        m_lineas.insert(clave, renglon.linea);
    const auto guardado = m_guardados.constFind(clave);
    const Fila* guardada = guardado == m_guardados.cend() ? nullptr : &m_base.centros[*guardado];
    if (motivos.isEmpty() && guardada && SinCambios(renglon, *guardada)) {
        ++m_sinCambios;
        return;
    }
    Escritura escritura = Valores(renglon, guardada, motivos);
    motivos << renglon.motivos;
    if (motivoClave.isEmpty() && lineaPrevia == 0)
        m_padres.insert(clave, Texto(escritura.valores[IAcumula]));
    m_revisados.push_back({std::move(escritura), motivos});
}

// Every value the file gives equals the stored one (a column that keeps its value when left
// empty counts as equal then).
bool Revisor::SinCambios(const Renglon& renglon, const Fila& guardada) const
{
    const auto falla = [](const QString& fallo) { return !fallo.isEmpty(); };
    if (!renglon.motivos.isEmpty() || std::any_of(renglon.fallos.begin(), renglon.fallos.end(), falla))
        return false;
    for (const size_t columna : Importables()) {
        if (m_cabecera.posicion[columna] < 0 || (SinValorSeConserva(columna) && Vacio(renglon.valores[columna])))
            continue;
        if (!Iguales(renglon.valores[columna], guardada[columna]))
            return false;
    }
    return true;
}

Escritura Revisor::Valores(const Renglon& renglon, const Fila* guardada, QStringList& motivos) const
{
    Escritura escritura;
    escritura.linea = renglon.linea;
    escritura.clave = Texto(renglon.valores[IClave]);
    escritura.nuevo = guardada == nullptr;
    escritura.valores = guardada ? *guardada : Fila(Columnas().size());
    if (escritura.nuevo)
        PorOmision(escritura);
    for (const size_t columna : Importables()) {
        if (m_cabecera.posicion[columna] < 0 || columna == IClave)
            continue;
        const QVariant& valor = renglon.valores[columna];
        escritura.columnas.push_back(columna);
        if (SinValorSeConserva(columna) && Vacio(valor))
            continue;
        const QString motivo = renglon.fallos[columna].isEmpty() ? Motivo(columna, Texto(valor), escritura.clave)
                                                                 : renglon.fallos[columna];
        if (!motivo.isEmpty())
            motivos << motivo;
        escritura.valores[columna] = valor;
    }
    escritura.cambiaEstado = guardada && !Iguales((*guardada)[IEstado], escritura.valores[IEstado]);
    escritura.generaCuenta = escritura.nuevo && Vacio(escritura.valores[ICuenta]) && !m_base.cuentaPadre.isEmpty();
    const QString motivo = MotivoNuevo(escritura, m_cabecera.posicion[IGrupo] >= 0 && !Vacio(renglon.valores[IGrupo]));
    if (!motivo.isEmpty())
        motivos << motivo;
    return escritura;
}

// What a new centre takes for a column the file does not have: what the catalogue's New
// proposes (the default group, Analizar checked) and what the editor stores for a field left
// as it opens; no date, since a date the centre does not have is not today's.
void Revisor::PorOmision(Escritura& escritura) const
{
    Fila& v = escritura.valores;
    v[IClave] = escritura.clave;
    v[IEstado] = QStringLiteral("AC");
    v[IGrupo] = m_base.grupoPorOmision;
    v[IAnalizar] = QStringLiteral("SI");
    for (const size_t columna : {ICuenta, IDato1, IDato2})
        v[columna] = QString(QLatin1String(""));
    for (const size_t columna : {IDato3, IDato4})
        v[columna] = QVariant::fromValue(kt508::Decimal());
}

QString Revisor::Motivo(size_t columna, const QString& texto, const QString& clave) const
{
    if (columna == IDescripcion)
        return reglas::MotivoDescripcion(texto);
    if (columna == IAcumula && texto.isEmpty())
        return QStringLiteral("Falta «Acumula en»: la clave del centro en que acumula, o 0 si cuelga de la raíz.");
    if (columna == IAcumula && texto == clave && texto != Raiz)
        return QStringLiteral("Un centro no puede acumular en sí mismo.");
    if (columna == IEstado && texto != QLatin1String("AC") && texto != QLatin1String("BA"))
        return QStringLiteral("El estado debe ser AC (activo) o BA (de baja), no «%1».").arg(texto);
    if (columna == IAnalizar && texto != QLatin1String("SI") && texto != QLatin1String("NO"))
        return QStringLiteral("Analizar debe ser SI o NO, no «%1».").arg(texto);
    if (columna == IGrupo && !m_base.grupos.contains(texto))
        return QStringLiteral("El grupo %1 no existe.").arg(texto);
    if (columna == ICuenta && !texto.isEmpty() && !m_base.cuentas.contains(texto))
        return QStringLiteral("La cuenta contable %1 no existe.").arg(texto);
    if (columna == IDato1 || columna == IDato2)
        return reglas::MotivoLargo(Encabezado(columna), texto, reglas::LargoDato);
    return {};
}

// A new centre left without a group takes the default one, which must exist too; one left
// without an account gets it generated under the parent account the settings name.
QString Revisor::MotivoNuevo(const Escritura& escritura, bool grupoDado) const
{
    if (escritura.nuevo && !grupoDado && !m_base.grupos.contains(m_base.grupoPorOmision))
        return QStringLiteral("No indica su grupo y el grupo por omisión %1 (CAT_GRUPO_CENTRO_COSTO_DEFAULT) no "
                              "existe.")
            .arg(m_base.grupoPorOmision);
    if (escritura.generaCuenta && !m_base.motivoCuentaPadre.isEmpty())
        return QStringLiteral("No se puede generar su cuenta contable: %1").arg(m_base.motivoCuentaPadre);
    return {};
}

// The parent exists, or the file gives it earlier: a centre comes after the one it accumulates into.
QString Revisor::MotivoPadre(const Escritura& escritura) const
{
    const QString padre = Texto(escritura.valores[IAcumula]);
    if (padre.isEmpty() || padre == Raiz || padre == escritura.clave || m_guardados.contains(padre))
        return {};
    const int linea = m_lineas.value(padre, 0);
    if (linea > 0 && linea < escritura.linea)
        return {};
    if (linea > 0)
        return QStringLiteral("El centro acumulador %1 viene después, en la línea %2: cada centro debe ir después "
                              "del centro en que acumula.")
            .arg(padre)
            .arg(linea);
    return QStringLiteral("El centro acumulador %1 no existe.").arg(padre);
}

// Up from the centre through the parents it will have, to the root: a centre moved under one of
// its own descendants would never get there, nor one under a branch the tree already cannot reach.
QString Revisor::MotivoJerarquia(const QString& clave)
{
    QStringList camino{clave};
    for (QString padre = m_padres.value(clave); padre != Raiz && !m_llegan.contains(padre);
         padre = m_padres.value(padre)) {
        const qsizetype vuelta = camino.indexOf(padre);
        if (vuelta == 0)
            return QStringLiteral("Acumular en %1 formaría un ciclo: %2 → %3.")
                .arg(m_padres.value(clave), camino.join(QStringLiteral(" → ")), clave);
        if (vuelta > 0)
            return QStringLiteral("El centro acumulador %1 no llega a la raíz: %2 → %3 forman un ciclo.")
                .arg(m_padres.value(clave), camino.mid(vuelta).join(QStringLiteral(" → ")), padre);
        if (!m_padres.contains(padre))
            return QStringLiteral("El centro acumulador %1 no llega a la raíz: %2 acumula en «%3», que no existe.")
                .arg(m_padres.value(clave), camino.constLast(), padre);
        camino << padre;
    }
    for (const QString& centro : camino)
        m_llegan.insert(centro);
    return {};
}

Plan Revisor::Resultado()
{
    Plan plan;
    plan.renglones = m_renglones;
    plan.sinCambios = m_sinCambios;
    plan.ignoradas = m_cabecera.ignoradas;
    for (Revisado& revisado : m_revisados) {
        const Escritura& escritura = revisado.escritura;
        const QString motivoPadre = MotivoPadre(escritura);
        if (!motivoPadre.isEmpty())
            revisado.motivos << motivoPadre;
        // A row already at fault need not say where its parent leads.
        const QString motivoJerarquia = revisado.motivos.isEmpty() ? MotivoJerarquia(escritura.clave) : QString();
        if (!motivoJerarquia.isEmpty())
            revisado.motivos << motivoJerarquia;
        if (!revisado.motivos.isEmpty())
            plan.rechazos.push_back({escritura.linea, escritura.clave, revisado.motivos.join(QLatin1Char(' '))});
    }
    if (!plan.rechazos.empty())
        return plan;
    for (Revisado& revisado : m_revisados)
        plan.centros.push_back(std::move(revisado.escritura));
    FijaTipos(plan);
    return plan;
}

// CC_Tipo from the children each centre has once the file is in: for every centre written, and
// for every other one that gains or loses a child.
void Revisor::FijaTipos(Plan& plan) const
{
    QHash<QString, int> hijos;
    for (auto it = m_padres.cbegin(); it != m_padres.cend(); ++it)
        ++hijos[it.value()];
    QSet<QString> escritos;
    QSet<QString> tocados;
    for (Escritura& escritura : plan.centros) {
        escritura.valores[ITipo] = qlonglong(hijos.value(escritura.clave) > 0 ? 1 : 0);
        escritos.insert(escritura.clave);
        const QString padre = Texto(escritura.valores[IAcumula]);
        const QString antes =
            escritura.nuevo ? padre : Texto(m_base.centros[m_guardados.value(escritura.clave)][IAcumula]);
        if (escritura.nuevo || antes != padre)
            tocados << padre << antes;
    }
    QStringList padres(tocados.cbegin(), tocados.cend());
    padres.sort();
    for (const QString& padre : padres) {
        if (padre != Raiz && m_guardados.contains(padre) && !escritos.contains(padre))
            plan.padres.emplace_back(padre, hijos.value(padre) > 0 ? 1 : 0);
    }
}

bool EnBlanco(const RegistroCsv& registro)
{
    return std::all_of(registro.campos.begin(), registro.campos.end(),
                       [](const std::optional<QString>& campo) { return !campo || campo->trimmed().isEmpty(); });
}

} // namespace

size_t Indice(const QString& campo)
{
    const std::vector<Columna>& columnas = Columnas();
    for (size_t i = 0; i < columnas.size(); ++i) {
        if (columnas[i].campo == campo)
            return i;
    }
    throw kt508::Error(QStringLiteral("El catálogo no tiene la columna %1.").arg(campo));
}

std::vector<size_t> ColumnasDeLaBase()
{
    std::vector<size_t> columnas = Importables();
    columnas.insert(std::upper_bound(columnas.begin(), columnas.end(), ITipo), ITipo);
    return columnas;
}

Plan Revisa(const Csv& csv, const Base& base)
{
    if (csv.registros.empty())
        throw kt508::Error(QStringLiteral("El archivo está vacío: no tiene ni el encabezado."));
    const Cabecera cabecera = LeeCabecera(csv.registros.front());
    Revisor revisor(base, cabecera);
    for (size_t i = 1; i < csv.registros.size(); ++i) {
        if (!EnBlanco(csv.registros[i]))
            revisor.Revisa(LeeRenglon(csv.registros[i], cabecera, csv.separador));
    }
    return revisor.Resultado();
}

} // namespace orbanel::catalogo
