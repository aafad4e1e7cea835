#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

namespace kt508 {
class Controles;
class Etiqueta;
class colorVEX;
class txtVEX;
} // namespace kt508

class KeyPreview;

// Asks where a centre goes: the key of its new parent, with the look-up list (F2) of the
// centres and the root, the centre's own branch left out. The caller reads OK and NuevoPadre.
class frmMover : public QDialog {
    Q_OBJECT
public:
    // centro: the centre as the tree shows it; rama: its key and every key below it.
    frmMover(const QString& centro, const QStringList& rama, QWidget* parent = nullptr);
    ~frmMover() override;

    QString NuevoPadre() const;

    bool OK = false;

    kt508::Controles* Controles = nullptr;
    kt508::colorVEX* colorVEX = nullptr;
    kt508::Etiqueta* Etiqueta1 = nullptr;
    kt508::txtVEX* txtCentro = nullptr;
    kt508::Etiqueta* Etiqueta2 = nullptr;
    kt508::txtVEX* txtNuevoPadre = nullptr;
    kt508::txtVEX* txtNNuevoPadre = nullptr;

protected:
    bool event(QEvent* e) override;

private:
    void CreaControles();
    void Form_KeyDown(int& KeyCode, int Shift);
    void Form_KeyUp(int& KeyCode, int Shift);
    void Aceptar();
    void Cancelar();

    KeyPreview* m_teclas = nullptr;
};
