// The hint label: which hint each key and state shows, the count rule at the
// end of a solve, and the label of a real main window.

#include "localisation/hints.h"
#include "support/test_support.h"

#include <QLabel>
#include <QtTest>

using namespace testing;

class TestHints : public QObject {
    Q_OBJECT
private slots:
    void keysAndStates_data();
    void keysAndStates();
    void countRule_data();
    void countRule();
    void onTheMainWindow();
};

namespace {
std::array<QString, 21> sampleHints()
{
    std::array<QString, 21> hints;
    for (int i = 0; i <= 14; ++i)
        hints[size_t(i)] = QStringLiteral("h%1").arg(i);
    return hints;
}

const QString kBefore = QStringLiteral("before");
} // namespace

void TestHints::keysAndStates_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("expected");

    QTest::newRow("calcul true, counts ignored") << "calcul" << -1 << "h5";
    QTest::newRow("calcul other state") << "calcul" << 1 << kBefore;
    QTest::newRow("superetalonage false") << "superetalonage" << 0 << "h6";
    QTest::newRow("superetalonage positive") << "superetalonage" << 3 << "h6";
    QTest::newRow("superetalonage true") << "superetalonage" << -1 << "h7";
    QTest::newRow("superetalonage other") << "superetalonage" << -2 << kBefore;
    QTest::newRow("etalonage no image") << "etalonage" << 0 << "h8";
    QTest::newRow("etalonage image") << "etalonage" << -1 << "h9";
    QTest::newRow("selectstar start") << "selectstar" << 1 << "h10";
    QTest::newRow("selectstar no image") << "selectstar" << 2 << "h11";
    QTest::newRow("selectstar other") << "selectstar" << 0 << kBefore;
    QTest::newRow("open") << "open" << 0 << "h12";
    QTest::newRow("fullmapannuler") << "fullmapannuler" << 0 << "h13";
    QTest::newRow("calculannuler") << "calculannuler" << 0 << "h14";
    QTest::newRow("Calcul") << "Calcul" << -1 << kBefore;
    QTest::newRow("OPEN") << "OPEN" << 0 << kBefore;
    QTest::newRow("unknown key") << "aide" << 0 << kBefore;
    QTest::newRow("empty key") << "" << 0 << kBefore;
}

void TestHints::keysAndStates()
{
    QFETCH(QString, key);
    QFETCH(int, state);
    QFETCH(QString, expected);
    QCOMPARE(nextSuggestion(kBefore, key, state, QStringLiteral("150"), QStringLiteral("350"), sampleHints()),
             expected);
}

void TestHints::countRule_data()
{
    QTest::addColumn<QString>("candidates");
    QTest::addColumn<QString>("starsInUse");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0 and 200") << "0" << "200" << "h1";
    QTest::newRow("99 and 100") << "99" << "100" << "h1";
    QTest::newRow("50 and 350") << "50" << "350" << "h1h3";
    QTest::newRow("50 and 99") << "50" << "99" << "h1h4";
    QTest::newRow("150 and 350") << "150" << "350" << "h2\rh3";
    QTest::newRow("150 and 50") << "150" << "50" << "h2\rh4";
    QTest::newRow("101 and 300") << "101" << "300" << "h2\r";
    QTest::newRow("100 and 50 keeps the text") << "100" << "50" << kBefore + "h4";
    QTest::newRow("100 and 301 keeps the text") << "100" << "301" << kBefore + "h3";
    QTest::newRow("100 and 200 changes nothing") << "100" << "200" << kBefore;
    QTest::newRow("not numbers change nothing") << "many" << "200" << kBefore;
}

void TestHints::countRule()
{
    QFETCH(QString, candidates);
    QFETCH(QString, starsInUse);
    QFETCH(QString, expected);
    // The counts are read in the user's number format; whole numbers read the
    // same with either separator.
    for (const QLocale &locale : {pointLocale(), commaLocale()}) {
        ScopedLocale scoped(locale);
        QCOMPARE(nextSuggestion(kBefore, QStringLiteral("calcul"), 0, candidates, starsInUse, sampleHints()),
                 expected);
    }
}

void TestHints::onTheMainWindow()
{
    FormFixture f;
    Form1 &form = *f.form;
    f.tables.SuggestionTexts = sampleHints();
    const QString design = form.sugestion->text();

    form.ShowSuggestion(QStringLiteral("nothing"), 0, QStringLiteral("0"), QStringLiteral("0"));
    QCOMPARE(form.sugestion->text(), design);

    // A flag passed as such counts as true = -1.
    form.ShowSuggestion(QStringLiteral("superetalonage"), true, QStringLiteral("0"), QStringLiteral("0"));
    QCOMPARE(form.sugestion->text(), QStringLiteral("h7"));
    form.ShowSuggestion(QStringLiteral("etalonage"), false, QStringLiteral("0"), QStringLiteral("0"));
    QCOMPARE(form.sugestion->text(), QStringLiteral("h8"));

    // The line break after entry 2 shows as one on the label.
    form.ShowSuggestion(QStringLiteral("calcul"), false, QStringLiteral("150"), QStringLiteral("50"));
    QCOMPARE(form.sugestion->text(), QStringLiteral("h2\nh4"));
    // 100 candidates extend what the label shows.
    form.ShowSuggestion(QStringLiteral("calcul"), false, QStringLiteral("100"), QStringLiteral("400"));
    QCOMPARE(form.sugestion->text(), QStringLiteral("h2\nh4h3"));
}

QTEST_MAIN(TestHints)
#include "tst_hints.moc"
