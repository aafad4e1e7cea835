#include "suite/services/DialogoMensaje.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace orbanel {

namespace {

enum Codigo : int { OK = 1, Cancelar = 2, Anular = 3, Reintentar = 4, Ignorar = 5, Si = 6, No = 7 };

struct Boton {
    const char* texto;
    int codigo;
    const char* nombre;
};

std::vector<Boton> BotonesDe(int estilo)
{
    switch (estilo & 0x7) {
    case 1: return {{"Aceptar", OK, "botonAceptar"}, {"Cancelar", Cancelar, "botonCancelar"}};
    case 2:
        return {{"Anular", Anular, "botonAnular"},
                {"Reintentar", Reintentar, "botonReintentar"},
                {"Omitir", Ignorar, "botonOmitir"}};
    case 3: return {{"Sí", Si, "botonSi"}, {"No", No, "botonNo"}, {"Cancelar", Cancelar, "botonCancelar"}};
    case 4: return {{"Sí", Si, "botonSi"}, {"No", No, "botonNo"}};
    case 5: return {{"Reintentar", Reintentar, "botonReintentar"}, {"Cancelar", Cancelar, "botonCancelar"}};
    default: return {{"Aceptar", OK, "botonAceptar"}};
    }
}

QStyle::StandardPixmap IconoDe(int estilo)
{
    switch (estilo & 0x70) {
    case 16: return QStyle::SP_MessageBoxCritical;
    case 32: return QStyle::SP_MessageBoxQuestion;
    case 48: return QStyle::SP_MessageBoxWarning;
    default: return QStyle::SP_MessageBoxInformation;
    }
}

// Escape and the close button answer Cancel when there is one, else No, else the only button.
int CodigoEscape(const std::vector<Boton>& botones)
{
    int codigo = botones.back().codigo;
    for (const Boton& b : botones) {
        if (b.codigo == Cancelar)
            return Cancelar;
        if (b.codigo == No)
            codigo = No;
    }
    return codigo;
}

QLabel* Etiqueta(const QString& texto, const char* nombre, QWidget* padre)
{
    auto* etiqueta = new QLabel(texto, padre);
    etiqueta->setObjectName(QLatin1String(nombre));
    etiqueta->setTextFormat(Qt::PlainText);
    etiqueta->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return etiqueta;
}

// A short message reads on one line; a long one wraps at a width that still reads as a sentence.
int AnchoDeMensaje(const QLabel& etiqueta)
{
    const QFontMetrics metricas = etiqueta.fontMetrics();
    const int limite = metricas.averageCharWidth() * 60;
    return std::min(limite, metricas.boundingRect(QRect(0, 0, limite, 0), Qt::TextWordWrap, etiqueta.text()).width());
}

QLabel* EtiquetaModulo(const QString& modulo, const QString& errId, QWidget* padre)
{
    QStringList partes;
    if (!modulo.isEmpty())
        partes << modulo;
    if (!errId.isEmpty())
        partes << errId;
    QLabel* etiqueta = Etiqueta(partes.join(QStringLiteral("   ")), "textoModulo", padre);
    QFont fuente = etiqueta->font();
    fuente.setPointSizeF(fuente.pointSizeF() * 0.85);
    etiqueta->setFont(fuente);
    etiqueta->setForegroundRole(QPalette::PlaceholderText);
    etiqueta->setVisible(!partes.isEmpty());
    return etiqueta;
}

bool& enConsola()
{
    static bool activo = false;
    return activo;
}

int EscribeEnConsola(const QString& texto, int estilo, const QString& titulo, const QString& modulo,
                     const QString& errId)
{
    const int codigo = DialogoMensaje::CodigoPorDefecto(estilo);
    QString linea = QStringLiteral("%1: %2").arg(titulo.isEmpty() ? QStringLiteral("Orbanel") : titulo, texto);
    const QString origen = QStringList{modulo, errId}.join(QLatin1Char(' ')).trimmed();
    if (!origen.isEmpty())
        linea += QStringLiteral(" [%1]").arg(origen);
    std::fprintf(stderr, "orbanel: %s\n", qPrintable(linea.replace(QLatin1Char('\n'), QLatin1Char(' '))));
    return codigo;
}

QWidget* VentanaDuena(QWidget* owner)
{
    if (owner)
        return owner->window();
    return QApplication::activeWindow();
}

} // namespace

DialogoMensaje::DialogoMensaje(const QString& texto, int estilo, const QString& titulo, const QString& modulo,
                               const QString& errId, QWidget* owner)
    : QDialog(VentanaDuena(owner))
{
    setObjectName(QStringLiteral("DialogoMensaje"));
    setWindowTitle(titulo.isEmpty() ? QStringLiteral("Orbanel") : titulo);
    setModal(true);

    auto* icono = new QLabel(this);
    icono->setObjectName(QStringLiteral("iconoMensaje"));
    const int lado = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icono->setPixmap(style()->standardIcon(IconoDe(estilo), nullptr, this).pixmap(lado, lado));
    icono->setAlignment(Qt::AlignTop);

    auto* textos = new QVBoxLayout;
    QLabel* mensaje = Etiqueta(texto, "textoMensaje", this);
    mensaje->setWordWrap(true);
    mensaje->setMinimumWidth(AnchoDeMensaje(*mensaje));
    textos->addWidget(mensaje);
    textos->addWidget(EtiquetaModulo(modulo, errId, this));
    textos->addStretch();

    auto* cuerpo = new QHBoxLayout;
    cuerpo->addWidget(icono);
    cuerpo->addLayout(textos, 1);

    auto* todo = new QVBoxLayout(this);
    todo->addLayout(cuerpo);
    AgregaBotones(estilo);
    setSizeGripEnabled(false);
}

void DialogoMensaje::AgregaBotones(int estilo)
{
    const std::vector<Boton> botones = BotonesDe(estilo);
    m_codigoEscape = CodigoEscape(botones);
    const size_t indicePorDefecto = static_cast<size_t>((estilo & 0x300) >> 8);

    auto* fila = new QHBoxLayout;
    fila->addStretch();
    QPushButton* porDefecto = nullptr;
    for (size_t i = 0; i < botones.size(); ++i) {
        QPushButton* boton = AgregaBoton(QString::fromUtf8(botones[i].texto), botones[i].codigo, botones[i].nombre);
        fila->addWidget(boton);
        if (i == indicePorDefecto || !porDefecto)
            porDefecto = boton;
    }
    static_cast<QBoxLayout*>(layout())->addLayout(fila);
    porDefecto->setDefault(true);
    porDefecto->setFocus();
}

QPushButton* DialogoMensaje::AgregaBoton(const QString& texto, int codigo, const char* nombre)
{
    auto* boton = new QPushButton(texto, this);
    boton->setObjectName(QLatin1String(nombre));
    connect(boton, &QPushButton::clicked, this, [this, codigo] { done(codigo); });
    return boton;
}

void DialogoMensaje::reject()
{
    done(m_codigoEscape);
}

int DialogoMensaje::Muestra(const QString& texto, int estilo, const QString& titulo, QWidget* owner,
                            const QString& modulo, const QString& errId)
{
    if (enConsola())
        return EscribeEnConsola(texto, estilo, titulo, modulo, errId);
    DialogoMensaje dialogo(texto, estilo, titulo, modulo, errId, owner);
    return dialogo.exec();
}

void DialogoMensaje::EnConsola(bool activo)
{
    enConsola() = activo;
}

int DialogoMensaje::CodigoPorDefecto(int estilo)
{
    const std::vector<Boton> botones = BotonesDe(estilo);
    const size_t indice = static_cast<size_t>((estilo & 0x300) >> 8);
    return indice < botones.size() ? botones[indice].codigo : botones.front().codigo;
}

} // namespace orbanel
