// A 10,000-entry PROPFIND reply, written as Nextcloud writes it, read and shown in the
// Nextcloud browser's tree: the time from the refresh to the painted tree. curl is replaced by a
// launcher that hands over the generated reply at once, so only the console's side is timed.
//
//     propfind_bench [--entries N] [--rounds N]
//
// Target: under 0.5 s for 10,000 entries.
#include "BenchSupport.h"
#include "BrowserBench.h"
#include "NextCloudTree.h"
#include "ProcessLauncher.h"
#include "PropfindReply.h"
#include "ScriptedPrompt.h"
#include "Zelt_NextCloud.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace {

constexpr int filesPerFolder = 99;

QByteArray response(const QByteArray &href, qint64 size, bool folder)
{
    QByteArray text = "<d:response><d:href>" + href +
                      "</d:href><d:propstat><d:prop><d:getlastmodified>Mon, 04 Mar 2024 "
                      "09:12:44 GMT</d:getlastmodified>";
    if (folder)
        text += "<d:resourcetype><d:collection/></d:resourcetype><d:quota-used-bytes>0</"
                "d:quota-used-bytes>";
    else
        text += "<d:getcontentlength>" + QByteArray::number(size) +
                "</d:getcontentlength><d:resourcetype/><d:getcontenttype>application/pdf</"
                "d:getcontenttype>";
    return text + "<d:getetag>&quot;65e590ac6e4f1&quot;</d:getetag></d:prop><d:status>HTTP/1.1 "
                  "200 OK</d:status></d:propstat></d:response>";
}

// The user's root, then folders "Abteilung%20<d>/Th%c3%a9ma%20<t>/" of 99 files each, in
// depth-first order, until `entries` responses are written. Returns the files written.
int writeReply(const QString &path, int entries)
{
    const QByteArray root = "/remote.php/dav/files/nico/";
    QByteArray reply = "<?xml version=\"1.0\"?>\n<d:multistatus xmlns:d=\"DAV:\" "
                       "xmlns:s=\"http://sabredav.org/ns\" xmlns:oc=\"http://owncloud.org/ns\" "
                       "xmlns:nc=\"http://nextcloud.org/ns\">";
    reply += response(root, 0, true);
    int written = 1;
    int files = 0;
    for (int folder = 0; written < entries; ++folder) {
        const QByteArray department = root + "Abteilung%20" + QByteArray::number(folder / 10) + '/';
        if (folder % 10 == 0) {
            reply += response(department, 0, true);
            ++written;
        }
        const QByteArray topic =
            department + "Th%c3%a9ma%20" + QByteArray::number(folder % 10) + '/';
        reply += response(topic, 0, true);
        ++written;
        for (int file = 0; file < filesPerFolder && written < entries; ++file, ++written, ++files)
            reply += response(topic + "Dokument%20" + QByteArray::number(file) + ".pdf",
                              1234567LL * (file + 1), false);
    }
    reply += "</d:multistatus>\n";
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(reply) == reply.size() ? files : -1;
}

// Stands in for curl: the generated reply becomes its output at once.
class ReplyLauncher : public ProcessLauncher
{
public:
    explicit ReplyLauncher(const QString &reply) : reply(reply)
    {
        ProcessLauncher::setCurrent(this);
    }
    ~ReplyLauncher() override { ProcessLauncher::setCurrent(nullptr); }

    ProcessRun *start(const QString &, const QStringList &, int, const QString &outputFile,
                      QObject *parent) override
    {
        auto *run = new ProcessRun(parent);
        QFile::remove(outputFile);
        const bool copied = QFile::copy(reply, outputFile);
        QTimer::singleShot(0, run, [run, copied] {
            ProcessLauncher::Result result;
            result.started = copied;
            result.finished = copied;
            result.exitCode = copied ? 0 : -1;
            emit run->finished(result);
        });
        return run;
    }

private:
    QString reply;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    BenchSupport::offscreenUnlessChosen();
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption entriesOption(QStringLiteral("entries"),
                                           QStringLiteral("Responses in the reply (10000)."),
                                           QStringLiteral("n"), QStringLiteral("10000"));
    const QCommandLineOption roundsOption(QStringLiteral("rounds"),
                                          QStringLiteral("Refreshes timed (5)."),
                                          QStringLiteral("n"), QStringLiteral("5"));
    parser.addOptions({entriesOption, roundsOption});
    parser.process(application);
    const int entries = qMax(1, parser.value(entriesOption).toInt());
    const int rounds = qMax(1, parser.value(roundsOption).toInt());
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QString replyFile = dir.filePath(QStringLiteral("propfind.xml"));
    const int files = writeReply(replyFile, entries);
    if (files < 0) {
        out << "cannot write the reply into " << dir.path() << Qt::endl;
        return 1;
    }

    // The reader and the tree model alone.
    QList<double> readings;
    int nodeCount = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const auto nodes = PropfindReply::readFile(replyFile);
        if (!nodes) {
            out << "the reply was not read" << Qt::endl;
            return 1;
        }
        const NextCloudTree tree =
            NextCloudTree::fromNodes(*nodes, QStringLiteral("nico"), QStringLiteral("x"), 10);
        readings << timer.nsecsElapsed() / 1e9;
        nodeCount = int(nodes->size());
    }

    // The whole refresh in the browser, up to the painted tree.
    ScriptedPrompt prompt; // nothing should ask
    ReplyLauncher launcher(replyFile);
    Zelt_NextCloud browser;
    browser.resize(1000, 700);
    browser.show();
    browser.findChild<QLineEdit *>(QStringLiteral("leUrl"))->setText(QStringLiteral("http://x"));
    browser.findChild<QLineEdit *>(QStringLiteral("leUser"))->setText(QStringLiteral("nico"));
    auto *tree = browser.findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    QList<double> refreshes;
    int shownFiles = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        browser.on_btnRefresh_clicked();
        if (!BrowserBench::waitFor(&browser, &Zelt_NextCloud::refreshed, 60000)) {
            out << "no refresh came" << Qt::endl;
            return 1;
        }
        browser.repaint();
        refreshes << timer.nsecsElapsed() / 1e9;
        shownFiles = 0;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            shownFiles += int((*it)->data(0, Qt::UserRole).toJsonArray().size());
    }

    const double shown = median(refreshes);
    out << "PROPFIND reply: " << nodeCount << " entries, " << files << " files, "
        << QFileInfo(replyFile).size() / 1024 << " KiB" << Qt::endl;
    out << "read into the tree model (median of " << rounds << "): " << median(readings) << " s"
        << Qt::endl;
    out << "refresh to painted tree (median of " << rounds << "): " << shown << " s" << Qt::endl;
    out << "files in the tree: " << shownFiles << (shownFiles == files ? " (all)" : " (MISSING)")
        << Qt::endl;
    out << "target under 0.5 s: " << BrowserBench::verdict(shown >= 0 && shown < 0.5) << Qt::endl;
    if (!prompt.shown.isEmpty())
        out << "unexpected prompts: " << prompt.shown.size() << Qt::endl;
    return shownFiles == files ? 0 : 1;
}
