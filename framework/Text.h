#pragma once
// Text helpers with the exact semantics the program relies on. Text is
// QString (UTF-16, compared by code unit); 8-bit text is QByteArray.
#include <QByteArray>
#include <QLocale>
#include <QString>
#include <cstdint>

// Removes characters with code <= 32 from both ends (QString::trimmed differs).
QString Trim(const QString& s);
QByteArray TrimAnsi(const QByteArray& s);

// Optional blanks (code <= 32) before, optional sign, decimal digits, 32-bit
// range, nothing after. StrToIntDef returns def on failure; StrToInt raises
// EConvertError ("'<text>' is not a valid integer value").
int StrToIntDef(const QString& s, int def);
int StrToInt(const QString& s);

// Decimal number in the user's locale (its decimal separator, no group
// separators, optional exponent). StrToFloat raises EConvertError.
double StrToFloatDef(const QString& s, double def);
double StrToFloat(const QString& s);
// The user locale's decimal separator (tests may override it).
QChar DecimalSeparator();
void SetDecimalSeparator(QChar c);

// Locale-independent whole-number and decimal texts for SQL, files and CSV.
QString IntToStr(long long v);

// Fixed notation with `digits` decimals, halves rounded away from zero,
// using the locale's decimal separator (precision limits significant digits).
QString FloatToStrF(double value, int precision, int digits);

// Replaces every occurrence of `from`, ASCII letters compared without case.
QString ReplaceText(const QString& s, const QString& from, const QString& to);
// Replaces every occurrence, compared exactly.
QString ReplaceAll(const QString& s, const QString& from, const QString& to);

// "mmm d, yyyy" (for instance "Mar 5, 2024") of the UTC date of Unix
// seconds, the month abbreviated as the locale names it. The empty text for
// a time whose date has no four-digit year (before 0001-01-01 or after
// 9999-12-31 UTC).
QString FormatDateMmmDYyyy(long long unixSeconds, const QLocale& locale = QLocale::system());
// Current Unix time in seconds; tests may fix it.
long long UnixNow();
void SetUnixNowForTesting(long long seconds); // 0 = real clock

// Windows-1252 decoding (0x81, 0x8D, 0x8F, 0x90, 0x9D map to U+0081 ...).
QString DecodeWindows1252(const QByteArray& bytes);
// UTF-8 decoding, invalid bytes become U+FFFD.
QString DecodeUtf8(const QByteArray& bytes);
// True when the bytes are valid UTF-8.
bool IsValidUtf8(const QByteArray& bytes);

// Upper case of a text (full Unicode mapping) and ASCII lower/upper helpers.
QString UpperCase(const QString& s);
bool IsAsciiLetter(QChar c);
// Lower case of the ASCII letters only, as the database engine's LIKE and
// NOCASE compare them.
QString AsciiLower(const QString& s);

// What a caption shows: "&&" is one ampersand, a single "&" marks the
// accelerator letter and is not drawn.
QString CaptionText(const QString& caption);

// Percent-encodes a value for a web address (UTF-8, RFC 3986 unreserved kept).
QString UrlEncode(const QString& value);
