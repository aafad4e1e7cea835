#include "kt508/catalogue/frmKT508.h"

void frmKT508::Controles_Imprimir()
{
}

void frmKT508::Imprimir_CeCo(QString& Clave)
{
    Q_UNUSED(Clave);
}
