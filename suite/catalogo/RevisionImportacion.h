#pragma once

#include "suite/catalogo/Catalogo.h"
#include "suite/catalogo/Importacion.h"
#include "suite/catalogo/LectorCsv.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace orbanel::catalogo {

// The parent ledger account, read as the editor's generation reads it.
struct CuentaPadre {
    QString codigo;
    short tipo = 0;
    short titulo = 0;
    int naturaleza = 1; // 0 when Cc_Naturaleza is "AC"
    bool resultado = false;
    QString grupo;
};

// What the database holds that the file's rows are checked against.
struct Base {
    std::vector<Fila> centros;      // ColumnasDeLaBase()
    QHash<QString, QString> grupos; // key, description
    QSet<QString> cuentas;
    QString grupoPorOmision; // CAT_GRUPO_CENTRO_COSTO_DEFAULT
    QString cuentaPadre;     // CON_CUENTA_PADRE_CENTRO_COSTO; "" generates no account
    std::optional<CuentaPadre> padre;
    QString motivoCuentaPadre; // why the accounts cannot be generated, when they cannot
};

// A centre to insert or update: a value for every column of Columnas(), typed as the catalogue
// reads it (what the row gives, and for what it does not give, what the centre has or a new
// centre takes).
struct Escritura {
    int linea = 0;
    QString clave;
    bool nuevo = false;
    Fila valores;
    std::vector<size_t> columnas; // what the update writes besides CC_Tipo, in the order of Columnas()
    bool cambiaEstado = false;    // the update stamps the state change too
    bool generaCuenta = false;
};

struct Plan {
    int renglones = 0;
    int sinCambios = 0;
    QStringList ignoradas;
    std::vector<Rechazo> rechazos;               // by line
    std::vector<Escritura> centros;              // in the file's order
    std::vector<std::pair<QString, int>> padres; // centres only their children change, and their CC_Tipo
};

// The place in a Fila of a column of Centro_Costo.
size_t Indice(const QString& campo);

// The columns of the centres the rows are checked against: those a file may set, and CC_Tipo.
std::vector<size_t> ColumnasDeLaBase();

// Checks every row against the base and what came before it in the file. Throws kt508::Error
// when the heading lacks a required column or names one twice.
Plan Revisa(const Csv& csv, const Base& base);

} // namespace orbanel::catalogo
