#define PCRE2_CODE_UNIT_WIDTH 8
#include "framework/RegEx.h"

#include <pcre2.h>

QByteArray TMatch::Group(int n) const
{
    if (n < 0 || n >= int(Groups.size())) return {};
    return Groups[size_t(n)];
}

const TMatch& TMatchCollection::operator[](int i) const
{
    if (i < 0 || i >= Count()) throw EListError(QStringLiteral("Index out of bounds (%1)").arg(i));
    return Items[size_t(i)];
}

// Subjects are treated as bytes (no UTF mode), so no input can make the
// matcher fail on an invalid sequence.
TRegEx::TRegEx(const QByteArray& pattern)
{
    int err = 0;
    PCRE2_SIZE off = 0;
    pcre2_code* c = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.constData()), PCRE2_SIZE(pattern.size()),
                                  0, &err, &off, nullptr);
    if (!c) {
        PCRE2_UCHAR buf[256];
        pcre2_get_error_message(err, buf, sizeof buf);
        throw Exception(QStringLiteral("%1 at offset %2").arg(QString::fromLatin1(reinterpret_cast<const char*>(buf))).arg(off));
    }
    code = c;
}

TRegEx::~TRegEx() { pcre2_code_free(static_cast<pcre2_code*>(code)); }

namespace {

struct MatchData {
    explicit MatchData(const pcre2_code* c) : md(pcre2_match_data_create_from_pattern(c, nullptr)) {}
    ~MatchData() { pcre2_match_data_free(md); }
    pcre2_match_data* md;
};

// Finds the first non-empty match at or after `start`; false when none.
bool FindAt(const pcre2_code* c, pcre2_match_data* md, const QByteArray& subject, PCRE2_SIZE start, TMatch& m)
{
    const int rc = pcre2_match(c, reinterpret_cast<PCRE2_SPTR>(subject.constData()), PCRE2_SIZE(subject.size()),
                               start, PCRE2_NOTEMPTY, md, nullptr);
    if (rc == PCRE2_ERROR_NOMATCH) return false;
    if (rc < 0) {
        PCRE2_UCHAR buf[256];
        pcre2_get_error_message(rc, buf, sizeof buf);
        throw Exception(QString::fromLatin1(reinterpret_cast<const char*>(buf)));
    }
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(md);
    uint32_t groups = 0;
    pcre2_pattern_info(c, PCRE2_INFO_CAPTURECOUNT, &groups);
    m = TMatch();
    m.Success = true;
    m.Groups.resize(size_t(groups) + 1);
    for (uint32_t g = 0; g <= groups; ++g) {
        // Groups past rc did not take part in the match: their pairs are unset.
        if (int(g) >= rc || ov[2 * g] == PCRE2_UNSET) continue;
        m.Groups[g] = subject.mid(qsizetype(ov[2 * g]), qsizetype(ov[2 * g + 1] - ov[2 * g]));
    }
    m.Value = m.Groups[0];
    m.Index = int(ov[0]) + 1;
    m.Length = int(ov[1] - ov[0]);
    return true;
}

} // namespace

TMatch TRegEx::Match(const QByteArray& subject) const
{
    const auto* c = static_cast<const pcre2_code*>(code);
    MatchData md(c);
    TMatch m;
    if (!FindAt(c, md.md, subject, 0, m)) return TMatch();
    return m;
}

TMatchCollection TRegEx::Matches(const QByteArray& subject) const
{
    const auto* c = static_cast<const pcre2_code*>(code);
    MatchData md(c);
    TMatchCollection all;
    PCRE2_SIZE pos = 0;
    TMatch m;
    while (pos <= PCRE2_SIZE(subject.size()) && FindAt(c, md.md, subject, pos, m)) {
        pos = PCRE2_SIZE(m.Index - 1 + m.Length);   // non-empty, so always advances
        all.Items.push_back(std::move(m));
    }
    return all;
}

void TRegEx::ForEachMatch(const QByteArray& subject,
                          const std::function<void(const qsizetype* offsets, int groups)>& found) const
{
    const auto* c = static_cast<const pcre2_code*>(code);
    MatchData md(c);
    uint32_t captures = 0;
    pcre2_pattern_info(c, PCRE2_INFO_CAPTURECOUNT, &captures);
    std::vector<qsizetype> offsets(2 * (size_t(captures) + 1));
    const auto* text = reinterpret_cast<PCRE2_SPTR>(subject.constData());
    const PCRE2_SIZE length = PCRE2_SIZE(subject.size());
    PCRE2_SIZE pos = 0;
    while (pos <= length) {
        const int rc = pcre2_match(c, text, length, pos, PCRE2_NOTEMPTY, md.md, nullptr);
        if (rc == PCRE2_ERROR_NOMATCH) return;
        if (rc < 0) {
            PCRE2_UCHAR buf[256];
            pcre2_get_error_message(rc, buf, sizeof buf);
            throw Exception(QString::fromLatin1(reinterpret_cast<const char*>(buf)));
        }
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(md.md);
        for (uint32_t g = 0; g <= captures; ++g) {
            const bool set = int(g) < rc && ov[2 * g] != PCRE2_UNSET;
            offsets[2 * g] = set ? qsizetype(ov[2 * g]) : -1;
            offsets[2 * g + 1] = set ? qsizetype(ov[2 * g + 1]) : -1;
        }
        pos = ov[1];   // non-empty, so always advances
        found(offsets.data(), int(captures) + 1);
    }
}

TMatch TRegEx::Match(const QByteArray& subject, const QByteArray& pattern) { return TRegEx(pattern).Match(subject); }

TMatchCollection TRegEx::Matches(const QByteArray& subject, const QByteArray& pattern)
{
    return TRegEx(pattern).Matches(subject);
}
