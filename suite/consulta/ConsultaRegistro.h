#pragma once

#include "kt508/services/Impresion.h"

#include <QDialog>
#include <QString>
#include <QVariant>

#include <optional>
#include <utility>
#include <vector>

namespace orbanel {

namespace ado {
class AdoConnection;
}

// Column name and value of one record, in the table's column order.
using Campos = std::vector<std::pair<QString, QVariant>>;

// The record whose key column holds the key; nothing when there is none.
std::optional<Campos> LeeRegistro(ado::AdoConnection& db, const QString& tabla, const QString& campoClave,
                                  const QString& clave);

// How a value reads in the window; SQL NULL reads "(nulo)".
QString TextoDeValor(const QVariant& valor);

// Read-only window listing every column of one record.
class VentanaConsulta : public QDialog {
    Q_OBJECT
public:
    VentanaConsulta(const QString& tabla, const Campos& campos, QWidget* padre);
};

class ConsultaRegistro : public kt508::IConsultaRegistro {
public:
    void Muestra(const QString& tabla, const QString& campoClave, const QString& clave, const QString& opcion1,
                 const QString& opcion2, const QString& opcion3, const QString& opcion4) override;
};

} // namespace orbanel
