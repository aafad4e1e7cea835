#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace orbanel {

// What the eight arguments of Imprime mean, after the text and the title.
struct OpcionesImpresion {
    bool horizontal = false;   // 1: landscape; 0: portrait
    double puntos = 10.0;      // font size in points; 0: the default
    bool numerosPagina = true; // -1 (true): "Página n de m" at the foot
    bool encabezado = true;    // -1 (true): title and print date at the head
    int tabulador = 8;         // columns of a tab stop; 0 or less: 8
    bool vistaPrevia = true;   // -1 (true): preview first; 0: straight to the print dialog

    static OpcionesImpresion DeArgumentos(int a, int b, int c, int d, int e, int f);
};

// Replaces each tab by the blanks up to the next tab stop.
QString ExpandeTabuladores(const QString& renglon, int tabulador);

// The text laid out in pages of at most lineasPorPagina lines of at most columnas
// characters: tabs expanded, long lines wrapped, a form feed starts a new page.
// Lines may end with "\r\n", "\n" or "\r"; an empty text gives one empty page.
std::vector<QStringList> Compagina(const QString& texto, int columnas, int lineasPorPagina, int tabulador);

} // namespace orbanel
