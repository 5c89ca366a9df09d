#pragma once
// Writes the whole default skin into one folder: the three layout files and
// every picture they and the windows name.

#include <QString>
#include <QStringList>

namespace tavrik::skingen {

struct GenerationResult {
    bool ok = false;
    QStringList written; // file names, relative to the folder
    QString error;       // the first failure, when not ok
};

GenerationResult generateSkin(const QString& folder);

} // namespace tavrik::skingen
