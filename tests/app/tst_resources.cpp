#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

namespace {

const QString prefix = QStringLiteral(":/Zelt_ServerApp/");

// The images the console refers to; the build takes whatever lies in the images folder, so this
// list is what holds the bundle to its contents.
const QStringList bundledNames = {"abort.png",
                                  "apply.svg",
                                  "aud.ico",
                                  "aws.png",
                                  "blue.svg",
                                  "bmp.ico",
                                  "doc.ico",
                                  "empty_box.svg",
                                  "fbx.ico",
                                  "gif.ico",
                                  "green.svg",
                                  "green_16x16.png",
                                  "green_32x32.png",
                                  "jpg.ico",
                                  "key.png",
                                  "link.svg",
                                  "lock_closed.png",
                                  "lock_open.png",
                                  "logo.png",
                                  "m4a.ico",
                                  "mic_disabled.png",
                                  "mic_enabled.png",
                                  "mic_talking.png",
                                  "minio.png",
                                  "mkv.ico",
                                  "mov.ico",
                                  "mp3.ico",
                                  "mp4.ico",
                                  "mpg.ico",
                                  "nextcloud1.jpg",
                                  "nextcloud2.png",
                                  "pause.png",
                                  "pdf.ico",
                                  "pic.ico",
                                  "play.png",
                                  "png.ico",
                                  "power.png",
                                  "ppt.ico",
                                  "questionmark.svg",
                                  "red.svg",
                                  "red_16x16.png",
                                  "red_32x32.png",
                                  "tree.svg",
                                  "tree_back.svg",
                                  "tree_first.svg",
                                  "tree_force_prune.svg",
                                  "tree_force_update.svg",
                                  "tree_forward.svg",
                                  "tree_last.svg",
                                  "tree_next.svg",
                                  "tree_node.svg",
                                  "tree_previous.svg",
                                  "tree_show_options.svg",
                                  "tree_top.svg",
                                  "txt.ico",
                                  "vid.ico",
                                  "wav.ico",
                                  "webm.ico",
                                  "wma.ico",
                                  "wmv.ico",
                                  "xls.ico",
                                  "yellow.svg",
                                  "yellow_16x16.png",
                                  "yellow_32x32.png"};

QStringList namesEndingWith(const QStringList &suffixes)
{
    QStringList names;
    for (const QString &name : bundledNames) {
        for (const QString &suffix : suffixes) {
            if (name.endsWith(suffix))
                names << name;
        }
    }
    return names;
}

// Share of pixels that are not fully transparent: a picture that decodes but draws nothing
// (an unsupported SVG element, an all-transparent frame) shows up as zero.
double paintedShare(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    qsizetype painted = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) > 0)
                ++painted;
        }
    }
    return double(painted) / (qsizetype(argb.width()) * argb.height());
}

void addRows(const QStringList &names)
{
    QTest::addColumn<QString>("name");
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << name;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void bundleHoldsExactlyTheListedImages()
    {
        QCOMPARE(bundledNames.size(), 64);
        QStringList expected = bundledNames;
        expected.sort();
        QStringList present = QDir(prefix).entryList(QDir::Files, QDir::Name);
        QCOMPARE(present, expected);
    }

    void namesTheBrowserMissesStayAbsent_data() { addRows({"avi.ico", "flv.ico"}); }
    void namesTheBrowserMissesStayAbsent()
    {
        QFETCH(QString, name);
        QVERIFY(!QFile::exists(prefix + name));
        QVERIFY(QImage(prefix + name).isNull());
    }

    void svgRenders_data() { addRows(namesEndingWith({".svg"})); }
    void svgRenders()
    {
        QFETCH(QString, name);
        QSvgRenderer renderer(prefix + name);
        QVERIFY(renderer.isValid());
        QVERIFY(!renderer.defaultSize().isEmpty());

        QImage canvas(48, 48, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        renderer.render(&painter);
        painter.end();
        QVERIFY2(paintedShare(canvas) > 0.1, "renders next to nothing");

        // The way the console shows it: as an icon through the SVG icon engine.
        QVERIFY(!QIcon(prefix + name).pixmap(16, 16).isNull());
    }

    void rasterLoads_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        for (const QString &name : namesEndingWith({".png"}))
            QTest::newRow(qPrintable(name)) << name << QByteArray("png");
        for (const QString &name : namesEndingWith({".jpg"}))
            QTest::newRow(qPrintable(name)) << name << QByteArray("jpeg");
        for (const QString &name : namesEndingWith({".ico"}))
            QTest::newRow(qPrintable(name)) << name << QByteArray("ico");
    }
    void rasterLoads()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QImageReader reader(prefix + name);
        // The content decides, so a file that only carries the right suffix fails.
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), format);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        QVERIFY2(paintedShare(image) > 0.1, "shows next to nothing");
        QVERIFY(!QIcon(prefix + name).pixmap(16, 16).isNull());
    }

    void statusLampSizesMatchTheirNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("edge");
        for (const char *colour : {"green", "red", "yellow"}) {
            for (int edge : {16, 32}) {
                const QString name = QStringLiteral("%1_%2x%2.png").arg(colour).arg(edge);
                QTest::newRow(qPrintable(name)) << name << edge;
            }
        }
    }
    void statusLampSizesMatchTheirNames()
    {
        QFETCH(QString, name);
        QFETCH(int, edge);
        QCOMPARE(QImage(prefix + name).size(), QSize(edge, edge));
    }

    void fileIconsCarryThreeSizes_data() { addRows(namesEndingWith({".ico"})); }
    void fileIconsCarryThreeSizes()
    {
        QFETCH(QString, name);
        QImageReader reader(prefix + name, "ico");
        QCOMPARE(reader.imageCount(), 3);
        QList<int> edges;
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
            QCOMPARE(image.width(), image.height());
            edges << image.width();
        }
        std::sort(edges.begin(), edges.end());
        QCOMPARE(edges, QList<int>({16, 32, 48}));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
