#include "suite/controls/TextoVex.h"

#include "kt508/services/Teclas.h"
#include "suite/controls/Consultas.h"
#include "suite/controls/Esquema.h"
#include "suite/controls/LargoEnCaracteres.h"
#include "suite/controls/ListaConsulta.h"
#include "suite/controls/Protege.h"

#include "kt508/services/Decimal.h"
#include "kt508/services/Error.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QToolButton>
#include <QValidator>

#include <exception>
#include <optional>

namespace orbanel {

namespace {

constexpr qsizetype MinimoDecimales = 4;

} // namespace

// Upper-casing, numeric input, the mask and the length, for typed and pasted text alike.
class ValidadorTexto : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override;

    bool mayusculas = false;
    bool numerico = false;
    QString mascara;
    LargoEnCaracteres largo{0};

private:
    bool CumpleMascara(const QString& texto) const;
};

QValidator::State ValidadorTexto::validate(QString& input, int& pos) const
{
    Q_UNUSED(pos)
    if (mayusculas)
        input = input.toUpper();
    static const QRegularExpression numero(QStringLiteral("^-?[0-9,]*(\\.[0-9]*)?$"));
    if (numerico && !numero.match(input).hasMatch())
        return Invalid;
    if (!mascara.isEmpty() && !CumpleMascara(input))
        return Invalid;
    return largo.validate(input, pos);
}

// Each mask character constrains its position: 9, 0, # a digit; A, a, L, ? a letter;
// X, x, &, C, * any character; anything else stands for itself. The mask's length is
// the longest text.
bool ValidadorTexto::CumpleMascara(const QString& texto) const
{
    if (texto.size() > mascara.size())
        return false;
    for (int i = 0; i < texto.size(); ++i) {
        const QChar m = mascara.at(i);
        const QChar c = texto.at(i);
        switch (m.unicode()) {
        case '9':
        case '0':
        case '#':
            if (!c.isDigit())
                return false;
            break;
        case 'A':
        case 'a':
        case 'L':
        case '?':
            if (!c.isLetter())
                return false;
            break;
        case 'X':
        case 'x':
        case '&':
        case 'C':
        case '*': break;
        default:
            if (c != m)
                return false;
        }
    }
    return true;
}

// The line edit inside the field: hands its keys to the field first.
class CampoTexto : public QLineEdit {
public:
    CampoTexto(TextoVex& dueno)
        : QLineEdit(&dueno)
        , m_dueno(dueno)
    {
    }

    void TeclaBase(QKeyEvent* event) { QLineEdit::keyPressEvent(event); }
    void TeclaArribaBase(QKeyEvent* event) { QLineEdit::keyReleaseEvent(event); }
    void Siguiente() { focusNextChild(); }

protected:
    void keyPressEvent(QKeyEvent* event) override { m_dueno.TeclaAbajo(event); }
    void keyReleaseEvent(QKeyEvent* event) override { m_dueno.TeclaArriba(event); }
    // Entering the field selects its value, so that typing replaces it; a click places the cursor.
    void focusInEvent(QFocusEvent* event) override
    {
        QLineEdit::focusInEvent(event);
        if (event->reason() != Qt::MouseFocusReason && event->reason() != Qt::PopupFocusReason)
            selectAll();
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        m_dueno.TerminaEdicion();
    }

private:
    TextoVex& m_dueno;
};

TextoVex::TextoVex(QWidget* parent)
    : kt508::txtVEX(parent)
    , m_campo(new CampoTexto(*this))
    , m_boton(new QToolButton(this))
    , m_validador(new ValidadorTexto(this))
    , m_colorHabilitado(esquema::Habilitado())
{
    m_campo->setObjectName(QStringLiteral("campo"));
    m_campo->setValidator(m_validador);
    m_boton->setObjectName(QStringLiteral("btnLista"));
    m_boton->setText(QStringLiteral("…"));
    m_boton->setToolTip(QStringLiteral("Lista de valores (F2)"));
    m_boton->setFocusPolicy(Qt::NoFocus);
    m_boton->hide();

    auto* disposicion = new QHBoxLayout(this);
    disposicion->setContentsMargins(0, 0, 0, 0);
    disposicion->setSpacing(0);
    disposicion->addWidget(m_campo);
    disposicion->addWidget(m_boton);
    setFocusProxy(m_campo);
    setFocusPolicy(Qt::StrongFocus);

    // The description beside a look-up follows every key typed: a window that accepts before the
    // field is left (F4) must not read the description of the value that was there before.
    connect(m_campo, &QLineEdit::textEdited, this, [this] {
        m_modificado = true;
        Consulta();
    });
    connect(m_campo, &QLineEdit::textChanged, this,
            [this] { EmiteProtegido(QStringLiteral("Change"), [this] { emit Change(); }); });
    connect(m_boton, &QToolButton::clicked, this, &TextoVex::AbreLista);
    Colorea();
}

// The inner field goes first, while this is still whole: losing the focus on its way out must
// reach a living owner. A window being unloaded ends no edit and looks nothing up.
TextoVex::~TextoVex()
{
    m_modificado = false;
    delete m_campo;
}

QString TextoVex::Text() const
{
    return m_campo->text();
}

void TextoVex::setText(const QString& text)
{
    PonTexto(EsNumerico() ? FormatoNumerico(text) : text);
    m_modificado = false;
    Consulta();
}

void TextoVex::setLocked(bool locked)
{
    m_locked = locked;
    m_campo->setReadOnly(locked);
    Colorea();
    ActualizaBoton();
}

bool TextoVex::Locked() const
{
    return m_locked;
}

// Counted in characters by the validator: the line edit's own limit counts UTF-16 units and
// cuts what code puts in.
void TextoVex::setMaxlength(int length)
{
    m_validador->largo.setMaximo(length);
}

void TextoVex::setAlignment(int alignment)
{
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (alignment == 1)
        horizontal = Qt::AlignRight;
    else if (alignment == 2)
        horizontal = Qt::AlignHCenter;
    m_campo->setAlignment(horizontal | Qt::AlignVCenter);
}

void TextoVex::setEnabledcolor(const QColor& color)
{
    m_colorHabilitado = color;
    Colorea();
}

void TextoVex::setTabonenter(bool on)
{
    m_tabonenter = on;
}

void TextoVex::setTabonentervacio(bool on)
{
    m_tabonentervacio = on;
}

void TextoVex::setMayusculas(bool on)
{
    m_validador->mayusculas = on;
}

void TextoVex::setEsclave(bool on)
{
    m_esclave = on;
}

bool TextoVex::EsClave() const
{
    return m_esclave;
}

void TextoVex::setFormato(int formato)
{
    m_formato = formato;
    m_validador->numerico = EsNumerico();
    if (EsNumerico() && !Text().isEmpty())
        PonTexto(FormatoNumerico(Text()));
}

void TextoVex::setTipodato(int tipodato)
{
    m_tipodato = tipodato;
    m_validador->numerico = EsNumerico();
    if (EsNumerico() && !Text().isEmpty())
        PonTexto(FormatoNumerico(Text()));
}

bool TextoVex::EsNumerico() const
{
    return m_formato == 5 || m_tipodato == 5;
}

void TextoVex::setSubrayar(bool on)
{
    // An underlined field is drawn as a line under the text instead of a box.
    m_subrayar = on;
    m_campo->setFrame(!on);
    layout()->setContentsMargins(0, 0, 0, on ? 1 : 0);
    update();
}

void TextoVex::setIdconsulta(const QString& id)
{
    m_idconsulta = id;
    ActualizaBoton();
}

void TextoVex::setExcluidos(const QStringList& claves)
{
    m_excluidos = claves;
}

void TextoVex::setSql(const QString& sql)
{
    m_sql = sql;
}

void TextoVex::setSqlControlResultado(const QString& controlName)
{
    m_resultado = controlName;
}

void TextoVex::setMask(const QVariant& mask)
{
    m_validador->mascara = mask.toString();
}

// The exact number written in the field (an empty field is zero); null when the text is no number.
QVariant TextoVex::NumericValue() const
{
    QString texto = Text().trimmed();
    texto.remove(QLatin1Char(','));
    if (texto.isEmpty())
        return QVariant::fromValue(kt508::Decimal());
    const std::optional<kt508::Decimal> numero = kt508::Decimal::DeTexto(texto);
    return numero ? QVariant::fromValue(*numero) : QVariant();
}

void TextoVex::setTabStop(bool on)
{
    m_campo->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

void TextoVex::AbreLista()
{
    if (!ExisteLista(m_idconsulta) || m_locked || !isEnabled())
        return;
    QPointer<TextoVex> vivo(this);
    ListaConsulta lista(m_idconsulta, window(), Text(), m_excluidos);
    const bool elegida = lista.exec() == QDialog::Accepted;
    if (!vivo)
        return;
    if (elegida)
        setText(lista.Elegida());
    m_campo->setFocus();
}

void TextoVex::changeEvent(QEvent* event)
{
    kt508::txtVEX::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        ActualizaBoton();
}

void TextoVex::paintEvent(QPaintEvent* event)
{
    kt508::txtVEX::paintEvent(event);
    if (!m_subrayar)
        return;
    QPainter pintor(this);
    pintor.setPen(palette().color(QPalette::Dark));
    pintor.drawLine(0, height() - 1, width() - 1, height() - 1);
}

void TextoVex::TeclaAbajo(QKeyEvent* event)
{
    QPointer<TextoVex> vivo(this);
    int codigo = kt508::CodigoDeTecla(*event);
    const int shift = kt508::EstadoDeShift(event->modifiers());
    if (codigo != 0) {
        EmiteProtegido(QStringLiteral("KeyDown"), [&] { emit KeyDown(codigo, shift); });
        if (!vivo)
            return;
        if (codigo == 0) {
            event->accept();
            return;
        }
    }
    if (codigo == 113 && shift == 0 && ExisteLista(m_idconsulta)) {
        AbreLista();
        event->accept();
        return;
    }
    if (!Caracter(event) || !vivo)
        return;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        TerminaEdicion();
        if (!vivo)
            return;
        if (m_tabonenter && (!Text().isEmpty() || m_tabonentervacio)) {
            m_campo->Siguiente();
            event->accept();
            return;
        }
    }
    m_campo->TeclaBase(event);
}

void TextoVex::TeclaArriba(QKeyEvent* event)
{
    QPointer<TextoVex> vivo(this);
    int codigo = kt508::CodigoDeTecla(*event);
    if (codigo != 0) {
        const int shift = kt508::EstadoDeShift(event->modifiers());
        EmiteProtegido(QStringLiteral("KeyUp"), [&] { emit KeyUp(codigo, shift); });
        if (!vivo)
            return;
        if (codigo == 0) {
            event->accept();
            return;
        }
    }
    m_campo->TeclaArribaBase(event);
}

// KeyPress: 0 swallows the character; another code types that character instead.
bool TextoVex::Caracter(QKeyEvent* event)
{
    int caracter = kt508::CodigoCaracter(*event);
    if (caracter == 0)
        return true;
    const int original = caracter;
    QPointer<TextoVex> vivo(this);
    EmiteProtegido(QStringLiteral("KeyPress"), [&] { emit KeyPress(caracter); });
    if (!vivo)
        return false;
    if (caracter == 0) {
        event->accept();
        return false;
    }
    if (caracter != original && caracter >= 32) {
        const char32_t sustituto = static_cast<char32_t>(caracter);
        if (!m_campo->isReadOnly())
            m_campo->insert(QString::fromUcs4(&sustituto, 1));
        event->accept();
        return false;
    }
    return true;
}

void TextoVex::TerminaEdicion()
{
    if (!m_modificado)
        return;
    m_modificado = false;
    // Every key typed already looked the value up; only a number written in its format is new.
    if (!EsNumerico())
        return;
    PonTexto(FormatoNumerico(Text()));
    Consulta();
}

void TextoVex::PonTexto(const QString& texto)
{
    m_validador->largo.Admite(texto);
    m_campo->setText(texto);
}

void TextoVex::Consulta()
{
    if (m_sql.isEmpty() || m_resultado.isEmpty())
        return;
    QString resultado;
    try {
        resultado = ValorDeConsulta(m_sql, Text());
    } catch (const std::exception&) {
        resultado.clear(); // a value the statement cannot describe is described by nothing
    }
    const auto candidatos = window()->findChildren<kt508::txtVEX*>(m_resultado);
    for (kt508::txtVEX* destino : candidatos) {
        if (destino != this) {
            destino->setText(resultado);
            return;
        }
    }
}

void TextoVex::Colorea()
{
    QPalette paleta = m_campo->palette();
    const QColor fondo = m_locked ? esquema::Deshabilitado() : m_colorHabilitado;
    paleta.setColor(QPalette::Active, QPalette::Base, fondo);
    paleta.setColor(QPalette::Inactive, QPalette::Base, fondo);
    paleta.setColor(QPalette::Disabled, QPalette::Base, esquema::Deshabilitado());
    m_campo->setPalette(paleta);
}

void TextoVex::ActualizaBoton()
{
    m_boton->setVisible(ExisteLista(m_idconsulta));
    m_boton->setEnabled(!m_locked && isEnabled());
}

// The number from its digits, with at least four decimals; more are kept, so that a value the
// column cannot hold is seen as typed. A text that is no number stays as it is.
QString TextoVex::FormatoNumerico(const QString& texto) const
{
    QString limpio = texto.trimmed();
    limpio.remove(QLatin1Char(','));
    if (limpio.isEmpty())
        return QStringLiteral("0.0000");
    const std::optional<kt508::Decimal> numero = kt508::Decimal::DeTexto(limpio);
    if (!numero)
        return texto;
    QString resultado = numero->Texto();
    const qsizetype punto = resultado.indexOf(QLatin1Char('.'));
    if (punto < 0)
        resultado += QLatin1Char('.');
    const qsizetype decimales = punto < 0 ? 0 : resultado.size() - punto - 1;
    if (decimales < MinimoDecimales)
        resultado += QString(MinimoDecimales - decimales, QLatin1Char('0'));
    return resultado;
}

} // namespace orbanel
