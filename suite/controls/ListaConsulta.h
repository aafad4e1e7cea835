#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace orbanel {

// Modal list of a look-up catalogue (key, description) with a filter box. It opens on the
// field's current key; Enter or a double click picks the entry under the cursor; Escape cancels.
class ListaConsulta : public QDialog {
    Q_OBJECT
public:
    ListaConsulta(const QString& idconsulta, QWidget* parent = nullptr, const QString& actual = QString(),
                  const QStringList& excluidos = {});

    // The key picked; empty when cancelled.
    QString Elegida() const;
    void Filtra(const QString& filtro);

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Carga(const QString& idconsulta, const QString& actual, const QStringList& excluidos);
    QTreeWidgetItem* PrimeraVisible() const;

    QLineEdit* m_filtro;
    QTreeWidget* m_lista;
    QLabel* m_aviso;
    QString m_elegida;
};

} // namespace orbanel
