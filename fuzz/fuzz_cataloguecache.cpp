// The catalogue cache read back at start. The input is taken as the payload
// and sealed, so the fuzzer works on the layout rather than on the digest.
#include "CatalogueSnapshot.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    (void)CatalogueSnapshot::decode(bytes); // as found on disk
    const std::optional<CatalogueSnapshot> read =
        CatalogueSnapshot::decode(CatalogueSnapshot::seal(bytes));
    if (!read)
        return 0;
    // Whatever was read is written back in a form that reads back the same.
    const QByteArray written = read->encode();
    const std::optional<CatalogueSnapshot> again = CatalogueSnapshot::decode(written);
    if (!again || again->encode() != written)
        __builtin_trap();
    return 0;
}
