#pragma once

#include <QString>

// The writable folder that holds what the program keeps beside itself: the INI file, the error
// log, the Temp work folder, the template library and the System folder.
namespace AppHome {

// The template library that every new library is copied from.
inline constexpr char16_t TemplateName[] = u"vornreader_org.mdb";

// VORNREADER_HOME when set, otherwise the per-user data folder. Created when missing.
QString path();

// A file name without a folder separator is taken to be in the application home.
QString resolve(const QString& fileName);

// The Temp work folder inside the home, created when missing.
QString tempPath();

} // namespace AppHome
