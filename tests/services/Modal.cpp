#include "tests/services/Modal.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <utility>

namespace pruebas {

EsperaModal::EsperaModal(std::function<void(QWidget* modal)> accion)
    : m_accion(std::move(accion))
{
    m_reloj.setInterval(0);
    QObject::connect(&m_reloj, &QTimer::timeout, &m_reloj, [this] { Busca(); });
    m_transcurrido.start();
    m_reloj.start();
}

EsperaModal::~EsperaModal()
{
    m_reloj.stop();
}

void EsperaModal::Busca()
{
    QWidget* modal = QApplication::activeModalWidget();
    const bool lista = modal && modal->isVisible();
    if (!lista && m_transcurrido.elapsed() < 5000)
        return;
    m_reloj.stop();
    if (!lista)
        return;
    m_atendida = true;
    m_titulo = modal->windowTitle();
    m_accion(modal);
}

bool EsperaModal::Atendida() const
{
    return m_atendida;
}

QString EsperaModal::Titulo() const
{
    return m_titulo;
}

void PulsaEnModal(QWidget* modal, Qt::Key tecla)
{
    QWidget* foco = modal->focusWidget();
    QTest::keyClick(foco ? foco : modal, tecla);
}

bool PulsaBoton(QWidget* modal, const QString& nombre)
{
    auto* boton = modal->findChild<QPushButton*>(nombre);
    if (!boton) {
        modal->close(); // never leave the test blocked on the window
        return false;
    }
    QTest::mouseClick(boton, Qt::LeftButton);
    return true;
}

} // namespace pruebas
