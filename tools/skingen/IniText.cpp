#include "tools/skingen/IniText.h"

#include <QSaveFile>

namespace tavrik::skingen {

void IniText::comment(const QString& text) {
    for (const QString& line : text.split('\n')) {
        lines_.append(QStringLiteral("; ") + line);
    }
}

void IniText::section(const QString& name) {
    if (!lines_.isEmpty()) {
        lines_.append(QString());
    }
    lines_.append(QLatin1Char('[') + name + QLatin1Char(']'));
}

void IniText::value(const QString& key, const QString& value) {
    lines_.append(key + QLatin1Char('=') + value);
}

void IniText::rectangle(const QString& key, const QRect& rect) {
    value(key, rectangleValue(rect));
}

bool IniText::save(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = text().toUtf8();
    return file.write(bytes) == bytes.size() && file.commit();
}

QString rectangleValue(const QRect& rect) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

} // namespace tavrik::skingen
