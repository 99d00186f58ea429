#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh application home for one test: VORNREADER_HOME points at a temporary folder that is
// removed afterwards.
class TestHome {
public:
    TestHome();
    ~TestHome();
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};
