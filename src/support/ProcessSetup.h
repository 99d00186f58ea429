#pragma once

// Process-wide settings both programs make at start.
namespace ProcessSetup {

// A write beyond the file-size limit (ulimit -f) fails with "file too large" and is reported like
// any failed write, instead of the system ending the program without a word.
void ignoreFileSizeSignal();

} // namespace ProcessSetup
