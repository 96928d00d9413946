#include "support/sample_job.h"

#include "main_window/form1.h"

#include <QLabel>
#include <QLineEdit>

namespace testing {

std::vector<catalogue::Star> serviceStars(const sample_sky::SampleSky &sky)
{
    std::vector<catalogue::Star> list;
    for (const sample_sky::SampleStar &s : sky.stars)
        list.push_back({s.id, s.raDeg, s.decDeg, s.magnitude});
    return list;
}

void typeSampleJob(Form1 &form, const sample_sky::SampleSky &sky, const QString &faintMagnitude)
{
    form.txt_url->setText(sample_sky::kImageFile);
    const int ra[3] = {1, 34, 50}, dec[3] = {22, 1, 11};
    for (size_t i = 0; i < 3; ++i) {
        form.txt_ra[i]->setText(QString::number(ra[i]));
        form.txt_dec[i]->setText(QString::number(dec[i]));
    }
    form.txt_dec_sign_show[0]->setText(QStringLiteral("+"));
    form.txt_distance->setText(QStringLiteral("20"));
    form.txt_mag->setText(faintMagnitude);
    form.txt_mag2->setText(QStringLiteral("16"));
    form.txt_corrasd->setText(QString::number(sky.projection.corrAsd(), 'f', 3));
    form.txt_corrdec->setText(QString::number(sky.projection.corrDec(), 'f', 3));
}

std::vector<sample_sky::SampleStar> pickBrightStars(Form1 &form, const sample_sky::SampleSky &sky)
{
    const std::vector<sample_sky::SampleStar> picked = sample_sky::brightStars(sky, 5, 13, 20, 60);
    for (const sample_sky::SampleStar &s : picked) {
        form.Picture1_MouseMove(Qt::NoButton, {}, float(s.pixel.x() + 1.2), float(s.pixel.y() - 0.8));
        form.Picture1_Click();
    }
    return picked;
}

} // namespace testing
