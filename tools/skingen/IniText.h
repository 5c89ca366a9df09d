#pragma once
// The text of a layout file, built section by section and written as UTF-8.

#include <QRect>
#include <QString>
#include <QStringList>

namespace tavrik::skingen {

class IniText {
public:
    void comment(const QString& text);
    void section(const QString& name);
    void value(const QString& key, const QString& value);
    void rectangle(const QString& key, const QRect& rect);

    QString text() const { return lines_.join('\n') + '\n'; }

    // Writes the text to `path`, replacing the file; false when it cannot.
    bool save(const QString& path) const;

private:
    QStringList lines_;
};

// The layout value of a rectangle: "x,y,w,h".
QString rectangleValue(const QRect& rect);

} // namespace tavrik::skingen
