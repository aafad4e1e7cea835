#include "kt508/shell/Pantalla.h"

#include "kt508/catalogue/frmKT508.h"

#include <atomic>

namespace kt508 {

namespace {
std::atomic<int> vivas{0};
}

Pantalla::Pantalla(QObject* parent)
    : QObject(parent)
{
    ++vivas;
}

Pantalla::~Pantalla()
{
    --vivas;
}

QObject* Pantalla::GetPantalla() const
{
    return &frmKT508::Instancia();
}

int Pantalla::Vivas()
{
    return vivas;
}

QObject* FabricaPantalla::CreateInstance()
{
    return new Pantalla;
}

} // namespace kt508
