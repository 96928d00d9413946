#pragma once
// The contents of the files the sample sky generator writes.

#include "tools/sample_sky/sample_sky.h"

#include <QByteArray>

namespace sample_sky {

QByteArray starListText(const SampleSky &sky);
QByteArray projectionFileText(const SkyProjection &projection, quint64 seed);
QByteArray projectFileText(const SkyProjection &projection);
QByteArray configFileText(const SkyProjection &projection);

// The grey image as JPEG bytes.
QByteArray jpegBytes(const QImage &image);

} // namespace sample_sky
