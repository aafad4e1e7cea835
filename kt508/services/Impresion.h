#pragma once

#include <QString>

namespace kt508 {

// The suite's text printer: preview, then print or save as PDF.
class IImpresorTexto {
public:
    virtual ~IImpresorTexto();
    virtual void Imprime(const QString& texto, const QString& titulo, int a, int b, int c, int d, int e, int f) = 0;
};

// The suite's record consultation: a read-only view of one record.
class IConsultaRegistro {
public:
    virtual ~IConsultaRegistro();
    virtual void Muestra(const QString& tabla, const QString& campoClave, const QString& clave,
                         const QString& opcion1 = {}, const QString& opcion2 = {}, const QString& opcion3 = {},
                         const QString& opcion4 = {}) = 0;
};

} // namespace kt508
