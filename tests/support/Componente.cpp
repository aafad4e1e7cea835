#include "tests/support/Componente.h"

#include "kt508/catalogue/frmKT508.h"
#include "kt508/services/Plataforma.h"
#include "suite/services/Sesion.h"

#include <QTest>

namespace pruebas {

Componente::Componente(const QString& backend, Contenido contenido)
{
    orbanel::Sesion::Establece(abre(backend, contenido), QStringLiteral("PRUEBAS"));
    dobles = InstalaDobles();
    dobles.datos->transaccionAbierta = [conexion = &db()] { return conexion->inTransaction(); };
    m_datos = kt508::plataforma().NuevoDatos();
    m_utilerias = kt508::plataforma().NuevoUtilerias();
    servicios.Datos = m_datos.get();
    servicios.Utilerias = m_utilerias.get();
}

Componente::~Componente()
{
    if (frmKT508::Existe())
        delete &frmKT508::Instancia(servicios);
    dobles.datos->transaccionAbierta = nullptr;
    orbanel::Sesion::Cierra();
}

orbanel::ado::AdoConnection& Componente::db() const
{
    return orbanel::Sesion::Conexion();
}

frmKT508& Componente::Carga()
{
    frmKT508& frm = frmKT508::Instancia(servicios);
    frm.show();
    if (!QTest::qWaitForWindowExposed(&frm))
        qWarning("la ventana del catálogo no llegó a mostrarse");
    return frm;
}

void Componente::Inserta(const QString& clave, const QString& padre, const QVariant& descripcion, int tipo,
                         const QVariant& estado)
{
    db().ExecuteParams(QStringLiteral("INSERT INTO Centro_Costo (CC_Cve_Centro_Costo, CC_Acumula, CC_Descripcion, "
                                      "CC_Tipo, Es_Cve_Estado) VALUES (?, ?, ?, ?, ?)"),
                       {clave, padre, descripcion, tipo, estado});
}

} // namespace pruebas
