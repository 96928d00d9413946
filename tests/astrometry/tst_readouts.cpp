// The hover test of the read-outs: which marker a pointer position hits.

#include "astrometry/readouts.h"

#include <QtTest>
#include <vector>

class TestReadouts : public QObject {
    Q_OBJECT
private slots:
    void hoverHitArea_data();
    void hoverHitArea();
};

void TestReadouts::hoverHitArea_data()
{
    QTest::addColumn<float>("dx");
    QTest::addColumn<float>("dy");
    QTest::addColumn<bool>("hit");
    QTest::newRow("centre") << 0.f << 0.f << true;
    QTest::newRow("3.5 both axes") << 3.5f << -3.5f << true;
    QTest::newRow("4 in x") << 4.f << 0.f << false;
    QTest::newRow("-4 in y") << 0.f << -4.f << false;
    QTest::newRow("3.99 in x") << 3.99f << 0.f << true;
}

void TestReadouts::hoverHitArea()
{
    QFETCH(float, dx);
    QFETCH(float, dy);
    QFETCH(bool, hit);
    std::vector<Mark> marks(3);
    for (Mark &m : marks)
        m.Height = 8;
    marks[2] = {96.f, 196.f, 8.f, true}; // centre (100, 200)
    QCOMPARE(hoverHit(marks, 2, 100 + dx, 200 + dy), hit ? 2 : 0);
    marks[2].Visible = false;
    QCOMPARE(hoverHit(marks, 2, 100, 200), 0);
    QCOMPARE(hoverHit(marks, 0, 100, 200), 0);
}

QTEST_APPLESS_MAIN(TestReadouts)
#include "tst_readouts.moc"
