#include "kt508/catalogue/frmKT508.h"

#include "kt508/services/Connection.h"
#include "kt508/services/Datos.h"
#include "kt508/services/Error.h"
#include "kt508/services/Impresion.h"
#include "kt508/services/Plataforma.h"
#include "kt508/store/Sentencias.h"
#include "kt508/store/Servicios.h"

#include <algorithm>
#include <memory>

void frmKT508::Controles_Imprimir()
{
    try {
        std::unique_ptr<kt508::IImpresorTexto> impresor = kt508::plataforma().NuevoImpresorTexto();
        PrintText = QString();
        PrintLevel = 0;
        QString raiz = QStringLiteral("0");
        Imprimir_CeCo(raiz);
        impresor->Imprime(PrintText, QString(), 0, 0, -1, -1, 7, -1);
        impresor.reset();
    } catch (const kt508::Error& e) {
        servicios.Datos->Mensaje(e.Description(), kt508::vbCritical, QStringLiteral("Controles_Imprimir()"), this,
                                 QStringLiteral("KT508"), QStringLiteral("ERR-ID:7500025"));
    }
}

// Appends the children of Clave, one level deeper than Clave itself, and the empty line that closes them.
void frmKT508::Imprimir_CeCo(QString& Clave)
{
    const short nivel = PrintLevel;
    try {
        const QString sangria(std::max<int>(PrintLevel, 0), QLatin1Char('\t'));
        kt508::Recordset rs = servicios.Conexion().Ejecuta(Publico::Sentencias::HijosEnListado(Clave));
        while (!rs.Eof()) {
            QString clave = rs.Fields(QStringLiteral("Cc_Cve_Centro_Costo")).Value.toString();
            PrintText += sangria;
            PrintText += clave;
            PrintText += QStringLiteral(" - ");
            PrintText += rs.Fields(QStringLiteral("CC_Descripcion")).Value.toString();
            PrintText += QStringLiteral("\r\n");
            if (rs.Fields(QStringLiteral("CC_Tipo")).Value.toInt() == 1) {
                PrintLevel += 1;
                Imprimir_CeCo(clave);
            }
            rs.MoveNext();
        }
        rs.Close();
        PrintText += QStringLiteral("\r\n");
        PrintLevel -= 1;
    } catch (const kt508::Error& e) {
        servicios.Datos->Mensaje(e.Description(), kt508::vbCritical, QStringLiteral("Imprimir_CeCo()"), this,
                                 QStringLiteral("KT508"), QStringLiteral("ERR-ID:7500032"));
        // The rest of the listing keeps its indentation, as if this level had closed.
        PrintLevel = static_cast<short>(nivel - 1);
    }
}
