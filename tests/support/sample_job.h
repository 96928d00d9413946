#pragma once
// The sample sky as a job: its stars as the catalogue service serves them,
// and the main window's fields typed for it.

#include "catalogue_service.h"
#include "tools/sample_sky/sample_sky.h"

#include <QString>
#include <vector>

class Form1;

namespace testing {

std::vector<catalogue::Star> serviceStars(const sample_sky::SampleSky &sky);

// Image, field centre (1h34m50s +22°01'11"), radius 20', the two magnitude
// limits and the true coefficients, as a user would type them.
void typeSampleJob(Form1 &form, const sample_sky::SampleSky &sky, const QString &faintMagnitude = QStringLiteral("14"));

// Picks five bright stars of `sky` after "2-Etoiles", each from a pointer
// beside the star (the pick snaps onto it), through the handlers; the stars
// picked, in order (fewer than five when the sky has not that many).
std::vector<sample_sky::SampleStar> pickBrightStars(Form1 &form, const sample_sky::SampleSky &sky);

} // namespace testing
