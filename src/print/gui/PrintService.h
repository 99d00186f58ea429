#pragma once

#include <QString>

// The system's print service (CUPS), which Qt hands printed documents to.
namespace PrintService {

// Why the print service refused the job this thread last handed it, in the service's words;
// empty when it took the job. Qt's print engine does not look at that answer itself.
QString lastRefusal();

} // namespace PrintService
