#include "suite/controls/Protege.h"

#include "kt508/services/Error.h"

#include <QDebug>

#include <exception>

namespace orbanel {

bool EmiteProtegido(const QString& evento, const std::function<void()>& emision)
{
    try {
        emision();
        return true;
    } catch (const kt508::Error& error) {
        qWarning().noquote() << evento << ":" << error.Description();
    } catch (const std::exception& error) {
        qWarning().noquote() << evento << ":" << error.what();
    } catch (...) {
        qWarning().noquote() << evento << ": error desconocido";
    }
    return false;
}

} // namespace orbanel
