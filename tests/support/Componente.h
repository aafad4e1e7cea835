#pragma once

#include "kt508/store/Servicios.h"
#include "tests/support/Backends.h"
#include "tests/support/Dobles.h"

#include <functional>

class frmCATAddCeCo;
class frmKT508;
namespace kt508 {
class Node;
class txtVEX;
} // namespace kt508

namespace pruebas {

// One catalogue test on one backend: a fresh database handed to the session, the doubles
// installed, the services the windows are handed and a fresh catalogue window. A test may put
// another service in `servicios` for a while: the windows use whichever it holds.
class Componente {
public:
    Componente(const QString& backend, Contenido contenido);
    ~Componente();

    orbanel::ado::AdoConnection& db() const;
    frmKT508& Carga(); // the shared window, loaded (and shown)
    void Inserta(const QString& clave, const QString& padre, const QVariant& descripcion, int tipo,
                 const QVariant& estado);
    // Centres given as "key|parent|description|type|state".
    void Inserta(const QStringList& centros);
    // The rows the query reads, "value|value|..." each: Null as "-", a time stamp as
    // "yyyy-MM-dd hh:mm" whatever type the database gives it in.
    QStringList Filas(const QString& consulta) const;

    Dobles dobles;
    Publico::Servicios servicios;

private:
    std::unique_ptr<kt508::IDatos> m_datos;
    std::unique_ptr<kt508::IUtilerias> m_utilerias;
};

// The catalogue's node of the key (nullptr when there is none).
kt508::Node* Nodo(frmKT508& frm, const QString& clave);
// The branch as the user sees it, depth first: key, image and text of each node, indented by
// level, "+" after an expanded one.
QStringList Vista(kt508::Node* nodo, int nivel = 0);
// A click on the node through the window, as the mouse gives it (the right button's opens the menu).
void Clic(frmKT508& frm, const QString& clave, Qt::MouseButton boton = Qt::LeftButton);
// What the user types into a field, replacing its text, and Tab to leave it.
void Teclea(kt508::txtVEX* campo, const QString& texto);
// Whether the user can click the toolbar's button ("btnNuevo", ...).
bool Ofrecido(frmKT508& frm, const QString& boton);
// Clicks the toolbar's button; one not offered has its event raised as the toolbar would.
void Lanza(frmKT508& frm, const QString& boton);
// Lanza, and the action on the editor it opens (with none, hides it); false when none opens.
// The action has run when this returns.
bool EnEditor(frmKT508& frm, const QString& boton, const std::function<void(frmCATAddCeCo*)>& accion = {});
// Another program on the test's database, with a connection of its own.
std::unique_ptr<orbanel::ado::AdoConnection> Otra(const QString& backend);

} // namespace pruebas
