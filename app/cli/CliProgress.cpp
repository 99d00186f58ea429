#include "CliProgress.h"

#include "Platform.h"

#include <QList>
#include <algorithm>
#include <cstdio>

namespace {

// Between two rewrites of the line.
constexpr int kDrawMs = 100;

// Columns a character takes on a terminal: East Asian wide characters two, combining marks none.
int columnsOf(char32_t c) {
    if (QChar::category(c) == QChar::Mark_NonSpacing || QChar::category(c) == QChar::Mark_Enclosing) {
        return 0;
    }
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

int terminalColumns() {
    const int columns = Platform::terminalColumns();
    return columns > 0 ? columns : 80;
}

// The text cut to fit the columns, with "..." where it was cut.
QString fitted(const QString& text, int columns) {
    int used = 0;
    QString result;
    const QList<uint> characters = text.toUcs4();
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const int width = columnsOf(characters[i]);
        if (used + width > columns) {
            while (!result.isEmpty() && used + 3 > columns) {
                used -= columnsOf(result.back().unicode());
                result.chop(1);
            }
            return result + QStringLiteral("...");
        }
        used += width;
        result += QString::fromUcs4(reinterpret_cast<const char32_t*>(&characters[i]), 1);
    }
    return result;
}

} // namespace

bool CliProgress::s_quiet = false;
CliProgress* CliProgress::s_shown = nullptr;

CliProgress::CliProgress() : m_enabled(!s_quiet && Platform::isTerminal(Platform::Stream::Error)) {}

CliProgress::~CliProgress() {
    finish();
}

void CliProgress::setQuiet(bool quiet) {
    s_quiet = quiet;
}

void CliProgress::clearLine() {
    if (s_shown != nullptr && s_shown->m_onScreen) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        s_shown->m_onScreen = false;
        s_shown->m_sinceDraw.invalidate();
    }
}

void CliProgress::setLabel(const QString& text) {
    m_label = text;
}

bool CliProgress::step(qint64 done, qint64 total) {
    m_done = done;
    m_total = total;
    if (m_enabled && (!m_sinceDraw.isValid() || m_sinceDraw.elapsed() >= kDrawMs)) {
        draw();
    }
    return true;
}

void CliProgress::draw() {
    QString percent;
    if (m_total > 0) {
        percent = QStringLiteral("  %1%").arg(std::clamp<qint64>(m_done * 100 / m_total, 0, 100));
    }
    // One column short of the width: a line that fills the last column makes some terminals wrap.
    const QString line = fitted(m_label, terminalColumns() - 1 - static_cast<int>(percent.size())) + percent;
    std::fprintf(stderr, "\r%s\033[K", line.toLocal8Bit().constData());
    std::fflush(stderr);
    m_onScreen = true;
    s_shown = this;
    m_sinceDraw.start();
}

void CliProgress::finish() {
    if (m_enabled && m_sinceDraw.isValid()) {
        draw();
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    m_onScreen = false;
    m_sinceDraw.invalidate();
    if (s_shown == this) {
        s_shown = nullptr;
    }
}
