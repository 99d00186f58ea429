#include "LineSource.h"

#include <QFileInfo>

LineSource::Opened LineSource::fromFile(const QString& path, LineSource* source, QString* errorText, qint64 piece) {
    // Looked at before opening: opening a pipe waits for a writer, and a device never ends.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return Opened::NotAFile;
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        *errorText = file->errorString();
        return Opened::Unreadable;
    }
    const std::optional<TextDecoding::Encoding> encoding = TextDecoding::detect(*file);
    if (!encoding) {
        *errorText = file->errorString();
        return Opened::Unreadable;
    }
    LineSource opened(QString(), Kind::File);
    opened.m_end = false;
    opened.m_fileSize = file->size();
    opened.m_file = std::move(file);
    opened.m_decoder = std::make_unique<TextDecoding::Decoder>(*encoding);
    opened.m_piece.resize(piece);
    *source = std::move(opened);
    return Opened::Ok;
}

qint64 LineSource::position() const {
    if (!m_file) {
        return m_pos;
    }
    // The bytes read so far, in the share of their characters that lines have been made of.
    const qint64 decoded = m_handedOut + m_text.size();
    return decoded == 0 ? 0 : qint64(double(m_file->pos()) * double(m_handedOut + m_pos) / double(decoded));
}

qint64 LineSource::size() const {
    return m_file ? m_fileSize : m_text.size();
}

bool LineSource::fill() {
    if (m_end) {
        return false;
    }
    // The line being read moves to the front; what came before it has been handed out.
    m_text.remove(0, m_pos);
    m_handedOut += m_pos;
    m_pos = 0;
    const qint64 got = m_file->read(m_piece.data(), m_piece.size());
    if (got <= 0) {
        m_failed = got < 0;
        m_end = true;
        return false;
    }
    m_decoder->append(QByteArrayView(m_piece.constData(), got), m_text);
    return true;
}

bool LineSource::next(QStringView* line) {
    if (m_done) {
        return false;
    }
    qsizetype end = m_pos;
    for (;;) {
        // Nearly every character lies above CR, so one comparison settles it.
        const char16_t* const text = reinterpret_cast<const char16_t*>(m_text.constData());
        const qsizetype size = m_text.size();
        while (end < size && (text[end] > u'\r' || (text[end] != u'\r' && text[end] != u'\n'))) {
            ++end;
        }
        // A CR at the end of a piece may be the first half of a CR LF.
        const bool settled = end + 1 < size || (end < size && text[end] == u'\n');
        if (settled || m_end) {
            break;
        }
        const qsizetype scanned = end - m_pos;
        if (!fill()) {
            end = m_pos + scanned;
            break;
        }
        end = m_pos + scanned;
    }
    const qsizetype size = m_text.size();
    const QChar* data = m_text.constData();
    if (m_pos >= size) {
        m_done = true;
        if (m_kind == Kind::Clipboard) {
            *line = QStringView();
            return true;
        }
        return false;
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
