#include "framework/Text.h"
#include "framework/Exceptions.h"

#include <QDateTime>
#include <QLocale>
#include <QStringDecoder>
#include <QTimeZone>
#include <QUrl>

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <algorithm>
#include <string>

QString Trim(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b).unicode() <= 32) ++b;
    while (e > b && s.at(e - 1).unicode() <= 32) --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

QByteArray TrimAnsi(const QByteArray& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && quint8(s.at(b)) <= 32) ++b;
    while (e > b && quint8(s.at(e - 1)) <= 32) --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

static bool ParseInt(const QString& s, int& out)
{
    qsizetype i = 0, n = s.size();
    while (i < n && s.at(i).unicode() <= 32) ++i;
    bool neg = false;
    if (i < n && (s.at(i) == u'+' || s.at(i) == u'-')) { neg = s.at(i) == u'-'; ++i; }
    if (i >= n) return false;
    long long v = 0;
    for (; i < n; ++i) {
        char16_t c = s.at(i).unicode();
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c - u'0');
        if (v > 2147483648LL) return false;
    }
    if (neg) v = -v;
    if (v > 2147483647LL || v < -2147483648LL) return false;
    out = int(v);
    return true;
}

int StrToIntDef(const QString& s, int def)
{
    int v;
    return ParseInt(s, v) ? v : def;
}

int StrToInt(const QString& s)
{
    int v;
    if (!ParseInt(s, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
    return v;
}

namespace {
std::atomic<char16_t> decimalOverride{0};
std::atomic<long long> fixedNow{0};
}

QChar DecimalSeparator()
{
    char16_t c = decimalOverride.load();
    if (c) return QChar(c);
    const QString p = QLocale::system().decimalPoint();
    return p.isEmpty() ? QChar(u'.') : p.at(0);
}

void SetDecimalSeparator(QChar c) { decimalOverride.store(c.unicode()); }

// [blanks] [sign] digits [sep digits] [e [sign] digits] [blanks]; the
// mantissa needs at least one digit. Only ASCII is accepted.
static bool ParseFloat(const QString& s, double& out)
{
    const QChar sep = DecimalSeparator();
    const QString t = Trim(s);
    std::string buf;
    buf.reserve(t.size());
    qsizetype i = 0, n = t.size();
    if (i < n && (t.at(i) == u'+' || t.at(i) == u'-')) { if (t.at(i) == u'-') buf += '-'; ++i; }
    int mant = 0;
    while (i < n && t.at(i) >= u'0' && t.at(i) <= u'9') { buf += char(t.at(i).unicode()); ++i; ++mant; }
    if (i < n && t.at(i) == sep) {
        buf += '.'; ++i;
        while (i < n && t.at(i) >= u'0' && t.at(i) <= u'9') { buf += char(t.at(i).unicode()); ++i; ++mant; }
    }
    if (mant == 0) return false;
    if (i < n && (t.at(i) == u'e' || t.at(i) == u'E')) {
        buf += 'e'; ++i;
        if (i < n && (t.at(i) == u'+' || t.at(i) == u'-')) { buf += char(t.at(i).unicode()); ++i; }
        int ed = 0;
        while (i < n && t.at(i) >= u'0' && t.at(i) <= u'9') { buf += char(t.at(i).unicode()); ++i; ++ed; }
        if (ed == 0) return false;
    }
    if (i != n) return false;
    double v = 0;
    auto r = std::from_chars(buf.data(), buf.data() + buf.size(), v);
    if (r.ec != std::errc() && r.ec != std::errc::result_out_of_range) return false;
    if (r.ptr != buf.data() + buf.size()) return false;
    if (r.ec == std::errc::result_out_of_range) {
        // Too large (refused) or too small (zero)? The decimal exponent of
        // the first significant digit tells.
        const size_t e = buf.find('e');
        const std::string mantissa = buf.substr(0, e);
        long long exp10 = 0;
        if (e != std::string::npos) {
            size_t k = e + 1;
            const bool eneg = k < buf.size() && buf[k] == '-';
            if (k < buf.size() && (buf[k] == '-' || buf[k] == '+')) ++k;
            for (; k < buf.size(); ++k) exp10 = std::min(exp10 * 10 + (buf[k] - '0'), 1000000LL);
            if (eneg) exp10 = -exp10;
        }
        const size_t point = mantissa.find('.');
        const std::string intDigits = mantissa.substr(0, point);
        const size_t firstInt = intDigits.find_first_of("123456789");
        if (firstInt != std::string::npos) exp10 += (long long)(intDigits.size() - firstInt) - 1;
        else exp10 -= 1;   // a fraction: the exponent is below zero
        if (exp10 >= 0) return false;
        v = 0.0;
    }
    if (!std::isfinite(v)) return false;
    out = v;
    return true;
}

double StrToFloatDef(const QString& s, double def)
{
    double v;
    return ParseFloat(s, v) ? v : def;
}

double StrToFloat(const QString& s)
{
    double v;
    if (!ParseFloat(s, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(s));
    return v;
}

QString IntToStr(long long v) { return QString::number(v); }

QString FloatToStrF(double value, int precision, int digits)
{
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (precision < 1) precision = 1;
    if (precision > 18) precision = 18;
    if (digits < 0) digits = 0;
    if (digits > 18) digits = 18;
    const bool neg = std::signbit(value);
    const double a = std::fabs(value);

    if (a >= 1.0 && std::floor(std::log10(a)) + 1 > precision) {
        // Too many whole digits for the precision: scientific notation.
        char sbuf[64];
        std::snprintf(sbuf, sizeof sbuf, "%.*E", precision - 1, a);
        QString r = QString::fromLatin1(sbuf);
        r.replace(u'.', DecimalSeparator());
        return neg ? u'-' + r : r;
    }

    // The exact decimal expansion of the double (glibc prints it exactly),
    // so that halves are decided on the true value, then rounded by hand.
    static thread_local std::string big(1500, '\0');
    int len = std::snprintf(big.data(), big.size(), "%.1100f", a);
    std::string s(big.data(), size_t(len));
    const size_t dot = s.find('.');
    std::string intPart = s.substr(0, dot);
    std::string frac = s.substr(dot + 1);
    std::string all = intPart + frac;  // digits; the point sits after intPart.size()
    const size_t pointPos = intPart.size();

    size_t firstSig = all.find_first_not_of('0');
    size_t keep = pointPos + size_t(digits);   // number of leading digits kept
    if (firstSig != std::string::npos)
        keep = std::min(keep, firstSig + size_t(precision));
    if (keep < pointPos) keep = pointPos;      // cannot happen: whole digits <= precision

    bool roundUp = keep < all.size() && all[keep] >= '5';
    std::string kept = all.substr(0, keep);
    if (roundUp) {
        int k = int(kept.size()) - 1;
        while (k >= 0 && kept[size_t(k)] == '9') { kept[size_t(k)] = '0'; --k; }
        if (k >= 0) ++kept[size_t(k)];
        else { kept.insert(kept.begin(), '1'); }
    }
    const size_t newPoint = pointPos + (kept.size() > keep ? 1 : 0);
    kept.resize(newPoint + size_t(digits), '0');   // pad the decimals
    std::string ip = kept.substr(0, newPoint);
    std::string fp = kept.substr(newPoint);
    size_t nz = ip.find_first_not_of('0');
    ip = nz == std::string::npos ? "0" : ip.substr(nz);

    const bool zero = kept.find_first_not_of('0') == std::string::npos;
    QString r = QString::fromLatin1(ip.c_str());
    if (digits > 0) {
        r += DecimalSeparator();
        r += QString::fromLatin1(fp.c_str());
    }
    return (neg && !zero) ? u'-' + r : r;
}

static inline char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

static QString ReplaceImpl(const QString& s, const QString& from, const QString& to, bool ignoreCase)
{
    if (from.isEmpty() || s.size() < from.size()) return s;
    QString out;
    const qsizetype n = s.size(), m = from.size();
    qsizetype i = 0, last = 0;
    bool any = false;
    while (i + m <= n) {
        qsizetype k = 0;
        if (ignoreCase) {
            while (k < m && AsciiLower(s.at(i + k).unicode()) == AsciiLower(from.at(k).unicode())) ++k;
        } else {
            while (k < m && s.at(i + k) == from.at(k)) ++k;
        }
        if (k == m) {
            if (!any) { out.reserve(n); any = true; }
            out.append(QStringView(s).mid(last, i - last));
            out.append(to);
            i += m;
            last = i;
        } else {
            ++i;
        }
    }
    if (!any) return s;
    out.append(QStringView(s).mid(last));
    return out;
}

QString ReplaceText(const QString& s, const QString& from, const QString& to) { return ReplaceImpl(s, from, to, true); }
QString ReplaceAll(const QString& s, const QString& from, const QString& to) { return ReplaceImpl(s, from, to, false); }

QString FormatDateMmmDYyyy(long long unixSeconds, const QLocale& locale)
{
    // Checked before any conversion: far-off values overflow the date types.
    constexpr long long firstSecond = -62135596800LL;   // 0001-01-01 00:00:00 UTC
    constexpr long long lastSecond = 253402300799LL;    // 9999-12-31 23:59:59 UTC
    if (unixSeconds < firstSecond || unixSeconds > lastSecond) return QString();
    const QDate d = QDateTime::fromSecsSinceEpoch(unixSeconds, Qt::UTC).date();
    if (!d.isValid()) return QString();
    return locale.toString(d, QStringLiteral("MMM d, yyyy"));
}

long long UnixNow()
{
    long long f = fixedNow.load();
    return f ? f : QDateTime::currentSecsSinceEpoch();
}

void SetUnixNowForTesting(long long seconds) { fixedNow.store(seconds); }

QString DecodeWindows1252(const QByteArray& bytes)
{
    // 0x80..0x9F; the five undefined bytes keep their own code (C1 controls).
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const quint8 b = quint8(bytes.at(i));
        d[i] = QChar((b >= 0x80 && b <= 0x9F) ? high[b - 0x80] : char16_t(b));
    }
    return out;
}

QString DecodeUtf8(const QByteArray& bytes) { return QString::fromUtf8(bytes); }

bool IsValidUtf8(const QByteArray& bytes)
{
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = dec.decode(bytes);
    (void)s;
    return !dec.hasError();
}

QString UpperCase(const QString& s) { return s.toUpper(); }

QString AsciiLower(const QString& s)
{
    QString out = s;
    for (QChar& c : out)
        c = QChar(AsciiLower(c.unicode()));
    return out;
}

bool IsAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

QString UrlEncode(const QString& value) { return QString::fromLatin1(QUrl::toPercentEncoding(value)); }

QString CaptionText(const QString& caption)
{
    QString out;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 < caption.size() && caption[i + 1] == u'&') { out += u'&'; ++i; }
            continue;
        }
        out += caption[i];
    }
    return out;
}
