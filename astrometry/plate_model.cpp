#include "astrometry/plate_model.h"

#include "platform/numbers.h"

std::optional<PlateModel> fitPlateModel(const PlanePoint (&picks)[3], const PlanePoint (&sky)[3])
{
    const double x1 = picks[0].x, y1 = picks[0].y;
    const double x2 = picks[1].x, y2 = picks[1].y;
    const double x3 = picks[2].x, y3 = picks[2].y;
    const double d = x1 * (y2 - y3) + x2 * (y3 - y1) + x3 * (y1 - y2);
    if (d == 0.0)
        return std::nullopt;

    // The same three formulas serve both rows of the model.
    auto solveRow = [&](double v1, double v2, double v3, double &a, double &b, double &c) {
        a = (v1 * (y2 - y3) + v2 * (y3 - y1) + v3 * (y1 - y2)) / d;
        b = (x1 * (v2 - v3) + x2 * (v3 - v1) + x3 * (v1 - v2)) / d;
        c = (x1 * (y2 * v3 - y3 * v2) + x2 * (y3 * v1 - y1 * v3) + x3 * (y1 * v2 - y2 * v1)) / d;
    };
    PlateModel model;
    solveRow(sky[0].x, sky[1].x, sky[2].x, model.coefA, model.coefB, model.coefC);
    solveRow(sky[0].y, sky[1].y, sky[2].y, model.coefD, model.coefE, model.coefF);
    return model;
}

double linearDeterminant(const PlateModel &model)
{
    return model.coefA * model.coefE - model.coefB * model.coefD;
}

std::optional<PlanePoint> imagePosition(const PlateModel &model, double skyX, double skyY)
{
    const double det = linearDeterminant(model);
    if (det == 0.0)
        return std::nullopt;
    const double dRa = skyX - model.coefC;
    const double dDec = skyY - model.coefF;
    return PlanePoint{(model.coefE * dRa - model.coefB * dDec) / det,
                      (model.coefA * dDec - model.coefD * dRa) / det};
}

PlanePoint scaledFieldCentre(double raHours, double raMinutes, double raSeconds, int declinationSign,
                             double decDegrees, double decMinutes, double decSeconds, double scaleRa,
                             double scaleDec)
{
    PlanePoint centre;
    centre.x = (raHours * 3600 + raMinutes * 60 + raSeconds) / 3600 * 15 * scaleRa;
    centre.y = declinationSign * (decDegrees * 3600 + decMinutes * 60 + decSeconds) / 3600 * scaleDec;
    return centre;
}

CoincidenceWindow coincidenceWindow(double threshold)
{
    CoincidenceWindow window;
    window.low = CInt(-4 - threshold);
    window.high = CInt(threshold - 4);
    return window;
}
