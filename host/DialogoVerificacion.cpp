#include "host/DialogoVerificacion.h"

#include "kt508/services/Error.h"
#include "suite/services/DialogoMensaje.h"
#include "suite/verifica/Verificacion.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int PreguntaNoPorDefecto = 292; // Yes/No question, No the default
constexpr int Critico = 16;
constexpr int RespuestaSi = 6;

} // namespace

DialogoVerificacion::DialogoVerificacion(orbanel::ado::AdoConnection& db, QString operador, QWidget* padre)
    : QDialog(padre)
    , m_db(db)
    , m_operador(std::move(operador))
{
    setObjectName(QStringLiteral("DialogoVerificacion"));
    setWindowTitle(QStringLiteral("Verificar catálogo"));
    m_informe = new QPlainTextEdit(this);
    m_informe->setObjectName(QStringLiteral("informe"));
    m_informe->setReadOnly(true);
    m_informe->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* botones = new QDialogButtonBox(this);
    m_corregir = botones->addButton(QStringLiteral("&Corregir CC_Tipo"), QDialogButtonBox::ActionRole);
    m_corregir->setObjectName(QStringLiteral("botonCorregir"));
    QPushButton* cerrar = botones->addButton(QStringLiteral("C&errar"), QDialogButtonBox::RejectRole);
    cerrar->setObjectName(QStringLiteral("botonCerrar"));
    connect(m_corregir, &QPushButton::clicked, this, &DialogoVerificacion::Corregir_Click);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(m_informe);
    todo->addWidget(botones);
    resize(720, 360);
    Verifica();
}

int DialogoVerificacion::Corregidos() const
{
    return m_corregidos;
}

void DialogoVerificacion::Verifica()
{
    try {
        const orbanel::verifica::Informe informe = orbanel::verifica::Verifica(m_db);
        m_tiposErroneos = informe.Cuantos(orbanel::verifica::Clase::TipoErroneo);
        m_informe->setPlainText(informe.Texto());
    } catch (const kt508::Error& e) {
        m_tiposErroneos = 0;
        m_informe->setPlainText(QStringLiteral("No se pudo verificar el catálogo: %1").arg(e.Description()));
    }
    m_corregir->setEnabled(m_tiposErroneos > 0);
}

void DialogoVerificacion::Corregir_Click()
{
    const QString cuales = m_tiposErroneos == 1
        ? QStringLiteral("¿Corregir el CC_Tipo del centro que no concuerda con sus hijos?")
        : QStringLiteral("¿Corregir el CC_Tipo de los %1 centros que no concuerdan con sus hijos?")
              .arg(m_tiposErroneos);
    const QString pregunta =
        QStringLiteral("%1\n\nCada cambio queda en la bitácora a nombre de %2.").arg(cuales, m_operador);
    if (orbanel::DialogoMensaje::Muestra(pregunta, PreguntaNoPorDefecto, windowTitle(), this) != RespuestaSi)
        return;
    try {
        const QStringList corregidos = orbanel::verifica::ReparaTipos(m_db, m_operador);
        m_corregidos += corregidos.size();
        Verifica();
        m_informe->setPlainText(QStringLiteral("Se corrigió el CC_Tipo de: %1. Pulse F5 en el árbol para verlo "
                                               "actualizado.\n\n%2")
                                    .arg(corregidos.join(QStringLiteral(", ")), m_informe->toPlainText()));
    } catch (const kt508::Error& e) {
        orbanel::DialogoMensaje::Muestra(QStringLiteral("No se corrigió ningún centro.\n\n%1").arg(e.Description()),
                                         Critico, windowTitle(), this);
    }
}
