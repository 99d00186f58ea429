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

bool LineSource::next(QStringView* line) {
    if (m_done) {
        return false;
    }
    const qsizetype size = m_text.size();
    if (m_pos >= size) {
        m_done = true;
        if (m_kind == Kind::Clipboard) {
            *line = QStringView();
            return true;
        }
        return false;
    }
    const QChar* data = m_text.constData();
    // Nearly every character lies above CR, so one comparison settles it.
    const char16_t* const text = reinterpret_cast<const char16_t*>(data);
    qsizetype end = m_pos;
    while (end < size && (text[end] > u'\r' || (text[end] != u'\r' && text[end] != u'\n'))) {
        ++end;
    }
    *line = QStringView(data + m_pos, end - m_pos);
    if (end >= size) {
        m_pos = size;
        m_done = true;
        return true;
    }
    m_pos = end + ((data[end] == QLatin1Char('\r') && end + 1 < size && data[end + 1] == QLatin1Char('\n')) ? 2 : 1);
    return true;
}
