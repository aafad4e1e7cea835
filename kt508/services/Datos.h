#pragma once

#include <QString>
#include <QVariant>

class QWidget;

namespace kt508 {

class Connection;

// Message styles and the button codes that close a message box.
enum EstiloMensaje : int { vbCritical = 16, vbExclamation = 48, vbPregunta = 292 };
enum Boton : int { vbOK = 1, vbYes = 6, vbNo = 7 };

// The suite's data service: connection, operator, settings and message boxes.
class IDatos {
public:
    virtual ~IDatos();

    virtual Connection& Conexion() = 0;
    virtual QString Usuario() = 0;
    virtual QVariant Parametro(const QString& nombre, int valor, const QString& tipo, const QString& porDefecto) = 0;
    // Modal over the owner; returns 1, 6 or 7.
    virtual int Mensaje(const QString& texto, int estilo, const QString& titulo, QWidget* owner, const QString& modulo,
                        const QString& errId) = 0;
    virtual void Aviso(const QString& texto, int estilo, const QString& titulo) = 0;
};

} // namespace kt508
