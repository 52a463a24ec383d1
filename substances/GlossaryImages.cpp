#include "substances/GlossaryImages.h"

#include "framework/RegEx.h"

QStringList GlossaryImageAddresses(const QByteArray& page)
{
    // An address never crosses the start of the next one, a blank, a quote
    // or an angle bracket; within that it runs to its last "jpg".
    static const TRegEx pattern(QByteArrayLiteral("http(?:(?!http)[^\\s\"'<>])*jpg"));
    QStringList addresses;
    const TMatchCollection matches = pattern.Matches(page);
    for (const TMatch& m : matches.Items)
        addresses << QString::fromUtf8(m.Value);
    return addresses;
}
