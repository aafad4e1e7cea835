#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace kt508 {
class IDatos;
class IUtilerias;
} // namespace kt508

namespace orbanel::catalogo {

// A row of the file that cannot go in, and why (every reason it has, one after the other).
struct Rechazo {
    int linea = 0; // of the file: the heading is line 1
    QString clave; // as the row gives it
    QString motivo;
};

// What an import did, or would do, and what stopped it.
struct Importacion {
    QString archivo;
    bool simulada = false;
    bool cancelada = false; // by the user, halfway: nothing was written
    int renglones = 0;      // centres the file lists
    int nuevos = 0;
    int modificados = 0;
    int sinCambios = 0;
    int padres = 0;                // centres outside the file whose CC_Tipo was set because their children changed
    int cuentas = 0;               // ledger accounts generated for new centres
    QStringList ignoradas;         // headings of the file that are no column of the catalogue
    std::vector<Rechazo> rechazos; // any of them means nothing was written

    bool Escrita() const;  // committed
    QString Texto() const; // the report, in the user's words
};

enum class Modo {
    Importar,
    Simular, // checks everything and tells what it would do; writes nothing
};

// Told how many of the centres to write are written; answering false cancels the import, which
// is then rolled back whole.
using Avance = std::function<bool(int hechos, int total)>;

// Reads a CSV file with the export's headings, in any order (Clave, Descripción and Acumula en
// required; Estado, Cuenta contable, Grupo, Analizar and Dato 1 to 6 read when present; Nivel,
// Ruta, Tipo and the audit columns ignored, since the import works them out) and brings the
// catalogue to it in one transaction on the data service's connection: new keys inserted, the
// others updated, a row equal to what the database holds left alone. Each row is checked as
// the editor checks a centre; a parent must exist or come earlier in the file; a centre may
// move to another parent unless that makes a cycle. Any row refused, and nothing is written:
// the result lists every one. CC_Tipo comes out right for each centre whose children change,
// new centres get their ledger account as the editor's save generates it, the audit columns
// take the operator and the server's time, and each centre imported gets its line in
// Bitacora_Cambios. Throws kt508::Error, after rolling back, when the file is no catalogue or
// the database fails.
Importacion Importa(const QString& archivo, kt508::IDatos& datos, kt508::IUtilerias& utilerias, Modo modo,
                    const Avance& avance = {});

} // namespace orbanel::catalogo
