#pragma once

#include "kt508/store/Servicios.h"
#include "kt508/store/Vigencia.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QVariant>

class QCheckBox;
class QFrame;
class KeyPreview;

namespace kt508 {
class Connection;
class Controles;
class Decimal;
class Etiqueta;
class ImageList;
class colorVEX;
class dpFecha;
class ssTbVex;
class txtVEX;
} // namespace kt508

namespace Publico {
struct CentroCosto;
struct Sello;
} // namespace Publico

// Creates or edits one cost centre. The caller loads it (construction, handing it the services
// and the host object it holds), writes its fields, shows it modally, reads Add and destroys it;
// the window only hides itself. A disabled txtClave is the one sign of edit mode.
class frmCATAddCeCo : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QObject* Padre READ Padre WRITE setPadre)

public:
    frmCATAddCeCo(const Publico::Servicios& servicios, QObject* anfitrion);
    ~frmCATAddCeCo() override;

    QObject* Padre() const;
    void setPadre(QObject* Valor);
    Q_INVOKABLE QString Transaccion() const;

    bool Add = false;
    Publico::FilaLeida Leida; // the centre's row as Edit read it, to tell another user's change on save

    const Publico::Servicios& servicios; // the suite's data and utility services

    kt508::colorVEX* colorVEX = nullptr;
    kt508::Controles* Controles = nullptr;
    kt508::ImageList* im = nullptr;
    kt508::ssTbVex* ssTabVex = nullptr;
    QFrame* sh1 = nullptr;
    QFrame* fr1 = nullptr;
    kt508::Etiqueta* Label1 = nullptr;
    kt508::txtVEX* txtPadre = nullptr;
    kt508::txtVEX* txtNPadre = nullptr;
    kt508::Etiqueta* Label7 = nullptr;
    kt508::txtVEX* txtClave = nullptr;
    kt508::Etiqueta* Label2 = nullptr;
    kt508::txtVEX* txtTexto = nullptr;
    kt508::Etiqueta* Etiqueta1 = nullptr;
    kt508::txtVEX* txt_Gcc_Cve_Grupo_Centro_Costo = nullptr;
    kt508::txtVEX* txt_Gcc_Descripcion = nullptr;
    kt508::Etiqueta* Label6 = nullptr;
    kt508::txtVEX* txtCuenta = nullptr;
    kt508::txtVEX* txtNCta = nullptr;
    QCheckBox* chkAnalizar = nullptr;
    QFrame* sh2 = nullptr;
    QFrame* fr2 = nullptr;
    kt508::Etiqueta* Label31 = nullptr;
    kt508::txtVEX* txtUser1 = nullptr;
    kt508::Etiqueta* Label30 = nullptr;
    kt508::txtVEX* txtUser2 = nullptr;
    kt508::Etiqueta* Label29 = nullptr;
    kt508::txtVEX* txtUser3 = nullptr;
    kt508::Etiqueta* Label28 = nullptr;
    kt508::txtVEX* txtUser4 = nullptr;
    kt508::Etiqueta* Label27 = nullptr;
    kt508::dpFecha* dpUser5 = nullptr;
    kt508::Etiqueta* Label26 = nullptr;
    kt508::dpFecha* dpUser6 = nullptr;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void CreaControles();
    void CreaGeneral();
    void CreaDatosDeUsuario();
    void ConectaEventos();

    void Form_Load(QObject* anfitrion);
    void Form_Activate();
    void Form_Resize();
    void Form_KeyDown(int& KeyCode, int Shift);
    void Form_KeyUp(int& KeyCode, int Shift);
    void Form_QueryUnload(int& Cancel, int UnloadMode);
    void chkAnalizar_KeyPress(int& KeyAscii);
    void ssTabVex_KeyPress(int& KeyAscii);
    void ssTabVex_Click(int PreviousTab);
    void Controles_B1Click(); // the save (GuardaCentro.cpp)
    void Controles_B2Click();

    // The save, in the order of its steps (GuardaCentro.cpp).
    bool Valida();
    bool ValidaNumero(const QString& nombre, kt508::txtVEX* campo);
    void Escribe(kt508::Connection& conexion, const QString& clave, const Publico::Sello& sello);
    bool Rechaza(const QString& texto, int estilo, const QString& errId, kt508::txtVEX* campo);
    void EnfocaCampo(kt508::txtVEX* campo);
    Publico::CentroCosto Centro(const QString& clave) const;
    QString TextoNumerico(kt508::txtVEX* campo) const;
    kt508::Decimal ValorNumerico(kt508::txtVEX* campo) const;
    QVariant ValorFecha(kt508::dpFecha* fecha) const;
    QString Analizar() const;
    bool EsNuevo() const;

    // Ledger-account generation (GeneraCuenta.cpp).
    bool Genera_Cuenta_Contable(QString& CuentaPadre, QString& Clave, QString& Descripcion);

    QPointer<QObject> m_padre;   // Padre: the host object
    QString m_cuentaPadre;       // "CON_CUENTA_PADRE_CENTRO_COSTO"
    QString m_mensajeGeneracion; // what Genera_Cuenta_Contable leaves for the save
    Publico::Sello m_sello;      // the save's stamp, for the history's note of the generated account
    bool m_activacionPendiente = false;
    int m_teclaPulsada = 0; // the last key pressed in this window, until its release
    int m_shiftPulsada = 0; // and the shift state it was pressed with
    KeyPreview* m_teclas = nullptr;
};
