// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
// The panel's side of the greeting sound.
#include "app/Form1.h"

#include "app/PictureButton.h"
#include "app/WorkFolder.h"
#include "media/Mci.h"

#include <QDir>
#include <QListWidget>

QString Form1::EnviarMci(const QString& command) {
    if (!m_env.mci) {
        return {};
    }
    QString reply = m_env.mci->send(command);
    reply.remove(QChar(0));
    return reply;
}

void Form1::CerrarTodo() {
    EnviarMci(QStringLiteral("close all"));
}

bool Form1::AbrirMedio(const QString& path) {
    CerrarTodo();
    const QString reply = EnviarMci(QStringLiteral("open \"") + path + QStringLiteral("\" alias med"));
    EnviarMci(QStringLiteral("set med time format milliseconds"));
    m_medioActual = path;
    return reply.toInt() != 0;
}

void Form1::ReproducirMedio() {
    EnviarMci(QStringLiteral("play med"));
}

int Form1::EstadoMedio() {
    const QString mode = EnviarMci(QStringLiteral("status med mode"));
    if (mode == QLatin1String("playing")) {
        return 1;
    }
    if (mode == QLatin1String("paused")) {
        return 2;
    }
    return 0;
}

void Form1::ActivarSonido() {
    // A greeting still playing is never cut off by the next customer.
    if (boton(Deteccion)->appearance() != 1 || boton(SonidoDesactivar)->tag().toInt() != 1 ||
        EstadoMedio() != 0) {
        return;
    }
    const QListWidgetItem* item = m_filEfectoSonido->currentItem();
    const QString path =
        QDir(m_env.workFolder).filePath(QStringLiteral("Sonidos/") + (item ? item->text() : QString()));
    if (item && FileExists(path)) {
        AbrirMedio(path);
        ReproducirMedio();
    }
}

void Form1::FilEfectoSonido_Click() {
    // A click on the list plays the sound so that the shop hears what customers will.
    const QListWidgetItem* item = m_filEfectoSonido->currentItem();
    if (!m_filEfectoSonido->isVisible() || !item) {
        return;
    }
    AbrirMedio(QDir(m_env.workFolder).filePath(QStringLiteral("Sonidos/") + item->text()));
    ReproducirMedio();
}
