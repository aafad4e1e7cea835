#pragma once

#include "suite/controls/CamposAdicionales.h"

#include "kt508/services/Controles.h"

#include <array>

class QAction;
class QLabel;
class QMenu;
class QToolButton;

namespace orbanel {

// The toolbar across the top of the suite's windows: a title band, the standard
// commands of a screen (governed by the flags enabled1 ... enabled6), up to three
// extra buttons, the record-bound fields (enabled7), the window list and the exit.
class BarraControles : public kt508::Controles {
    Q_OBJECT
public:
    enum Comando { cNuevo, cEditar, cImprimir, cConsulta, cReactivar, cEliminar, cSalir, cB1, cB2, cB3, cCampos };

    explicit BarraControles(QWidget* parent = nullptr);

    void setCaption(const QString& caption) override;
    QString caption() const override;
    void setTabwidth(const QString& value) override;
    void setShowmenupopup(const QString& siNo) override;
    void setShowwindowslist(const QString& siNo) override;
    void setShowexitbutton(const QString& siNo) override;
    void setOpcTable(const QString& table) override;
    void setOpcKey(const QString& keyColumn) override;
    void setPermitirMover(bool on) override;
    void setCaptionbuttonsize(int twips) override;

    QString b1caption() const override;
    void setB1caption(const QString& caption) override;
    QString b2caption() const override;
    void setB2caption(const QString& caption) override;
    QString b3caption() const override;
    void setB3caption(const QString& caption) override;
    void setBshortcut(int n, const QKeySequence& tecla) override;

    bool enabledFlag(int n) const override;
    void setEnabledFlag(int n, bool on) override;

    void EndCommand() override;
    void LoadFields(const QString& clave) override;
    void setText(const QString& text) override;
    QString text() const;
    bool ValidateFields() override;
    QString ValidationMessage() const override;
    bool SaveFields(const QString& clave) override;
    void ActivateWindow(bool value) override;

    bool Ofrece(kt508::Mando mando) const override;
    bool Lanza(kt508::Mando mando) override;
    QKeySequence Tecla(kt508::Mando mando) const override;

    // Every way of raising a command ends here: a command that is not offered is not raised.
    bool Lanza(Comando comando);
    bool Ofrecido(Comando comando) const;
    QToolButton* Boton(Comando comando) const;
    CamposAdicionales& Campos();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QToolButton* NuevoBoton(Comando comando, const QString& texto, const QString& ayuda, const QIcon& icono);
    QAction* NuevaTecla(QToolButton* boton);
    void ConstruyeBanda();
    void ConstruyeBotones();
    void Actualiza();
    void ActualizaTeclas();
    QKeySequence TeclaDe(Comando comando) const;
    void Emite(Comando comando);
    void AbreCampos();
    void LlenaVentanas();
    int Bandera(Comando comando) const;
    QString TextoExtra(int n) const;
    void setTextoExtra(int n, const QString& caption);

    QWidget* m_banda = nullptr;
    QLabel* m_titulo = nullptr;
    QLabel* m_estado = nullptr;
    QToolButton* m_ventanas = nullptr;
    QMenu* m_menuVentanas = nullptr;
    std::array<QToolButton*, cCampos + 1> m_botones{};
    std::array<QAction*, cCampos + 1> m_teclas{}; // each button's key
    QAction* m_teclaVentanas = nullptr;
    std::array<QKeySequence, 3> m_teclasExtra;
    std::array<bool, 8> m_banderas{}; // 1..7
    std::array<QString, 3> m_extras;
    bool m_pantalla = false; // showexitbutton: a screen, not a dialog
    bool m_listaVentanas = false;
    bool m_menuEmergente = false;
    bool m_permitirMover = false;
    bool m_enComando = false;
    QString m_tabwidth;
    QString m_opcKey;
    QPoint m_arrastre;
    CamposAdicionales m_campos;
};

} // namespace orbanel
