// A Nextcloud PROPFIND reply, read and turned into the folder tree the browser shows.
#include "FuzzSupport.h"

#include "NextCloudTree.h"
#include "PropfindReply.h"

#include <QBuffer>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray reply = fuzzInput(data, size);
    QBuffer device(&reply);
    device.open(QIODevice::ReadOnly);
    const auto nodes = PropfindReply::read(device);
    if (!nodes)
        return 0;
    const NextCloudTree tree = NextCloudTree::fromNodes(
        *nodes, QStringLiteral("nico"), QStringLiteral("https://cloud.example"), 10);
    FUZZ_CHECK(!tree.folders.isEmpty());
    // Every folder but the top names an earlier one as its parent, so the tree has no cycle.
    for (int i = 1; i < tree.folders.size(); ++i)
        FUZZ_CHECK(tree.folders.at(i).parent >= 0 && tree.folders.at(i).parent < i);
    for (const auto &node : *nodes)
        FUZZ_CHECK(node.size >= 0);
    return 0;
}
