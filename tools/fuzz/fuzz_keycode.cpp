// Key texts of the function-key settings through KeyCodeConvert.

#include "FuzzSupport.h"
#include "KeyCodeConvert.h"

#include <array>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr qint16 untouched = -12345;
    std::array<qint16, 10> codes;
    codes.fill(untouched);
    const qint16 n = modGeneral::KeyCodeConvert(FuzzSupport::text(data, size), codes);
    FuzzSupport::check(n >= 0 && n <= 10, "at most ten codes");
    for (int i = 0; i < 10; ++i) {
        FuzzSupport::check((i < n) == (codes[i] != untouched), "exactly the first n codes are filled");
    }
    return 0;
}
