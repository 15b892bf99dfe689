// The meeting components file importer. What it accepts, written out again, must read back to
// the same components.
#include "FuzzSupport.h"

#include "ComponentsFile.h"

using namespace Zelt_Service_API;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<ImportedComponents> imported = ComponentsFile::read(fuzzInput(data, size));
    if (!imported)
        return 0;
    ZeltMeetingInfo info;
    info.setAssets(imported->assets);
    info = imported->appliedTo(info);
    const QByteArray written = ComponentsFile::write(info, ComponentChoices{});
    const std::optional<ImportedComponents> again = ComponentsFile::read(written);
    FUZZ_CHECK(again);
    FUZZ_CHECK(again->assets.size() == imported->assets.size());
    FUZZ_CHECK(ComponentsFile::write(again->appliedTo([&] {
                   ZeltMeetingInfo next;
                   next.setAssets(again->assets);
                   return next;
               }()),
                                     ComponentChoices{}) == written);
    return 0;
}
