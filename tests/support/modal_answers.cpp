#include "support/modal_answers.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <cstdlib>
#include <cxxabi.h>

namespace testing {

namespace {
// How often the modal windows are looked at.
constexpr int kPollMs = 10;
} // namespace

void pressKey(QWidget &window, int key)
{
    QWidget *target = QApplication::focusWidget();
    if (!target || target->window() != window.window())
        target = &window;
    QTest::keyClick(target, Qt::Key(key));
}

QString typeName(const std::type_info &type)
{
    int status = 0;
    char *name = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    const QString text = QString::fromLatin1(status == 0 && name ? name : type.name());
    std::free(name);
    return text;
}

QString describeWindow(const QWidget *window)
{
    if (!window)
        return QStringLiteral("none");
    QString text = QStringLiteral("%1 \"%2\"").arg(typeName(typeid(*window)), window->windowTitle());
    if (const auto *box = qobject_cast<const QMessageBox *>(window))
        text += QStringLiteral(": ") + box->text();
    return text;
}

ModalAnswers::ModalAnswers(int waitMs) : waitMs_(waitMs), context_(std::make_unique<QObject>())
{
    sinceChange_.start();
    schedulePoll();
}

ModalAnswers::~ModalAnswers() = default;

QString ModalAnswers::failures() const
{
    QStringList all = failures_;
    for (size_t k = next_; k < steps_.size(); ++k)
        all << QStringLiteral("step %1 never ran: no %2 came").arg(k + 1).arg(steps_[k].expected);
    return all.join(QStringLiteral("; "));
}

void ModalAnswers::addStep(const QString &expected, std::function<bool(QWidget *)> run)
{
    steps_.push_back({expected, std::move(run)});
}

void ModalAnswers::schedulePoll()
{
    // One timer per poll: a step that opens a nested loop is still running
    // when the next poll must fire inside it.
    QTimer::singleShot(kPollMs, context_.get(), [this] { poll(); });
}

void ModalAnswers::giveUp(QWidget *window, const QString &why)
{
    failures_ << why;
    answered_ = window;
    sinceChange_.restart();
    if (!window)
        return;
    // Closing is what a user would do; a box without an escape button
    // refuses it, and then only rejecting ends its exec().
    const QPointer<QWidget> guard = window;
    window->close();
    if (guard && guard->isVisible())
        if (auto *dialog = qobject_cast<QDialog *>(guard.data()))
            dialog->reject();
}

void ModalAnswers::poll()
{
    schedulePoll();
    QWidget *modal = QApplication::activeModalWidget();
    // A window is acted on from a loop that runs while it is up, never from
    // events handled as it shows: closing it then would not end its exec().
    if (modal != seen_ || QThread::currentThread()->loopLevel() == 0) {
        // Newly up (or gone): act on a later poll, from the window's own loop.
        seen_ = modal;
        if (modal != answered_)
            sinceChange_.restart();
        return;
    }
    const bool waitedLong = sinceChange_.elapsed() > waitMs_;
    if (!modal || modal == answered_) {
        if (!waitedLong)
            return;
        if (modal) {
            giveUp(modal, QStringLiteral("still open %1 ms after its answer: %2").arg(waitMs_).arg(describeWindow(modal)));
        } else if (next_ < steps_.size()) {
            failures_ << QStringLiteral("no %1 came within %2 ms (step %3)")
                             .arg(steps_[next_].expected)
                             .arg(waitMs_)
                             .arg(next_ + 1);
            next_ = steps_.size();
        }
        return;
    }
    if (next_ == steps_.size()) {
        if (waitedLong)
            giveUp(modal, QStringLiteral("no step left for %1").arg(describeWindow(modal)));
        return;
    }
    const Step &step = steps_[next_++];
    answered_ = modal;
    sinceChange_.restart();
    if (!step.run(modal))
        giveUp(modal, QStringLiteral("expected a %1, came %2").arg(step.expected, describeWindow(modal)));
    sinceChange_.restart();
}

} // namespace testing
