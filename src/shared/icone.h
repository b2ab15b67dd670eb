// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QPixmap>

// The windows' pictures, rendered to PNG at build time and kept in the
// program. Read as PNG and nothing else: Qt would otherwise load every image
// plugin it has (and the SVG library with them) to ask each whether it reads
// the file, before using its own PNG reader. Each is decoded once however
// many windows show it.
QPixmap pixmapIcona(const QString &nome);
QIcon icona(const QString &nome);
// Off and on, for a switch.
QIcon iconaInterruttore(const QString &spento, const QString &acceso);
