#pragma once

#include "kt508/services/Controles.h"

class QKeyEvent;
class QToolButton;

namespace orbanel {

class CampoTexto;
class ValidadorTexto;

// The suite's text field over a line edit: key events, upper-casing, Enter as Tab,
// numeric fields, input masks and look-ups that describe the value entered.
class TextoVex : public kt508::txtVEX {
    Q_OBJECT
public:
    explicit TextoVex(QWidget* parent = nullptr);
    ~TextoVex() override;

    QString Text() const override;
    void setText(const QString& text) override;
    void setLocked(bool locked) override;
    void setMaxlength(int length) override;
    void setAlignment(int alignment) override;
    void setEnabledcolor(const QColor& color) override;
    void setTabonenter(bool on) override;
    void setTabonentervacio(bool on) override;
    void setMayusculas(bool on) override;
    void setEsclave(bool on) override;
    void setFormato(int formato) override;
    void setTipodato(int tipodato) override;
    void setSubrayar(bool on) override;
    void setIdconsulta(const QString& id) override;
    void setExcluidos(const QStringList& claves) override;
    void setSql(const QString& sql) override;
    void setSqlControlResultado(const QString& controlName) override;
    void setMask(const QVariant& mask) override;
    QVariant NumericValue() const override;
    void setTabStop(bool on) override;

    bool Locked() const;
    bool EsClave() const;
    bool EsNumerico() const;

    // Opens the look-up list of the field (F2 or the button beside it).
    void AbreLista();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class CampoTexto;

    void TeclaAbajo(QKeyEvent* event);
    void TeclaArriba(QKeyEvent* event);
    bool Caracter(QKeyEvent* event);
    void TerminaEdicion();
    void PonTexto(const QString& texto);
    void Consulta();
    void Colorea();
    void ActualizaBoton();
    QString FormatoNumerico(const QString& texto) const;

    CampoTexto* m_campo;
    QToolButton* m_boton;
    ValidadorTexto* m_validador;
    QColor m_colorHabilitado;
    bool m_locked = false;
    bool m_tabonenter = false;
    bool m_tabonentervacio = false;
    bool m_esclave = false;
    bool m_subrayar = false;
    bool m_modificado = false;
    int m_formato = 0;
    int m_tipodato = 0;
    QString m_idconsulta;
    QStringList m_excluidos;
    QString m_sql;
    QString m_resultado;
};

} // namespace orbanel
