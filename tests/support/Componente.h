#pragma once

#include "kt508/store/Servicios.h"
#include "tests/support/Backends.h"
#include "tests/support/Dobles.h"

class frmKT508;

namespace pruebas {

// One catalogue test on one backend: a fresh database handed to the session, the doubles
// installed, the services the windows are handed and a fresh catalogue window. A test may put
// another service in `servicios` for a while: the windows use whichever it holds.
class Componente {
public:
    Componente(const QString& backend, Contenido contenido);
    ~Componente();

    orbanel::ado::AdoConnection& db() const;
    frmKT508& Carga(); // the shared window, loaded (and shown)
    void Inserta(const QString& clave, const QString& padre, const QVariant& descripcion, int tipo,
                 const QVariant& estado);

    Dobles dobles;
    Publico::Servicios servicios;

private:
    std::unique_ptr<kt508::IDatos> m_datos;
    std::unique_ptr<kt508::IUtilerias> m_utilerias;
};

} // namespace pruebas
