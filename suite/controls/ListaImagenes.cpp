#include "suite/controls/ListaImagenes.h"

namespace orbanel {

void ListaImagenes::Add(const QIcon& image)
{
    m_imagenes.push_back(image);
}

int ListaImagenes::Count() const
{
    return static_cast<int>(m_imagenes.size());
}

QIcon ListaImagenes::Image(int index) const
{
    if (index < 1 || index > Count())
        return QIcon();
    return m_imagenes[static_cast<size_t>(index - 1)];
}

} // namespace orbanel
