#include "support/layout_checks.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace testing {

namespace {
bool showsText(const QWidget *w)
{
    return qobject_cast<const QLabel *>(w) || qobject_cast<const QAbstractButton *>(w)
           || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w)
           || qobject_cast<const QGroupBox *>(w) || qobject_cast<const QAbstractScrollArea *>(w);
}

QString describe(const QWidget *w)
{
    QString text;
    if (auto *label = qobject_cast<const QLabel *>(w))
        text = label->text();
    else if (auto *button = qobject_cast<const QAbstractButton *>(w))
        text = button->text();
    else if (auto *frame = qobject_cast<const QGroupBox *>(w))
        text = frame->title();
    return QStringLiteral("%1 '%2'").arg(QString::fromLatin1(w->metaObject()->className()), text.left(30));
}
} // namespace

QStringList cutControls(const QWidget &window)
{
    QStringList cut;
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        if (!w->isVisible() || w->isWindow() || !showsText(w))
            continue;
        const QWidget *parent = w->parentWidget();
        if (!parent->rect().contains(w->geometry()))
            cut << describe(w) + QStringLiteral(" leaves its parent");
        QSize need = w->minimumSizeHint().expandedTo(w->minimumSize());
        if (auto *label = qobject_cast<const QLabel *>(w); label && label->wordWrap())
            need.setHeight(label->heightForWidth(label->width()));
        // A box's minimum width is that of one character; showsWhole checks its texts.
        if (qobject_cast<const QLineEdit *>(w))
            need.setWidth(w->minimumWidth());
        if (need.width() > w->width() || need.height() > w->height())
            cut << QStringLiteral("%1 needs %2 x %3, has %4 x %5")
                       .arg(describe(w))
                       .arg(need.width())
                       .arg(need.height())
                       .arg(w->width())
                       .arg(w->height());
    }
    return cut;
}

bool showsWhole(QLineEdit &box, const QString &text)
{
    box.setText(text);
    box.grab(); // painting scrolls the text to the cursor
    // Both ends of the text lie inside the box.
    const int middle = box.height() / 2;
    return box.cursorPositionAt(QPoint(0, middle)) == 0
           && box.cursorPositionAt(QPoint(box.width() - 1, middle)) == text.size();
}

std::vector<std::pair<QString, QByteArray>> shippedLanguageFile(bool wanted)
{
    if (!wanted)
        return {};
    QFile file(QFINDTESTDATA("../../resources/lang.cfg"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    return {{QStringLiteral("lang.cfg"), file.readAll()}};
}

} // namespace testing
