#include "host/Traducciones.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool CargaTraducciones(QCoreApplication& app)
{
    // qt_es gathers the catalogues of every Qt module (qtbase_es among them).
    auto* traductor = new QTranslator(&app);
    const bool cargada = traductor->load(QLocale(QLocale::Spanish), QStringLiteral("qt"), QStringLiteral("_"),
                                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (cargada)
        QCoreApplication::installTranslator(traductor);
    else
        delete traductor;
    return cargada;
}
