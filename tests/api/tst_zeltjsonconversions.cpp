#include "ZeltJsonConversions.h"
#include "ZeltModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

using namespace Zelt_Common_API;

namespace {

// A model exercising every kind of field the real models use.
// clang-format off
#define PROBE_PART_FIELDS(FIELD) \
    FIELD(QString, label, Label, "label", Optional) \
    FIELD(float, weight, Weight, "weight", Optional)
// clang-format on
class ProbePart : public ZeltModel<ProbePart>
{
    ZELT_MODEL(ProbePart, PROBE_PART_FIELDS)
};

// clang-format off
#define PROBE_FIELDS(FIELD) \
    FIELD(QString, name, Name, "name", Required) \
    FIELD(qint32, count, Count, "count", Required) \
    FIELD(qint64, size, Size, "size", Optional) \
    FIELD(bool, active, Active, "active", Optional) \
    FIELD(QDate, created, Created, "created", Optional) \
    FIELD(QList<QString>, tags, Tags, "tags", Optional) \
    FIELD(ProbePart, part, Part, "part", Optional) \
    FIELD(QList<ProbePart>, parts, Parts, "parts", Optional)
// clang-format on
class Probe : public ZeltModel<Probe>
{
    ZELT_MODEL(Probe, PROBE_FIELDS)
};

QJsonValue jsonOf(const QByteArray &text)
{
    if (text == "undefined")
        return QJsonValue(QJsonValue::Undefined);
    return QJsonDocument::fromJson("[" + text + "]").array().first();
}

template <typename T>
void checkConversion(const QByteArray &json, bool ok, const QVariant &expected)
{
    T value{};
    QCOMPARE(fromJsonValue(value, jsonOf(json)), ok);
    if (ok)
        QCOMPARE(QVariant::fromValue(value), expected);
}

} // namespace

class tst_ZeltJsonConversions : public QObject
{
    Q_OBJECT

private slots:
    void scalarFromJson_data();
    void scalarFromJson();
    void scalarToJson();
    void lists();
    void replyText();

    void readsMembersWithFlags();
    void writesOnlyWhatHasContent();
    void setterMarksSetButNotValid();
    void nonObjectTextLeavesEverythingUnset();
    void requiredFieldsDecideValidity();
    void listsKeepBadElements();
    void rereadReplacesValues();
    void copiesCarryFlags();
    void baseObjectHoldsItsJson();
};

void tst_ZeltJsonConversions::scalarFromJson_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("string from string")
        << "QString" << QByteArray("\"a\u00e9\"") << true << QVariant(QString("a\u00e9"));
    QTest::newRow("string from true")
        << "QString" << QByteArray("true") << true << QVariant(QString("true"));
    QTest::newRow("string from false")
        << "QString" << QByteArray("false") << true << QVariant(QString("false"));
    QTest::newRow("string from 3")
        << "QString" << QByteArray("3") << true << QVariant(QString("3"));
    QTest::newRow("string from 1.5")
        << "QString" << QByteArray("1.5") << true << QVariant(QString("1.5"));
    QTest::newRow("string from 1e6")
        << "QString" << QByteArray("1000000") << true << QVariant(QString("1e+06"));
    QTest::newRow("string from 1/3")
        << "QString" << QByteArray("0.333333333") << true << QVariant(QString("0.333333"));
    QTest::newRow("string from null") << "QString" << QByteArray("null") << false << QVariant();
    QTest::newRow("string from missing")
        << "QString" << QByteArray("undefined") << false << QVariant();
    QTest::newRow("string from array") << "QString" << QByteArray("[]") << false << QVariant();
    QTest::newRow("string from object") << "QString" << QByteArray("{}") << false << QVariant();

    QTest::newRow("int from 42") << "qint32" << QByteArray("42") << true << QVariant(qint32(42));
    QTest::newRow("int from -7") << "qint32" << QByteArray("-7") << true << QVariant(qint32(-7));
    QTest::newRow("int from fraction is 0")
        << "qint32" << QByteArray("2.5") << true << QVariant(qint32(0));
    QTest::newRow("int from bool is 0")
        << "qint32" << QByteArray("true") << true << QVariant(qint32(0));
    QTest::newRow("int from numeric string is 0")
        << "qint32" << QByteArray("\"5\"") << true << QVariant(qint32(0));
    QTest::newRow("int from word is 0")
        << "qint32" << QByteArray("\"x\"") << true << QVariant(qint32(0));
    QTest::newRow("int from null") << "qint32" << QByteArray("null") << false << QVariant();
    QTest::newRow("int from missing") << "qint32" << QByteArray("undefined") << false << QVariant();
    QTest::newRow("int from array") << "qint32" << QByteArray("[1]") << false << QVariant();

    QTest::newRow("long from big")
        << "qint64" << QByteArray("5000000000") << true << QVariant(qint64(5000000000));
    QTest::newRow("long rounds up") << "qint64" << QByteArray("2.5") << true << QVariant(qint64(3));
    QTest::newRow("long rounds down")
        << "qint64" << QByteArray("-2.4") << true << QVariant(qint64(-2));
    QTest::newRow("long from true")
        << "qint64" << QByteArray("true") << true << QVariant(qint64(1));
    QTest::newRow("long from false")
        << "qint64" << QByteArray("false") << true << QVariant(qint64(0));
    QTest::newRow("long from numeric string")
        << "qint64" << QByteArray("\"123\"") << true << QVariant(qint64(123));
    QTest::newRow("long from word is 0")
        << "qint64" << QByteArray("\"x1\"") << true << QVariant(qint64(0));
    QTest::newRow("long beyond range is 0")
        << "qint64" << QByteArray("1e30") << true << QVariant(qint64(0));
    QTest::newRow("long from object") << "qint64" << QByteArray("{}") << false << QVariant();

    QTest::newRow("float from number") << "float" << QByteArray("1.25") << true << QVariant(1.25f);
    QTest::newRow("float from integer") << "float" << QByteArray("3") << true << QVariant(3.0f);
    QTest::newRow("float from numeric string")
        << "float" << QByteArray("\"1.5\"") << false << QVariant();
    QTest::newRow("float from bool") << "float" << QByteArray("true") << false << QVariant();
    QTest::newRow("float near its largest")
        << "float" << QByteArray("3e38") << true << QVariant(3e38f);
    // Infinity has no JSON form: it would be written back as null.
    QTest::newRow("float beyond range") << "float" << QByteArray("-1.1e39") << false << QVariant();

    QTest::newRow("bool from true") << "bool" << QByteArray("true") << true << QVariant(true);
    QTest::newRow("bool from 1") << "bool" << QByteArray("1") << false << QVariant();
    QTest::newRow("bool from string") << "bool" << QByteArray("\"true\"") << false << QVariant();

    QTest::newRow("date from ISO")
        << "QDate" << QByteArray("\"2024-02-29\"") << true << QVariant(QDate(2024, 2, 29));
    QTest::newRow("date not a day")
        << "QDate" << QByteArray("\"2023-02-29\"") << false << QVariant();
    QTest::newRow("date other format")
        << "QDate" << QByteArray("\"29.02.2024\"") << false << QVariant();
    QTest::newRow("date from number") << "QDate" << QByteArray("20240229") << false << QVariant();
}

void tst_ZeltJsonConversions::scalarFromJson()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, json);
    QFETCH(bool, ok);
    QFETCH(QVariant, expected);

    if (type == "QString")
        checkConversion<QString>(json, ok, expected);
    else if (type == "qint32")
        checkConversion<qint32>(json, ok, expected);
    else if (type == "qint64")
        checkConversion<qint64>(json, ok, expected);
    else if (type == "float")
        checkConversion<float>(json, ok, expected);
    else if (type == "bool")
        checkConversion<bool>(json, ok, expected);
    else if (type == "QDate")
        checkConversion<QDate>(json, ok, expected);
    else
        QFAIL("unknown type");
}

void tst_ZeltJsonConversions::scalarToJson()
{
    QCOMPARE(toJsonValue(QStringLiteral("x")), QJsonValue("x"));
    QCOMPARE(toJsonValue(qint32(-3)), QJsonValue(-3));
    QCOMPARE(toJsonValue(qint64(5000000000)).toInteger(), 5000000000);
    QCOMPARE(toJsonValue(1.5f), QJsonValue(1.5));
    QCOMPARE(toJsonValue(false), QJsonValue(false));
    QCOMPARE(toJsonValue(QDate(2024, 1, 2)), QJsonValue("2024-01-02"));
    QCOMPARE(toJsonValue(QList<qint64>{1, 2}), QJsonValue(QJsonArray{1, 2}));
}

void tst_ZeltJsonConversions::lists()
{
    QList<qint32> numbers;
    QVERIFY(fromJsonValue(numbers, jsonOf("[1, 2.5, \"x\"]")));
    QCOMPARE(numbers, (QList<qint32>{1, 0, 0}));

    QList<float> floats;
    QVERIFY(!fromJsonValue(floats, jsonOf("[1, \"2\", 3]")));
    QCOMPARE(floats, (QList<float>{1, 0, 3}));

    QList<QString> strings;
    QVERIFY(!fromJsonValue(strings, jsonOf("\"not an array\"")));
    QVERIFY(strings.isEmpty());
}

void tst_ZeltJsonConversions::replyText()
{
    QString text;
    QVERIFY(fromStringValue(QStringLiteral("log"), text));
    QCOMPARE(text, QStringLiteral("log"));
    QVERIFY(!fromStringValue(QString(), text));
    QVERIFY(text.isEmpty());

    qint32 number = -1;
    QVERIFY(fromStringValue(QStringLiteral("42"), number));
    QCOMPARE(number, 42);
    QVERIFY(!fromStringValue(QStringLiteral("forty"), number));
    QCOMPARE(number, 0);

    QCOMPARE(toStringValue(QStringLiteral("a b")), QStringLiteral("a b"));
    QCOMPARE(toStringValue(qint32(-17)), QStringLiteral("-17"));
}

void tst_ZeltJsonConversions::readsMembersWithFlags()
{
    const Probe probe(QStringLiteral(R"({"name": "n", "count": null, "size": "12", "active": 1,
        "created": "2024-05-06", "tags": ["a", "b"], "part": {"label": "p"}, "extra": true})"));

    QCOMPARE(probe.name(), QStringLiteral("n"));
    QVERIFY(probe.isNameSet() && probe.isNameValid());
    QVERIFY(!probe.isCountSet() && !probe.isCountValid()); // null
    QCOMPARE(probe.size(), 12);
    QVERIFY(probe.isSizeSet());
    QVERIFY(!probe.isActiveSet() && !probe.isActiveValid()); // 1 is not a bool
    QCOMPARE(probe.created(), QDate(2024, 5, 6));
    QCOMPARE(probe.tags(), (QList<QString>{"a", "b"}));
    QVERIFY(probe.isPartSet() && probe.isPartValid());
    QCOMPARE(probe.part().label(), QStringLiteral("p"));
    QVERIFY(!probe.part().isWeightSet());
    QVERIFY(!probe.isPartsSet() && !probe.isPartsValid()); // missing
    QVERIFY(probe.parts().isEmpty());
}

void tst_ZeltJsonConversions::writesOnlyWhatHasContent()
{
    Probe probe(
        QStringLiteral(R"({"name": "n", "tags": [], "part": {"other": 1}, "parts": [{}]})"));
    QVERIFY(probe.isTagsSet()); // an empty array converts...
    QVERIFY(probe.isPartSet()); // ...and so does an object without known members
    const QJsonObject written = probe.asJsonObject();
    // ...but neither is written back, and a list of empty models is written as such.
    QCOMPARE(written, QJsonObject({{"name", "n"}, {"parts", QJsonArray{QJsonObject()}}}));
    QVERIFY(probe.isSet());

    QVERIFY(!Probe().isSet());
    QCOMPARE(Probe().asJsonObject(), QJsonObject());

    Probe onlyNested;
    ProbePart part;
    part.setWeight(2.5f);
    onlyNested.setPart(part);
    QVERIFY(onlyNested.isSet());
    QCOMPARE(QJsonDocument::fromJson(onlyNested.asJson().toUtf8()).object(),
             QJsonObject({{"part", QJsonObject{{"weight", 2.5}}}}));
    QVERIFY(onlyNested.asJson().contains('\n')); // indented, not compact
}

void tst_ZeltJsonConversions::setterMarksSetButNotValid()
{
    Probe probe;
    probe.setCount(0);
    QVERIFY(probe.isCountSet());
    QVERIFY(!probe.isCountValid());
    QCOMPARE(probe.asJsonObject(), QJsonObject({{"count", 0}}));
}

void tst_ZeltJsonConversions::nonObjectTextLeavesEverythingUnset()
{
    for (const QString &text : {QStringLiteral("[1,2]"), QStringLiteral("not json"), QString()}) {
        const Probe probe(text);
        QVERIFY(!probe.isSet());
        QVERIFY(!probe.isNameValid());
        QVERIFY(!probe.isValid());
    }
    // The text counts up to its first NUL only.
    const Probe cut(QStringLiteral("{\"name\":\"n\",\"count\":1}") + QChar(0) +
                    QStringLiteral("garbage"));
    QCOMPARE(cut.name(), QStringLiteral("n"));
}

void tst_ZeltJsonConversions::requiredFieldsDecideValidity()
{
    QVERIFY(Probe(QStringLiteral(R"({"name": "n", "count": 2.5})")).isValid());
    QVERIFY(!Probe(QStringLiteral(R"({"name": "n"})")).isValid());
    QVERIFY(!Probe(QStringLiteral(R"({"name": [], "count": 1})")).isValid());
    // Optional fields do not matter, nor does a nested model without required fields.
    QVERIFY(Probe(QStringLiteral(R"({"name": "n", "count": 1, "size": [], "part": 3})")).isValid());
    QVERIFY(ProbePart().isValid());
}

void tst_ZeltJsonConversions::listsKeepBadElements()
{
    const Probe probe(
        QStringLiteral(R"({"parts": [{"label": "a", "weight": 1}, 7, {"weight": "x"}]})"));
    QVERIFY(!probe.isPartsValid());
    QVERIFY(!probe.isPartsSet());
    const QList<ProbePart> parts = probe.parts();
    QCOMPARE(parts.size(), 3);
    QCOMPARE(parts.at(0).label(), QStringLiteral("a"));
    QVERIFY(parts.at(0).isWeightValid());
    QVERIFY(!parts.at(1).isSet());
    QVERIFY(!parts.at(2).isWeightSet() && !parts.at(2).isWeightValid());
    // The list still has elements, so it is written back.
    QCOMPARE(probe.asJsonObject().value("parts").toArray().size(), 3);
}

void tst_ZeltJsonConversions::rereadReplacesValues()
{
    Probe probe(QStringLiteral(R"({"tags": ["a"], "name": "first"})"));
    probe.fromJson(QStringLiteral(R"({"tags": ["b"], "name": {}})"));
    QCOMPARE(probe.tags(), QList<QString>{"b"});
    QVERIFY(probe.name().isEmpty());
    QVERIFY(!probe.isNameSet());
}

void tst_ZeltJsonConversions::copiesCarryFlags()
{
    Probe original(QStringLiteral(R"({"name": "n", "count": 1})"));
    Probe copy = original;
    original.setName(QStringLiteral("changed"));
    QCOMPARE(copy.name(), QStringLiteral("n"));
    QVERIFY(copy.isCountSet() && copy.isCountValid() && copy.isValid());
    Probe assigned;
    assigned = copy;
    QCOMPARE(assigned.asJsonObject(), copy.asJsonObject());
}

void tst_ZeltJsonConversions::baseObjectHoldsItsJson()
{
    ZeltObject object;
    object.fromJson(QStringLiteral(R"({"b": 1, "a": [true]})"));
    QCOMPARE(object.asJsonObject(), QJsonObject({{"a", QJsonArray{true}}, {"b", 1}}));
    QCOMPARE(object.asJson(), QStringLiteral(R"({"a":[true],"b":1})"));
    QVERIFY(!object.isSet());
    QVERIFY(object.isValid());
}

QTEST_GUILESS_MAIN(tst_ZeltJsonConversions)
#include "tst_zeltjsonconversions.moc"
