#pragma once
// The job's input fields as the lines of the project and defaults files:
// one value per line, each line's place is its meaning.

#include <QString>
#include <vector>

class Form1;
class QCheckBox;
class QLabel;
class QLineEdit;

// One line of a job file and the control it belongs to.
class JobLine {
public:
    static JobLine text(QLineEdit *box) { return JobLine(box, nullptr, nullptr); }
    static JobLine signLabel(QLabel *label) { return JobLine(nullptr, label, nullptr); }
    static JobLine checkBox(QCheckBox *box) { return JobLine(nullptr, nullptr, box); }

    // The value as it is written: the control's text as it stands, the check
    // box as 0, 1 or 2.
    QString value() const;
    // Puts a line read from a file into the control. A check box line must be
    // a number (user's locale) of 0, 1 or 2, else this throws a Failure.
    void store(const QString &line) const;
    // Throws the Failure that store() would throw for this line, storing nothing.
    void check(const QString &line) const;

private:
    JobLine(QLineEdit *e, QLabel *l, QCheckBox *c) : edit_(e), label_(l), check_(c) {}
    QLineEdit *edit_;
    QLabel *label_;
    QCheckBox *check_;
};

// The 17 lines of a project file and the 9 lines of the defaults file.
std::vector<JobLine> projectLines(const Form1 &form);
std::vector<JobLine> defaultsLines(const Form1 &form);

// Reads one line per entry and stores each into its control as soon as it is
// read; the first failure (missing file, short file, bad check box line)
// throws, and the controls already filled keep their new values.
void readJobLines(const QString &path, const std::vector<JobLine> &lines);

// Reads and checks one line per entry, and stores them only once all of them
// were read and passed: a file that is not such a job (a note, an image)
// changes no control. The first failure throws.
void readWholeJobLines(const QString &path, const std::vector<JobLine> &lines);

// Writes the values through a temporary file that replaces `path` only when
// complete; throws a Failure when it cannot.
void writeJobLines(const QString &path, const std::vector<JobLine> &lines);
