#pragma once

#include <QDialog>

class QString;

// A report the user reads and closes: the import's, which may list many rows.
class DialogoInforme : public QDialog {
    Q_OBJECT
public:
    DialogoInforme(const QString& titulo, const QString& texto, QWidget* padre);
};
