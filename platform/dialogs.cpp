#include "platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

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
    const bool question = style == MsgBoxStyle::YesNo;
    const QMessageBox::Icon icon = question ? QMessageBox::Question
                                 : style == MsgBoxStyle::OkOnlyWarning ? QMessageBox::Warning
                                                                       : QMessageBox::NoIcon;
    QMessageBox box(icon, caption, prompt, question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    QApplication::activeWindow());
    // A failure's description or a file name shows as it is, never as rich text.
    box.setTextFormat(Qt::PlainText);
    if (question)
        box.setDefaultButton(QMessageBox::Yes);
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

MsgBoxResult ScriptedDialogs::MsgBox(const QString &prompt, MsgBoxStyle style, const QString &title)
{
    shown.push_back({Shown::Message, prompt, style, title, {}});
    if (style != MsgBoxStyle::YesNo)
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

QStringList ScriptedDialogs::messages() const
{
    QStringList list;
    for (const Shown &s : shown)
        if (s.kind == Shown::Message)
            list << s.text;
    return list;
}
