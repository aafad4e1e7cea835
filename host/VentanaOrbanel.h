#pragma once

#include <QMainWindow>
#include <QString>

// The host's main window: holds a screen of the suite and answers its Transaccion.
class VentanaOrbanel : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(QString Transaccion READ Transaccion)
public:
    explicit VentanaOrbanel(QString transaccion);

    QString Transaccion() const;
    // Embeds the screen: it becomes the window's content and takes its caption.
    void Muestra(QWidget* pantalla);

private:
    void Verificar_Click();
    void Exportar_Click();
    void Importar_Click();
    QString ArchivoDeImportacion();

    QString m_transaccion;
};
