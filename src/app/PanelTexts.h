// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#pragma once

#include <QString>

// Texts of the panel shown from more than one place.
namespace PanelTexts {
inline const QString kDefaultMessage = QStringLiteral("ESCRIBIR MENSAJE AQUI...");
inline const QString kStartWithComputer = QStringLiteral("Iniciar con el equipo");
inline const QString kStatusOff = QStringLiteral("AutoMensaje DESACTIVADO");
inline const QString kOutOfHours = QStringLiteral("Fuera de horario");
inline const QString kVisits = QStringLiteral("Visitas");
inline const QString kOpeningHours = QStringLiteral("Horario de atención");
} // namespace PanelTexts
