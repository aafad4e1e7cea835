#include "suite/services/ServicioDatos.h"

#include "suite/ado/AdoConnection.h"
#include "suite/services/DialogoMensaje.h"
#include "suite/services/Sesion.h"

#include <QApplication>

namespace orbanel {

kt508::Connection& ServicioDatos::Conexion()
{
    return Sesion::Conexion();
}

QString ServicioDatos::Usuario()
{
    return Sesion::Operador();
}

// Kind "T" asks for text; the empty kind takes the stored value as it is. A setting that is
// not configured gives its default, the empty text included: a database created without the
// demo has no settings, and "" is what the callers take as "no format", "no parent account".
QVariant ServicioDatos::Parametro(const QString& nombre, int /*valor*/, const QString& tipo, const QString& porDefecto)
{
    kt508::Recordset rs =
        Sesion::Conexion().ExecuteParams(QStringLiteral("SELECT Valor FROM Parametros WHERE Parametro = ?"), {nombre});
    const QVariant valor = rs.Eof() ? QVariant() : rs.Value(0);
    rs.Close();
    if (valor.isNull())
        return porDefecto;
    if (tipo.compare(QStringLiteral("T"), Qt::CaseInsensitive) == 0)
        return valor.toString();
    return valor;
}

int ServicioDatos::Mensaje(const QString& texto, int estilo, const QString& titulo, QWidget* owner,
                           const QString& modulo, const QString& errId)
{
    return DialogoMensaje::Muestra(texto, estilo, titulo, owner, modulo, errId);
}

void ServicioDatos::Aviso(const QString& texto, int estilo, const QString& titulo)
{
    DialogoMensaje::Muestra(texto, estilo, titulo, QApplication::activeWindow());
}

} // namespace orbanel
