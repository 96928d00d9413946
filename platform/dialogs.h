#pragma once
// Message boxes and file dialogs behind one interface, so that windows never
// call QMessageBox or QFileDialog themselves and tests can answer them.

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

class QWidget;

enum class MsgBoxStyle {
    OkOnly,        // a result or a failure
    OkOnlyWarning, // a failure with the warning icon (project files)
    YesNo,         // a question
    YesNoDefaultNo, // a question whose safe answer is No: Enter gives No
};

enum class MsgBoxResult { Ok, Yes, No };

struct FileDialogRequest {
    QString title;
    // Filter in the classic form "Projet (*.pam)|*.pam|Tous (*.*)|*.*".
    QString filter;
    QString initialFolder;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // An empty title gives the program's own name.
    virtual MsgBoxResult MsgBox(const QString &prompt, MsgBoxStyle style, const QString &title = {}) = 0;
    // The chosen path, or an empty text when the user cancelled.
    virtual QString ShowOpen(const FileDialogRequest &request) = 0;
    virtual QString ShowSave(const FileDialogRequest &request) = 0;
    // Waits for work running on another thread, and returns once `finished()`
    // is true. Meanwhile the windows keep painting and answer nothing but a
    // modal progress box with `label` and "Annuler", shown when the wait
    // lasts more than about half a second; "Annuler" calls `cancel()`, and
    // the wait goes on until the work has ended.
    virtual void ShowProgress(const QString &label, const std::function<bool()> &finished,
                              const std::function<void()> &cancel) = 0;
};

// Turns "Projet (*.pam)|*.pam|..." into Qt's "Projet (*.pam);;...".
QString qtFileFilter(const QString &classicFilter);

// The real dialogs, parented to the active window. The progress box stands
// on its own over that window, so that it lasts as long as its wait.
class QtDialogs : public Dialogs {
public:
    MsgBoxResult MsgBox(const QString &prompt, MsgBoxStyle style, const QString &title = {}) override;
    QString ShowOpen(const FileDialogRequest &request) override;
    QString ShowSave(const FileDialogRequest &request) override;
    void ShowProgress(const QString &label, const std::function<bool()> &finished,
                      const std::function<void()> &cancel) override;
};

// Dialogs for tests: records everything shown and answers from queues.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        enum Kind { Message, Open, Save } kind;
        QString text; // prompt of a message, title of a file dialog
        MsgBoxStyle style = MsgBoxStyle::OkOnly;
        QString title;
        FileDialogRequest request;
    };

    MsgBoxResult MsgBox(const QString &prompt, MsgBoxStyle style, const QString &title = {}) override;
    QString ShowOpen(const FileDialogRequest &request) override;
    QString ShowSave(const FileDialogRequest &request) override;
    // Records the label and processes events until the work has finished.
    void ShowProgress(const QString &label, const std::function<bool()> &finished,
                      const std::function<void()> &cancel) override;

    // Answers to Yes/No questions, in order; No when the queue is empty.
    std::deque<MsgBoxResult> questionAnswers;
    // Paths returned by the file dialogs, in order; empty (cancel) when none is left.
    std::deque<QString> fileAnswers;
    std::vector<Shown> shown;
    // When set, each progress box presses "Annuler" as soon as it is shown.
    bool cancelProgress = false;
    // The labels of the progress boxes shown so far.
    QStringList progressShown;

    // The prompts of the message boxes shown so far.
    QStringList messages() const;
    int messageCount() const { return int(messages().size()); }

private:
    QString nextFile(Shown::Kind kind, const FileDialogRequest &request);
};
