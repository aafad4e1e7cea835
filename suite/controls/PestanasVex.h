#pragma once

#include "kt508/services/Controles.h"

class QTabWidget;

namespace orbanel {

// The suite's tab strip. Click is raised whenever the page shown changes, by the user
// or by code; Enter on the strip raises KeyPress with 13.
class PestanasVex : public kt508::ssTbVex {
    Q_OBJECT
public:
    explicit PestanasVex(QWidget* parent = nullptr);

    void setTabcount(int count) override;
    void setTabCaption(int tab, const QString& caption) override;
    QWidget* Page(int tab) override;
    int Tab() const override;
    void setTab(int tab) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AlCambiar(int actual);

    QTabWidget* m_pestanas;
    int m_anterior = -1;
};

} // namespace orbanel
