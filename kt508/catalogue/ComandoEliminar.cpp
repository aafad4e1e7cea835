#include "kt508/catalogue/frmKT508.h"

void frmKT508::Controles_B1Click()
{
}
