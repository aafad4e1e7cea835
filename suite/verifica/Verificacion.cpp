#include "suite/verifica/Verificacion.h"

#include "kt508/services/Historial.h"
#include "kt508/services/Recordset.h"
#include "kt508/services/ReglasCentro.h"
#include "suite/ado/AdoConnection.h"
#include "suite/ado/Dialecto.h"
#include "suite/schema/Transaccion.h"

#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>

namespace orbanel::verifica {

namespace {

const QString Raiz = QStringLiteral("0");

// Characters Bc_Operador takes.
constexpr int LargoOperador = 30;

struct Centro {
    QString clave;
    QString acumula;
    QVariant tipo;
    QList<QPair<QString, QString>> textos; // column, value
};

struct Catalogo {
    QList<Centro> centros; // in key order
    QHash<QString, int> indice;
    QMultiHash<QString, QString> hijos; // parent -> children, a centre never its own child
    QMap<QString, int> largos;          // text column -> length admitted
};

// The text columns of Centro_Costo and the length each admits, as the database declares them.
QMap<QString, int> LeeLargos(ado::AdoConnection& db)
{
    QMap<QString, int> largos;
    for (kt508::Recordset rs = db.Execute(ado::Dialecto::De(db.dialect()).ConsultaLargos()); !rs.Eof(); rs.MoveNext()) {
        const int admitido = rs.Value(1).toInt();
        if (admitido > 0)
            largos.insert(rs.Value(0).toString().toLower(), admitido);
    }
    return largos;
}

Catalogo LeeCatalogo(ado::AdoConnection& db)
{
    Catalogo c;
    c.largos = LeeLargos(db);
    kt508::Recordset rs = db.Execute(QStringLiteral("SELECT * FROM Centro_Costo ORDER BY CC_Cve_Centro_Costo"));
    for (; !rs.Eof(); rs.MoveNext()) {
        Centro centro{rs.Fields(QStringLiteral("CC_Cve_Centro_Costo")).Value.toString(),
                      rs.Fields(QStringLiteral("CC_Acumula")).Value.toString(),
                      rs.Fields(QStringLiteral("CC_Tipo")).Value,
                      {}};
        for (int i = 0; i < rs.FieldCount(); ++i) {
            if (c.largos.contains(rs.FieldName(i).toLower()))
                centro.textos.append({rs.FieldName(i), rs.Value(i).toString()});
        }
        c.indice.insert(centro.clave, c.centros.size());
        if (centro.acumula != centro.clave)
            c.hijos.insert(centro.acumula, centro.clave);
        c.centros.append(centro);
    }
    return c;
}

// Every centre below the given ones that is not one of them.
int Descendientes(const Catalogo& c, const QStringList& claves)
{
    QSet<QString> vistos(claves.cbegin(), claves.cend());
    QStringList pendientes = claves;
    int total = 0;
    while (!pendientes.isEmpty()) {
        for (const QString& hijo : c.hijos.values(pendientes.takeLast())) {
            if (vistos.contains(hijo))
                continue;
            vistos.insert(hijo);
            pendientes.append(hijo);
            ++total;
        }
    }
    return total;
}

// What the tree loses: the centres named and every centre below them.
QString Ocultos(int nombrados, int descendientes)
{
    const bool uno = nombrados == 1;
    if (descendientes == 0)
        return uno ? QStringLiteral("no aparece en el árbol") : QStringLiteral("no aparecen en el árbol");
    const QString ellos = uno ? QStringLiteral("ni él") : QStringLiteral("ni ellos");
    if (descendientes == 1)
        return QStringLiteral("%1 ni el centro que depende de %2 aparecen en el árbol")
            .arg(ellos, uno ? QStringLiteral("él") : QStringLiteral("ellos"));
    return QStringLiteral("%1 ni sus %2 centros dependientes aparecen en el árbol").arg(ellos).arg(descendientes);
}

// The root's key on a row, and keys the user cannot see whole.
void ClavesDudosas(const Catalogo& c, QList<Problema>& problemas)
{
    for (const Centro& centro : c.centros) {
        const QString& clave = centro.clave;
        if (clave == Raiz) {
            problemas.append({Clase::ClaveDeRaiz,
                              {clave},
                              QStringLiteral("Hay un centro con la clave 0, la de la raíz, que no lleva fila: el "
                                             "catálogo lo confunde con la raíz.")});
            continue;
        }
        const bool alPrincipio = !clave.isEmpty() && clave.front().isSpace();
        const bool alFinal = !clave.isEmpty() && clave.back().isSpace();
        if (!alPrincipio && !alFinal)
            continue;
        const QString donde = alPrincipio && alFinal ? QStringLiteral("al principio y al final")
            : alPrincipio                            ? QStringLiteral("al principio")
                                                     : QStringLiteral("al final");
        problemas.append({Clase::ClaveConBlancos,
                          {clave},
                          QStringLiteral("La clave del centro \"%1\" tiene blancos %2.").arg(clave, donde)});
    }
}

void PadresInexistentes(const Catalogo& c, QList<Problema>& problemas)
{
    for (const Centro& centro : c.centros) {
        if (centro.clave == Raiz || centro.acumula == Raiz || c.indice.contains(centro.acumula))
            continue;
        const QString falta = centro.acumula.isEmpty()
            ? QStringLiteral("El centro %1 no indica en qué centro acumula").arg(centro.clave)
            : QStringLiteral("El centro %1 acumula en %2, que no existe").arg(centro.clave, centro.acumula);
        QStringList claves{centro.clave};
        if (!centro.acumula.isEmpty())
            claves << centro.acumula;
        problemas.append({Clase::PadreInexistente, claves,
                          QStringLiteral("%1: %2.").arg(falta, Ocultos(1, Descendientes(c, {centro.clave})))});
    }
}

// Follows each chain of parents; a chain that comes back to one of its own centres is a cycle.
void Ciclos(const Catalogo& c, QList<Problema>& problemas)
{
    QSet<QString> resueltos;
    for (const Centro& inicio : c.centros) {
        QStringList camino;
        QString clave = inicio.clave;
        while (clave != Raiz && c.indice.contains(clave) && !resueltos.contains(clave) && !camino.contains(clave)) {
            camino.append(clave);
            clave = c.centros.at(c.indice.value(clave)).acumula;
        }
        if (camino.contains(clave)) {
            QStringList ciclo = camino.mid(camino.indexOf(clave));
            std::rotate(ciclo.begin(), std::min_element(ciclo.begin(), ciclo.end()), ciclo.end());
            const QString ocultos = Ocultos(ciclo.size(), Descendientes(c, ciclo));
            const QString texto = ciclo.size() == 1
                ? QStringLiteral("El centro %1 acumula en sí mismo: %2.").arg(ciclo.first(), ocultos)
                : QStringLiteral("Los centros %1 acumulan en ciclo (%2 → %3): %4.")
                      .arg(ciclo.join(QStringLiteral(", ")), ciclo.join(QStringLiteral(" → ")), ciclo.first(), ocultos);
            problemas.append({Clase::Ciclo, ciclo, texto});
        }
        for (const QString& visto : camino)
            resueltos.insert(visto);
    }
}

struct TipoErroneo {
    QString clave;
    int correcto;
};

QList<TipoErroneo> TiposErroneos(const Catalogo& c)
{
    QList<TipoErroneo> erroneos;
    for (const Centro& centro : c.centros) {
        if (centro.clave == Raiz)
            continue;
        const int correcto = c.hijos.contains(centro.clave) ? 1 : 0;
        if (centro.tipo.isNull() || centro.tipo.toInt() != correcto)
            erroneos.append({centro.clave, correcto});
    }
    return erroneos;
}

void Tipos(const Catalogo& c, QList<Problema>& problemas)
{
    for (const TipoErroneo& e : TiposErroneos(c)) {
        const Centro& centro = c.centros.at(c.indice.value(e.clave));
        const QString guardado = centro.tipo.isNull() ? QStringLiteral("no tiene CC_Tipo")
                                                      : QStringLiteral("tiene CC_Tipo %1").arg(centro.tipo.toString());
        const QString motivo = e.correcto == 1
            ? QStringLiteral("hay centros que acumulan en él y no aparecen en el árbol")
            : centro.acumula == centro.clave ? QStringLiteral("acumula en sí mismo, ningún otro centro acumula en él")
                                             : QStringLiteral("ningún centro acumula en él");
        problemas.append(
            {Clase::TipoErroneo,
             {e.clave},
             QStringLiteral("El centro %1 %2 y %3: debe ser %4.").arg(e.clave, guardado, motivo).arg(e.correcto)});
    }
}

void TextosLargos(const Catalogo& c, QList<Problema>& problemas)
{
    for (const Centro& centro : c.centros) {
        for (const auto& [columna, valor] : centro.textos) {
            const int admitido = c.largos.value(columna.toLower());
            const qsizetype largo = kt508::reglas::Caracteres(valor); // as the database counts, as the editor does
            if (largo > admitido)
                problemas.append(
                    {Clase::TextoLargo,
                     {centro.clave},
                     QStringLiteral("El centro %1 tiene en %2 un texto de %3 caracteres; la columna admite %4.")
                         .arg(centro.clave, columna)
                         .arg(largo)
                         .arg(admitido)});
        }
    }
}

// The other tables that refer to a centre, found as the delete command's scan finds them.
QStringList TablasQueRefieren(ado::AdoConnection& db)
{
    QStringList tablas;
    kt508::Recordset rs = db.Execute(
        QStringLiteral("SELECT sysobjects.name AS Tabla FROM sysobjects INNER JOIN syscolumns ON sysobjects.id = "
                       "syscolumns.id WHERE syscolumns.name = 'Cc_Cve_Centro_costo' AND sysobjects.type = 'U' AND "
                       "sysobjects.name <> 'Centro_Costo' ORDER BY Tabla"));
    for (; !rs.Eof(); rs.MoveNext())
        tablas << rs.Value(0).toString();
    return tablas;
}

// Each centre that rows of another table name and the catalogue lacks, with how many rows.
void ReferenciasRotas(ado::AdoConnection& db, const Catalogo& c, QList<Problema>& problemas)
{
    for (const QString& tabla : TablasQueRefieren(db)) {
        kt508::Recordset rs = db.Execute(
            QStringLiteral("SELECT Cc_Cve_Centro_costo AS Centro, COUNT(*) AS Total FROM %1 WHERE Cc_Cve_Centro_costo "
                           "IS NOT NULL GROUP BY Cc_Cve_Centro_costo ORDER BY Cc_Cve_Centro_costo")
                .arg(tabla));
        for (; !rs.Eof(); rs.MoveNext()) {
            const QString centro = rs.Value(0).toString();
            if (c.indice.contains(centro))
                continue;
            const int total = rs.Value(1).toInt();
            const QString renglones =
                total == 1 ? QStringLiteral("1 renglón") : QStringLiteral("%1 renglones").arg(total);
            problemas.append(
                {Clase::ReferenciaRota,
                 {centro},
                 QStringLiteral("La tabla %1 tiene %2 del centro %3, que no existe.").arg(tabla, renglones, centro)});
        }
    }
}

// The server's time as its date-time columns take it, for the history's notes.
QString Ahora(ado::AdoConnection& db)
{
    const ado::Dialecto& dialecto = ado::Dialecto::De(db.dialect());
    const QVariant ahora = db.Execute(QStringLiteral("SELECT ") + dialecto.ExpresionAhora()).Value(0);
    return ahora.typeId() == QMetaType::QDateTime ? dialecto.FechaHora(ahora.toDateTime()) : ahora.toString();
}

void Corrige(ado::AdoConnection& db, const TipoErroneo& e, const QString& operador, const QString& fecha)
{
    db.ExecuteParams(QStringLiteral("UPDATE Centro_Costo SET CC_Tipo = ? WHERE CC_Cve_Centro_Costo = ?"),
                     {e.correcto, e.clave});
    db.ExecuteParams(
        QStringLiteral("INSERT INTO Bitacora_Cambios (Bc_Tabla, Bc_Clave, Bc_Operador, Bc_Fecha, Bc_Detalle) "
                       "VALUES (?, ?, ?, %1, ?)")
            .arg(ado::Dialecto::De(db.dialect()).ExpresionAhora()),
        {QStringLiteral("Centro_Costo"), e.clave, kt508::reglas::PrimerosCaracteres(operador, LargoOperador),
         QStringLiteral("Verificación del catálogo: CC_Tipo corregido a %1").arg(e.correcto)});
    db.Ejecuta(kt508::historial::Nota(kt508::historial::comando::Reparar, operador.left(30), fecha, e.clave));
}

} // namespace

int Informe::Cuantos(Clase clase) const
{
    return static_cast<int>(
        std::count_if(problemas.cbegin(), problemas.cend(), [clase](const Problema& p) { return p.clase == clase; }));
}

QString Informe::Texto() const
{
    QString texto = QStringLiteral("Catálogo de centros de costos: %1 centros, ").arg(centros);
    if (problemas.isEmpty())
        return texto + QStringLiteral("ningún problema.\n");
    texto += problemas.size() == 1 ? QStringLiteral("1 problema.\n")
                                   : QStringLiteral("%1 problemas.\n").arg(problemas.size());
    for (const Problema& p : problemas)
        texto += QStringLiteral("- %1\n").arg(p.texto);
    return texto;
}

Informe Verifica(ado::AdoConnection& db)
{
    const Catalogo c = LeeCatalogo(db);
    Informe informe;
    informe.centros = c.centros.size();
    ClavesDudosas(c, informe.problemas);
    PadresInexistentes(c, informe.problemas);
    Ciclos(c, informe.problemas);
    Tipos(c, informe.problemas);
    TextosLargos(c, informe.problemas);
    ReferenciasRotas(db, c, informe.problemas);
    return informe;
}

QStringList ReparaTipos(ado::AdoConnection& db, const QString& operador)
{
    QStringList corregidos;
    schema::EnTransaccion(db, [&] {
        const auto erroneos = TiposErroneos(LeeCatalogo(db));
        const QString fecha = erroneos.empty() ? QString() : Ahora(db);
        for (const TipoErroneo& e : erroneos) {
            Corrige(db, e, operador, fecha);
            corregidos << e.clave;
        }
    });
    return corregidos;
}

} // namespace orbanel::verifica
