#include "suite/services/BusquedaArbol.h"

#include "kt508/services/Controles.h"

#include <algorithm>
#include <unordered_set>

namespace orbanel {

namespace {

// The first top-level node is the one that is no other top-level node's next sibling.
kt508::Node* PrimeraRaiz(const kt508::TreeView& arbol)
{
    std::vector<kt508::Node*> raices;
    std::unordered_set<kt508::Node*> siguientes;
    for (int i = 1; i <= arbol.Count(); ++i) {
        kt508::Node* nodo = arbol.NodeAt(i);
        if (nodo && !nodo->Parent()) {
            raices.push_back(nodo);
            siguientes.insert(nodo->Next());
        }
    }
    for (kt508::Node* raiz : raices) {
        if (!siguientes.count(raiz))
            return raiz;
    }
    return nullptr;
}

void Recorre(kt508::Node* nodo, std::vector<kt508::Node*>& orden)
{
    for (; nodo; nodo = nodo->Next()) {
        orden.push_back(nodo);
        Recorre(nodo->Child(), orden);
    }
}

} // namespace

std::vector<kt508::Node*> NodosEnOrden(const kt508::TreeView& arbol)
{
    std::vector<kt508::Node*> orden;
    orden.reserve(static_cast<size_t>(std::max(arbol.Count(), 0)));
    Recorre(PrimeraRaiz(arbol), orden);
    return orden;
}

QString TextoComparable(const QString& texto)
{
    const QString descompuesto = texto.normalized(QString::NormalizationForm_D);
    QString limpio;
    limpio.reserve(descompuesto.size());
    for (const QChar c : descompuesto) {
        if (c.category() != QChar::Mark_NonSpacing)
            limpio.append(c);
    }
    return limpio.toCaseFolded();
}

kt508::Node* SiguienteCoincidencia(const kt508::TreeView& arbol, const QString& texto)
{
    const QString buscado = TextoComparable(texto);
    const std::vector<kt508::Node*> orden = NodosEnOrden(arbol);
    if (buscado.isEmpty() || orden.empty())
        return nullptr;
    const auto seleccionado = std::find(orden.begin(), orden.end(), arbol.SelectedItem());
    const size_t inicio = seleccionado == orden.end() ? 0 : static_cast<size_t>(seleccionado - orden.begin()) + 1;
    for (size_t paso = 0; paso < orden.size(); ++paso) {
        kt508::Node* nodo = orden[(inicio + paso) % orden.size()];
        if (TextoComparable(nodo->Text()).contains(buscado))
            return nodo;
    }
    return nullptr;
}

} // namespace orbanel
