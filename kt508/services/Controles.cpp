#include "kt508/services/Controles.h"

namespace kt508 {

Controles::~Controles() = default;
txtVEX::~txtVEX() = default;
Etiqueta::~Etiqueta() = default;
dpFecha::~dpFecha() = default;
ssTbVex::~ssTbVex() = default;
colorVEX::~colorVEX() = default;
Node::~Node() = default;
ImageList::~ImageList() = default;
TreeView::~TreeView() = default;

void Controles::setEnabled1(bool on)
{
    setEnabledFlag(1, on);
}
void Controles::setEnabled2(bool on)
{
    setEnabledFlag(2, on);
}
void Controles::setEnabled3(bool on)
{
    setEnabledFlag(3, on);
}
void Controles::setEnabled4(bool on)
{
    setEnabledFlag(4, on);
}
void Controles::setEnabled5(bool on)
{
    setEnabledFlag(5, on);
}
void Controles::setEnabled6(bool on)
{
    setEnabledFlag(6, on);
}
void Controles::setEnabled7(bool on)
{
    setEnabledFlag(7, on);
}

} // namespace kt508
