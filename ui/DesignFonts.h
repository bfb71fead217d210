#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// The design's Windows faces, or the nearest installed ones where they are missing.
QString GothicFamily(); // "ＭＳ ゴシック"
QString SerifFamily(); // "Times New Roman"
QString SansFamily(); // "Arial"

// The first of the families that is installed; otherwise the face the font matcher picks for
// the style hint.
QString NearestFamily(const QStringList &families, QFont::StyleHint hint);

QFont DesignFont(const QString &family, double points, int weight = QFont::Normal);
