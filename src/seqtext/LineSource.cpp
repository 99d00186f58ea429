#include "LineSource.h"

#include "TextDecoding.h"

#include <QFile>
#include <algorithm>

bool LineSource::fromFile(const QString& path, LineSource* source, QString* errorText) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *errorText = file.errorString();
        return false;
    }
    *source = LineSource(TextDecoding::decode(file.readAll()), Kind::File);
    return true;
}

bool LineSource::next(QString* line) {
    if (m_done) {
        return false;
    }
    const qsizetype size = m_text.size();
    if (m_pos >= size) {
        m_done = true;
        if (m_kind == Kind::Clipboard) {
            line->clear();
            return true;
        }
        return false;
    }
    const QChar* data = m_text.constData();
    qsizetype end = m_pos;
    // Nearly every character lies above CR, so one comparison settles it.
    while (end < size &&
           (data[end].unicode() > u'\r' || (data[end] != QLatin1Char('\r') && data[end] != QLatin1Char('\n')))) {
        ++end;
    }
    // Copied into the caller's string, which keeps its buffer from line to line unless the
    // previous line is still shared elsewhere.
    const qsizetype length = end - m_pos;
    line->resize(length);
    std::copy_n(data + m_pos, length, line->data());
    if (end >= size) {
        m_pos = size;
        m_done = true;
        return true;
    }
    m_pos = end + ((data[end] == QLatin1Char('\r') && end + 1 < size && data[end + 1] == QLatin1Char('\n')) ? 2 : 1);
    return true;
}
