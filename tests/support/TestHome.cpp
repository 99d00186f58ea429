#include "TestHome.h"

#include "LibraryFile.h"
#include "OutputFile.h"

TestHome::TestHome() : m_previous(qgetenv("VORNREADER_HOME")) {
    qputenv("VORNREADER_HOME", m_dir.path().toUtf8());
    // As both programs do at start: outputs are checked against libraries by the store's look.
    OutputFile::setLibraryCheck(LibraryFile::holdsLibrary);
}

TestHome::~TestHome() {
    if (m_previous.isEmpty()) {
        qunsetenv("VORNREADER_HOME");
    } else {
        qputenv("VORNREADER_HOME", m_previous);
    }
}
