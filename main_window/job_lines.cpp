#include "main_window/job_lines.h"

#include "main_window/field_input.h"
#include "main_window/form1.h"
#include "platform/check_value.h"
#include "platform/failure.h"
#include "platform/numbers.h"
#include "platform/text_file.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

QString JobLine::value() const
{
    if (edit_)
        return edit_->text();
    if (label_)
        return label_->text();
    return QString::number(checkValueOf(check_->checkState()));
}

namespace {
// A check box line as its value: 0, 1 or 2.
int checkLineValue(const QString &line)
{
    const int state = CInt(line);
    if (state < 0 || state > 2)
        throw Failure(FailureCode::InvalidPropertyValue);
    return state;
}
} // namespace

void JobLine::store(const QString &line) const
{
    if (edit_)
        setTextWhole(edit_, line);
    else if (label_)
        label_->setText(line);
    else
        check_->setCheckState(checkStateOf(checkLineValue(line)));
}

void JobLine::check(const QString &line) const
{
    if (check_)
        checkLineValue(line);
}

std::vector<JobLine> projectLines(const Form1 &f)
{
    return {JobLine::text(f.txt_calcul),     JobLine::text(f.txt_corrasd), JobLine::text(f.txt_corrdec),
            JobLine::text(f.txt_dec[0]),     JobLine::text(f.txt_dec[1]),  JobLine::text(f.txt_dec[2]),
            JobLine::signLabel(f.txt_dec_sign_show[0]),
            JobLine::text(f.txt_distance),   JobLine::text(f.txt_epoch),   JobLine::text(f.txt_mag),
            JobLine::text(f.txt_mag2),       JobLine::text(f.txt_ra[0]),   JobLine::text(f.txt_ra[1]),
            JobLine::text(f.txt_ra[2]),      JobLine::text(f.txt_tolerance), JobLine::text(f.txt_url),
            JobLine::checkBox(f.CheckDecideur)};
}

std::vector<JobLine> defaultsLines(const Form1 &f)
{
    return {JobLine::text(f.txt_calcul),  JobLine::text(f.txt_corrasd), JobLine::text(f.txt_corrdec),
            JobLine::text(f.txt_distance), JobLine::text(f.txt_mag),    JobLine::text(f.txt_mag2),
            JobLine::text(f.txt_tolerance), JobLine::text(f.txt_url),   JobLine::checkBox(f.CheckDecideur)};
}

void readJobLines(const QString &path, const std::vector<JobLine> &lines)
{
    TextFileReader file(path);
    for (const JobLine &line : lines)
        line.store(file.readLine());
}

void readWholeJobLines(const QString &path, const std::vector<JobLine> &lines)
{
    QStringList read;
    {
        TextFileReader file(path);
        for (const JobLine &line : lines) {
            read << file.readLine();
            line.check(read.back());
        }
    }
    for (size_t i = 0; i < lines.size(); ++i)
        lines[i].store(read[qsizetype(i)]);
}

void writeJobLines(const QString &path, const std::vector<JobLine> &lines)
{
    QStringList values;
    for (const JobLine &line : lines)
        values << line.value();
    writeTextLines(path, values);
}
