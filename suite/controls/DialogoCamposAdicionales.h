#pragma once

#include <QDialog>

#include <utility>
#include <vector>

class QLineEdit;

namespace orbanel {

class CamposAdicionales;

// Edits the additional fields of the record in hand; Aceptar keeps the values in the
// toolbar until the window saves them.
class DialogoCamposAdicionales : public QDialog {
    Q_OBJECT
public:
    DialogoCamposAdicionales(CamposAdicionales& campos, QWidget* parent = nullptr);

    void accept() override;

private:
    CamposAdicionales& m_campos;
    std::vector<std::pair<QString, QLineEdit*>> m_editores;
};

} // namespace orbanel
