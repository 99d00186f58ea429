#include "TestHome.h"

TestHome::TestHome() : m_previous(qgetenv("VORNREADER_HOME")) {
    qputenv("VORNREADER_HOME", m_dir.path().toUtf8());
}

TestHome::~TestHome() {
    if (m_previous.isEmpty()) {
        qunsetenv("VORNREADER_HOME");
    } else {
        qputenv("VORNREADER_HOME", m_previous);
    }
}
