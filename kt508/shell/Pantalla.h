#pragma once

#include <QObject>

namespace Publico {
struct Servicios;
}

namespace kt508 {

// The creatable class: hands the host the one catalogue window, created with the services it uses.
class Pantalla : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject* GetPantalla READ GetPantalla)
public:
    explicit Pantalla(const Publico::Servicios& servicios, QObject* parent = nullptr);
    ~Pantalla() override;

    QObject* GetPantalla() const;

    static int Vivas(); // Pantalla objects alive in the process

private:
    const Publico::Servicios& m_servicios;
};

// Class factory of Pantalla, as the entry points hand it out with the process's services.
class FabricaPantalla : public QObject {
    Q_OBJECT
public:
    explicit FabricaPantalla(const Publico::Servicios& servicios);
    Q_INVOKABLE QObject* CreateInstance();

private:
    const Publico::Servicios& m_servicios;
};

// Registration data of the component.
inline constexpr const char* ProgIdPantalla = "KT508.Pantalla";
inline constexpr const char* ClsidPantalla = "{6B3D2F1A-508C-4E2B-9A1D-5A0C8E7F5080}";
inline constexpr const char* LibIdKT508 = "{6B3D2F1A-508C-4E2B-9A1D-5A0C8E7F5000}";
inline constexpr const char* VersionKT508 = "6.00.0048";

} // namespace kt508
