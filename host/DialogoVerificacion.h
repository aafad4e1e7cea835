#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace orbanel::ado {
class AdoConnection;
}

// Archivo → Verificar catálogo: the check's report, and the repair of CC_Tipo once the user
// confirms it.
class DialogoVerificacion : public QDialog {
    Q_OBJECT
public:
    DialogoVerificacion(orbanel::ado::AdoConnection& db, QString operador, QWidget* padre);

    int Corregidos() const; // centres whose CC_Tipo the user had corrected

private:
    void Verifica();
    void Corregir_Click();

    orbanel::ado::AdoConnection& m_db;
    QString m_operador;
    QPlainTextEdit* m_informe;
    QPushButton* m_corregir;
    int m_tiposErroneos = 0;
    int m_corregidos = 0;
};
