#pragma once

#include "kt508/services/Plataforma.h"

#include <QString>

#include <optional>

class QObject;

namespace orbanel {

// The suite's class registry: ProgID -> library -> class factory, kept in an INI file
// (ORBANEL_REGISTRO names it; by default Orbanel/registro.ini in the user's config folder).
class Registro {
public:
    static QString Archivo();

    static void Registra(const kt508::ClaseRegistrada& clase);
    static void Borra(const QString& progId);
    static std::optional<kt508::ClaseRegistrada> Busca(const QString& progId);

    // Loads the library and lets it register its classes (as a registration tool would).
    static void RegistraBiblioteca(const QString& ruta);
    static void DesregistraBiblioteca(const QString& ruta);

    // Creates an object of a registered class through the library's class factory.
    static QObject* CreaObjeto(const QString& progId);
};

} // namespace orbanel
