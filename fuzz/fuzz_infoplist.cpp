// A bundle's Info.plist, as the catalogue and the launch path read it.
#include "FuzzInput.h"
#include "InfoPlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<InfoPlist> info = InfoPlist::parse(fuzzBytes(data, size));
    if (info && info->bundleIdentifier.contains(QChar(0)))
        __builtin_trap(); // identifiers with NUL must never come out
    return 0;
}
