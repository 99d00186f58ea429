#pragma once

// Puts the shipped files the program needs into the application home when they are missing: the
// two translation files, the help page and the template library. Files already there are never overwritten.
namespace HomeSeeder {

inline constexpr char TemplateName[] = "vornreader_org.mdb";

void SeedApplicationHome();

} // namespace HomeSeeder
