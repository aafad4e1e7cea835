#pragma once

#include "kt508/services/Decimal.h"

#include <QLatin1String>
#include <QString>
#include <QStringView>

#include <optional>

// What a centre's values must be, wherever they come from (the editor, the import): plain
// functions that give "" when a value passes and the reason, in the user's words, when not.
namespace kt508::reglas {

// The root's key: no centre may take it.
constexpr QLatin1String ClaveRaiz("0");

// Characters each text column of Centro_Costo takes.
constexpr int LargoClave = 6;
constexpr int LargoDescripcion = 50;
constexpr int LargoCuenta = 30;
constexpr int LargoGrupo = 6;
constexpr int LargoDato = 50;
// Cc_UserDef_3 and 4 are numeric(18,4): 14 digits before the point, 4 after.
constexpr int EnterosDato = 14;
constexpr int DecimalesDato = 4;

// Characters as the databases count them: a letter outside the basic plane (an emoji) is one,
// though it takes two UTF-16 units.
qsizetype Caracteres(QStringView texto);
// The first `maximo` characters, never half of one.
QString PrimerosCaracteres(const QString& texto, qsizetype maximo);

// Not empty, at most 6 characters, not the root's, no blanks at either end.
QString MotivoClave(const QString& clave);
// Not empty (blanks alone pass, as in the editor), at most 50 characters.
QString MotivoDescripcion(const QString& descripcion);
// `campo` names the value in the reason.
QString MotivoLargo(const QString& campo, const QString& valor, int maximo);

// The number a numeric(18,4) column keeps exactly: digits with an optional sign and point,
// at most 14 before the point and 4 after it (zeros at either end do not count). Nothing when
// the text is no such number, and `motivo` says why.
std::optional<Decimal> DecimalDato(QStringView texto, QString& motivo);

} // namespace kt508::reglas
