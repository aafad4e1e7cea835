#pragma once

#include <QObject>

namespace kt508 {

// The creatable class: hands the host the one catalogue window.
class Pantalla : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject* GetPantalla READ GetPantalla)
public:
    explicit Pantalla(QObject* parent = nullptr);
    ~Pantalla() override;

    QObject* GetPantalla() const;

    static int Vivas(); // Pantalla objects alive in the process
};

// Class factory of Pantalla, as the entry points hand it out.
class FabricaPantalla : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    Q_INVOKABLE QObject* CreateInstance();
};

// Registration data of the component.
inline constexpr const char* ProgIdPantalla = "KT508.Pantalla";
inline constexpr const char* ClsidPantalla = "{6B3D2F1A-508C-4E2B-9A1D-5A0C8E7F5080}";
inline constexpr const char* LibIdKT508 = "{6B3D2F1A-508C-4E2B-9A1D-5A0C8E7F5000}";
inline constexpr const char* VersionKT508 = "6.00.0048";

} // namespace kt508
