#include "kt508/shell/Pantalla.h"

#include "kt508/catalogue/frmKT508.h"

#include <atomic>

namespace kt508 {

namespace {
std::atomic<int> vivas{0};
}

Pantalla::Pantalla(const Publico::Servicios& servicios, QObject* parent)
    : QObject(parent)
    , m_servicios(servicios)
{
    ++vivas;
}

Pantalla::~Pantalla()
{
    --vivas;
}

QObject* Pantalla::GetPantalla() const
{
    return &frmKT508::Instancia(m_servicios);
}

int Pantalla::Vivas()
{
    return vivas;
}

FabricaPantalla::FabricaPantalla(const Publico::Servicios& servicios)
    : m_servicios(servicios)
{
}

QObject* FabricaPantalla::CreateInstance()
{
    return new Pantalla(m_servicios);
}

} // namespace kt508
