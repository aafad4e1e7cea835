#pragma once

#include "kt508/services/Controles.h"

#include <vector>

namespace orbanel {

// Image list: images addressed by index from 1, no keys.
class ListaImagenes : public kt508::ImageList {
    Q_OBJECT
public:
    using kt508::ImageList::ImageList;

    void Add(const QIcon& image) override;
    int Count() const override;
    QIcon Image(int index) const override; // an empty icon outside 1..Count

private:
    std::vector<QIcon> m_imagenes;
};

} // namespace orbanel
