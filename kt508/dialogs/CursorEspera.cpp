#include "kt508/dialogs/CursorEspera.h"

#include <QApplication>

CursorEspera::CursorEspera()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

CursorEspera::~CursorEspera()
{
    QApplication::restoreOverrideCursor();
}
