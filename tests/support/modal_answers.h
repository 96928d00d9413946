#pragma once
// Answers the modal windows a command opens, from the event loops that run
// them, each wait bounded: a test that expects a box fails within seconds when
// the box does not come, instead of hanging until the runner's time limit.
//
//   ModalAnswers answers;                       // made just before the command
//   answers.then<QMessageBox>([](QMessageBox &box) { pressKey(box, Qt::Key_Return); });
//   answers.then<Config>([](Config &config) { config.close(); });
//   form.mnu_config_Click();                    // returns once they are closed
//   QVERIFY2(answers.done(), qPrintable(answers.failures()));
//
// Each step runs on the next modal window that is not the one the step
// before acted on, once that window has stood for one poll (its own loop then
// runs, so closing it ends its exec()). A step may open further modal windows:
// the next steps answer them from the nested loop. A modal window of another
// type, one that comes when no step is left, or one that stays up a whole
// wait after it was answered is closed, so that its exec() returns, and
// counted as a failure.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

namespace testing {

// How long a test waits for a modal window it expects.
constexpr int kModalWaitMs = 5000;

// Sends a key to the window's focused control (the default button's Enter
// reaches the box through it, as a user's does), or to the window itself.
void pressKey(QWidget &window, int key);

// What a modal window is, for failure messages: its class, title and text.
QString describeWindow(const QWidget *window);
QString typeName(const std::type_info &type);

class ModalAnswers {
public:
    explicit ModalAnswers(int waitMs = kModalWaitMs);
    ~ModalAnswers();
    ModalAnswers(const ModalAnswers &) = delete;
    ModalAnswers &operator=(const ModalAnswers &) = delete;

    // Adds a step for the next modal window, which must be a T.
    template <typename T>
    void then(std::function<void(T &)> act)
    {
        addStep(typeName(typeid(T)), [act](QWidget *window) {
            T *typed = dynamic_cast<T *>(window);
            if (!typed)
                return false;
            act(*typed);
            return true;
        });
    }

    // Every step ran on a window of its type, and no window had to be closed.
    bool done() const { return next_ == steps_.size() && failures_.isEmpty(); }
    // What went wrong, for QVERIFY2.
    QString failures() const;

private:
    struct Step {
        QString expected;
        std::function<bool(QWidget *)> run;
    };
    void addStep(const QString &expected, std::function<bool(QWidget *)> run);
    void schedulePoll();
    void poll();
    void giveUp(QWidget *window, const QString &why);

    int waitMs_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    QStringList failures_;
    std::unique_ptr<QObject> context_; // ends the polls with the object
    QElapsedTimer sinceChange_;         // since the last step or new window
    QPointer<QWidget> seen_;            // the modal window the last poll found
    QPointer<QWidget> answered_;        // the one the latest step acted on
};

} // namespace testing
