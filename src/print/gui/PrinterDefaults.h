#pragma once

#include "PageSetup.h"

#include <QPageLayout>
#include <functional>
#include <optional>

// The paper and orientation the system's default printer starts with, as the page setup keeps
// them: a Windows paper code and 1 portrait or 2 landscape.
namespace PrinterDefaults {

// The page layout of the system's default printer; nothing when there is no printer.
using Source = std::function<std::optional<QPageLayout>()>;

// A page setup with the default printer's paper and orientation; A4 portrait when there is no
// printer, and A4 for a paper without a Windows code.
PageSetup defaultPaper();

// Puts another printer in the place of the system's (tests); an empty source restores it.
void setSource(Source source);

} // namespace PrinterDefaults
