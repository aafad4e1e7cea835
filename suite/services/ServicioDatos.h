#pragma once

#include "kt508/services/Datos.h"

namespace orbanel {

// Datos: the session's connection and operator, settings from table Parametros,
// and the suite's message boxes.
class ServicioDatos : public kt508::IDatos {
public:
    kt508::Connection& Conexion() override;
    QString Usuario() override;
    QVariant Parametro(const QString& nombre, int valor, const QString& tipo, const QString& porDefecto) override;
    int Mensaje(const QString& texto, int estilo, const QString& titulo, QWidget* owner, const QString& modulo,
                const QString& errId) override;
    void Aviso(const QString& texto, int estilo, const QString& titulo) override;
};

} // namespace orbanel
