#include "identify/RfValue.h"

#include "framework/Text.h"

QString RfValueText(const QString& spotText, const QString& frontText)
{
    const double front = StrToFloatDef(frontText, 0.0);
    if (front == 0.0)
        return QStringLiteral("0");
    // The stored values and the quotient are 32-bit floats, so the rounding
    // of a half (12.5) is decided on the float value.
    const float s = float(StrToFloatDef(spotText, 0.0));
    const float b = float(front);
    float r = float(double(s) / double(b) * 100.0);
    if (r == 0.0f)
        r = 0.0f;   // no "-0" for a zero spot over a negative front
    return FloatToStrF(r, 10, 0);
}
