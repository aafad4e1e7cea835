#pragma once

#include <QDialog>
#include <QString>

namespace kt508 {
class Controles;
class Etiqueta;
class colorVEX;
class txtVEX;
} // namespace kt508

class KeyPreview;

// Asks the user for one value. The caller sets sVar, calls Mostrar, reads OK and
// txtValor, then destroys the dialog; the dialog only hides itself.
class frmInput : public QDialog {
    Q_OBJECT
public:
    frmInput();
    ~frmInput() override;

    void Mostrar();

    bool OK = false;
    QString sVar;

    kt508::Controles* Controles = nullptr;
    kt508::Etiqueta* Etiqueta1 = nullptr;
    kt508::colorVEX* colorVEX = nullptr;
    kt508::txtVEX* txtValor = nullptr;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void CreaControles();
    void Form_Load();
    void Form_Activate();
    void Form_KeyUp(int& KeyCode, int Shift);
    void Form_KeyDown(int& KeyCode, int Shift);
    void Aceptar();
    void Cancelar();

    KeyPreview* m_teclas = nullptr;
};
