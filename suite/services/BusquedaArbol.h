#pragma once

#include <QString>

#include <vector>

namespace kt508 {
class Node;
class TreeView;
} // namespace kt508

namespace orbanel {

// The tree's nodes in display order: each node, then its children, then its next sibling.
std::vector<kt508::Node*> NodosEnOrden(const kt508::TreeView& arbol);

// Text as the search compares it: without accents and without regard to case.
QString TextoComparable(const QString& texto);

// The first node after the selected one (wrapping round, the selected node last)
// whose text holds the value; nullptr when none does.
kt508::Node* SiguienteCoincidencia(const kt508::TreeView& arbol, const QString& texto);

} // namespace orbanel
