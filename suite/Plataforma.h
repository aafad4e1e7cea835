#pragma once

namespace kt508 {
struct Plataforma;
}

namespace orbanel {

// Each folder of the suite fills in its entries of the platform table.
void InstalaServicios(kt508::Plataforma& p); // Datos, Utilerias, input box
void InstalaControles(kt508::Plataforma& p); // toolbar, fields, tree view ...
void InstalaImpresion(kt508::Plataforma& p); // ImpresorTexto
void InstalaConsulta(kt508::Plataforma& p);  // ConsultaRegistro
void InstalaRegistro(kt508::Plataforma& p);  // class registration
void InstalaExtras(kt508::Plataforma& p);    // export and history, for the tree's menu

// All of the above on kt508::plataforma().
void InstalaPlataforma();

} // namespace orbanel
