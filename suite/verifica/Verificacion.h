#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace orbanel::ado {
class AdoConnection;
}

namespace orbanel::verifica {

enum class Clase {
    PadreInexistente, // the centre accumulates into a key that has no row
    Ciclo,            // the centres accumulate into one another and never reach the root
    TipoErroneo,      // CC_Tipo says the opposite of whether the centre has children
    TextoLargo,       // a text longer than its column admits
    ClaveDeRaiz,      // a row keyed "0", the key of the root, which has no row
    ClaveConBlancos,  // a key with blanks at either end
    ReferenciaRota,   // rows of another table refer to a centre that does not exist
};

struct Problema {
    Clase clase;
    QStringList claves; // the centres involved, the first one being the centre at fault
    QString texto;      // one line of the report
};

struct Informe {
    int centros = 0;
    QList<Problema> problemas;

    int Cuantos(Clase clase) const;
    QString Texto() const; // the whole report, a heading and one line per problem
};

// Reads the catalogue of cost centres and the tables that refer to it, and lists what the tree
// cannot show or shows wrong and the references to centres that do not exist. Keys are taken
// as stored, lengths counted in characters. Writes nothing.
Informe Verifica(ado::AdoConnection& db);

// Sets CC_Tipo from the children of every centre whose flag disagrees, each change noted in
// the change log under the operator, all in one transaction. Returns the keys corrected.
QStringList ReparaTipos(ado::AdoConnection& db, const QString& operador);

} // namespace orbanel::verifica
