#include "ProcessSetup.h"

#include <csignal>

namespace ProcessSetup {

void ignoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace ProcessSetup
