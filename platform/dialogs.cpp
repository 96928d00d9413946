#include "platform/dialogs.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <QWindow>

namespace {
// A wait shorter than this shows no box.
constexpr int kProgressShowAfterMs = 500;
// How often a wait looks whether the work has ended.
constexpr int kProgressPollMs = 10;

// Places `box` centred over `window`, and tied to it for the window
// manager, without making it the window's child.
void placeOver(QWidget &box, QWidget *window)
{
    if (!window || !window->isVisible())
        return;
    box.adjustSize();
    box.winId();
    box.windowHandle()->setTransientParent(window->windowHandle());
    box.move(window->frameGeometry().center() - box.rect().center());
}
} // namespace

QString qtFileFilter(const QString &classicFilter)
{
    // Pairs of description|pattern; Qt shows the description, which already
    // names the patterns, and filters by what is in its parentheses. When a
    // description has no parentheses, append the pattern so Qt can filter.
    const QStringList parts = classicFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i];
        const QString pattern = QString(parts[i + 1]).replace(u';', u' ');
        if (description.contains(u'(') && description.contains(u')'))
            filters << description;
        else
            filters << QStringLiteral("%1 (%2)").arg(description, pattern);
    }
    if (filters.isEmpty() && !classicFilter.isEmpty())
        filters << classicFilter;
    return filters.join(QStringLiteral(";;"));
}

MsgBoxResult QtDialogs::MsgBox(const QString &prompt, MsgBoxStyle style, const QString &title)
{
    const QString caption = title.isEmpty() ? QApplication::applicationName() : title;
    const bool question = style == MsgBoxStyle::YesNo || style == MsgBoxStyle::YesNoDefaultNo;
    const QMessageBox::Icon icon = question ? QMessageBox::Question
                                 : style == MsgBoxStyle::OkOnlyWarning ? QMessageBox::Warning
                                                                       : QMessageBox::NoIcon;
    QMessageBox box(icon, caption, prompt, question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    QApplication::activeWindow());
    // A failure's description or a file name shows as it is, never as rich text.
    box.setTextFormat(Qt::PlainText);
    if (question)
        box.setDefaultButton(style == MsgBoxStyle::YesNo ? QMessageBox::Yes : QMessageBox::No);
    const int answer = box.exec();
    if (!question)
        return MsgBoxResult::Ok;
    return answer == QMessageBox::Yes ? MsgBoxResult::Yes : MsgBoxResult::No;
}

QString QtDialogs::ShowOpen(const FileDialogRequest &request)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), request.title,
                                        request.initialFolder, qtFileFilter(request.filter));
}

QString QtDialogs::ShowSave(const FileDialogRequest &request)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), request.title,
                                        request.initialFolder, qtFileFilter(request.filter));
}

void QtDialogs::ShowProgress(const QString &label, const std::function<bool()> &finished,
                             const std::function<void()> &cancel)
{
    if (finished())
        return;
    // The box belongs to the wait alone, with no parent: a window that goes
    // while the wait lasts cannot take the box and its "Annuler" with it.
    // It only stands over the window that was in front when the wait began.
    QProgressDialog box(label, QStringLiteral("Annuler"), 0, 0);
    box.setWindowModality(Qt::ApplicationModal);
    box.setAutoReset(false);
    box.setAutoClose(false);
    box.setMinimumDuration(kProgressShowAfterMs);
    placeOver(box, QApplication::activeWindow());

    QEventLoop loop;
    bool woken = false; // by one of the wait's own events, not by the program's end
    const auto wake = [&] {
        woken = true;
        loop.quit();
    };
    bool timeToShow = false;
    bool cancelled = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (finished())
            wake();
    });
    poll.start(kProgressPollMs);
    QTimer::singleShot(kProgressShowAfterMs, &loop, [&] {
        timeToShow = true;
        wake();
    });
    QObject::connect(&box, &QProgressDialog::canceled, &loop, [&] {
        if (!cancelled) {
            cancelled = true;
            cancel();
        }
        wake();
    });

    while (!finished()) {
        // Until the modal box stands in front of the windows, and once it was
        // cancelled (it then hides), input waits in the queue: no command may
        // start while this one runs.
        const bool boxUp = timeToShow && !cancelled;
        if (boxUp && !box.isVisible())
            box.show();
        woken = false;
        loop.exec(boxUp ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        if (!woken) {
            // The program is ending (its event loops were told to quit):
            // stop the work and wait for it without a loop.
            if (!cancelled) {
                cancelled = true;
                box.hide();
                cancel();
            }
            QThread::msleep(kProgressPollMs);
        }
    }
}

MsgBoxResult ScriptedDialogs::MsgBox(const QString &prompt, MsgBoxStyle style, const QString &title)
{
    shown.push_back({Shown::Message, prompt, style, title, {}});
    if (style != MsgBoxStyle::YesNo && style != MsgBoxStyle::YesNoDefaultNo)
        return MsgBoxResult::Ok;
    if (questionAnswers.empty())
        return MsgBoxResult::No;
    const MsgBoxResult answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::nextFile(Shown::Kind kind, const FileDialogRequest &request)
{
    shown.push_back({kind, request.title, MsgBoxStyle::OkOnly, request.title, request});
    if (fileAnswers.empty())
        return {};
    const QString path = fileAnswers.front();
    fileAnswers.pop_front();
    return path;
}

QString ScriptedDialogs::ShowOpen(const FileDialogRequest &request)
{
    return nextFile(Shown::Open, request);
}

QString ScriptedDialogs::ShowSave(const FileDialogRequest &request)
{
    return nextFile(Shown::Save, request);
}

void ScriptedDialogs::ShowProgress(const QString &label, const std::function<bool()> &finished,
                                   const std::function<void()> &cancel)
{
    progressShown << label;
    if (cancelProgress)
        cancel();
    // Tests' timers still fire while the work runs.
    while (!finished()) {
        QCoreApplication::processEvents();
        QThread::msleep(kProgressPollMs / 2);
    }
}

QStringList ScriptedDialogs::messages() const
{
    QStringList list;
    for (const Shown &s : shown)
        if (s.kind == Shown::Message)
            list << s.text;
    return list;
}
