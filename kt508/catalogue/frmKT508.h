#pragma once

#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <vector>

class QGroupBox;
class QTimer;

namespace kt508 {
class Controles;
class Etiqueta;
class ImageList;
class Node;
class TreeView;
class colorVEX;
class txtVEX;
class Recordset;
struct Resultado;
} // namespace kt508

namespace Publico {
struct Servicios;
}

// The cost-centre catalogue: the tree of centres under "RAIZ", its toolbar and the
// key and account of the selected centre. It has no frame of its own: the host embeds it.
class frmKT508 : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QObject* Padre READ Padre WRITE setPadre)
    // Read by name as the host's is; invalid while it cannot be given (no Padre, no host value).
    Q_PROPERTY(QVariant Transaccion READ TransaccionPorNombre)
    Q_PROPERTY(QObject* sPadre READ Padre WRITE setPadre) // the same storage, handed on to the editor

public:
    // The one window of the process, created (not loaded) on first use with the services it
    // uses, which outlive it.
    static frmKT508& Instancia(const Publico::Servicios& servicios);
    static bool Existe();

    ~frmKT508() override;

    QObject* Padre() const;
    void setPadre(QObject* Valor);
    // Fails while Padre is not set or the host has no Transaccion.
    QString Transaccion() const;

    // Creates the controls and runs Form_Load, until one load succeeds. Gives the failure's
    // description ("" once loaded): the caller decides how to report it. A failed load leaves
    // the window unloaded, so the next use tries again.
    Q_INVOKABLE QString Load();
    bool Cargada() const;

    void CargarCecos();
    void AddSubMenu(const QString& sCvePadre);

    // The tree follows the catalogue as others change it (ArbolVivo.cpp): every interval the
    // catalogue's version is read, and when it moved, only the centres noted since are read and
    // their nodes updated in place. Nothing changes while the user is in the middle of
    // something: the tree catches up when that ends.
    void Sondea();
    void setIntervaloSondeo(int milisegundos);

    const Publico::Servicios& servicios; // the suite's data and utility services
    QPointer<QObject> sPadre;            // the host object behind Padre
    QString DefaultGroup;
    QString SearchValue;
    QString PrintText; // the listing being built by Controles_Imprimir
    short PrintLevel = 0;

    kt508::Controles* Controles = nullptr;
    kt508::TreeView* tvCeCos = nullptr;
    QGroupBox* frFrame = nullptr;
    kt508::Etiqueta* Label1 = nullptr;
    kt508::txtVEX* txtClave = nullptr;
    kt508::Etiqueta* Label2 = nullptr;
    kt508::txtVEX* txtCuenta = nullptr;
    kt508::colorVEX* colorVEX = nullptr;
    kt508::ImageList* ilIconos = nullptr;

    void setVisible(bool visible) override;

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    explicit frmKT508(const Publico::Servicios& servicios);

    void CreaControles();
    void Descarga();
    QVariant TransaccionPorNombre() const;
    void ConectaEventos();
    void Form_Load();
    void Form_Activate();
    void Form_Resize();

    void Controles_Salir();
    void Controles_Consulta();
    void Buscar_CeCo(bool Preguntar);

    // The commands that write, one source file each (Comando*.cpp); each traps its own failures.
    void Controles_Nuevo();
    void Controles_Editar();
    void Controles_Eliminar();
    void Controles_Reactivar();
    void Controles_B1Click();
    void Controles_B3Click();
    void Controles_Imprimir();
    void Imprimir_CeCo(QString& Clave);

    // The tree's menu (MenuCeCos.cpp): one entry a line, the toolbar's commands in the toolbar's
    // order, then what the suite adds. An entry without text separates two groups.
    struct EntradaMenu {
        QString texto;
        std::function<bool()> ofrecida;
        std::function<void()> accion;
    };
    std::vector<EntradaMenu> EntradasMenu();
    void tvCeCos_ContextMenu(const QPoint& posicion);
    void mnuCeCos_Historial();
    void mnuCeCos_Exportar();
    // The selected centre and its branch under the centre the dialog names (ComandoMover.cpp).
    void mnuCeCos_Mover();

    QStringList AgregaHijos(const QString& sCvePadre, kt508::Resultado& hijos, QStringList& fallos);

    // The listing as read, a level at a time, before Imprimir_CeCo writes it (ComandoImprimir.cpp).
    // Each level keeps its lines ("clave - descripción") one after another in UTF-8, in about half
    // the room the listing itself takes, and its parents in the order they were read, which is
    // the order the listing reaches them: the k-th centre of a level that accumulates is the
    // k-th parent of the next.
    struct LineaListado {
        quint32 finClave; // where the key ends in the level's text
        quint32 fin;      // where the line ends
        bool acumula;     // CC_Tipo 1: its children follow it
    };
    struct NivelListado {
        QByteArray texto;
        std::vector<LineaListado> lineas;
        std::vector<quint32> primeras;   // each parent's first line, and one past the last parent's
        QHash<quint32, QString> errores; // by parent: why its children query failed
        quint32 siguiente = 0;           // the parent Imprimir_CeCo lists next
    };
    struct PadreListado {
        QString clave;
        bool leer; // false for a centre already read (one keyed as the root): no children again
    };
    void LeeListado(const QString& Clave);
    qsizetype LargoListado() const;
    void AgregaLineas(NivelListado& nivel, kt508::Recordset& filas, QSet<QString>& leidas,
                      std::vector<PadreListado>& siguientes);
    std::vector<NivelListado> m_listado;
    size_t m_nivelListado = 0; // the level Imprimir_CeCo lists

    void tvCeCos_NodeClick(kt508::Node* Node);
    void tvCeCos_AfterLabelEdit(int& Cancel, QString& NewString);
    void tvCeCos_Expand(kt508::Node* Node);
    void tvCeCos_Collapse(kt508::Node* Node);
    void tvCeCos_KeyDown(int& KeyCode, int Shift);
    void tvCeCos_NodeDrop(kt508::Node* Node, kt508::Node* Destino);
    void MueveA(kt508::Node* nodo, const QString& nuevo);

    // Runs a handler that traps nothing of its own: a failure is shown with the handler's
    // identifier, never fatal.
    void Protege(const QString& handler, const QString& errId, const std::function<void()>& cuerpo);

    void Informa(const QString& handler, const QString& errId, const QString& descripcion);

    struct CentroCambiado {
        QString clave;
        QString acumula; // null when the centre is gone
        QString descripcion;
        QString estado;
    };
    void AlDia();
    void AlDiaTrasMover();
    qint64 LeeVersion() const;
    void AnotaVersion(kt508::Resultado& version);
    bool Retenido() const;
    void AplicaCambios(std::vector<CentroCambiado> cambios);
    void QuitaNodo(const QString& clave);
    bool ColocaNodo(const CentroCambiado& centro);
    QString SiguienteHermano(kt508::Node* padre, const QString& clave) const;
    void TerminaOcupacion();

    QTimer* m_sondeo = nullptr;
    qint64 m_version = -1;   // the catalogue's version the tree shows; -1 while unknown
    int m_ocupado = 0;       // handlers running: a command, a modal window, a rename
    bool m_atrasado = false; // a change was held back

    bool m_cargada = false;
    bool m_cargando = false;
    QMetaObject::Connection m_alIrseElPadre;
};
