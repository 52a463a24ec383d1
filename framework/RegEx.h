#pragma once
// Regular expressions over PCRE2 (8-bit, subject matched as bytes, case-sensitive,
// default options: "." does not match line breaks). Empty matches are never
// reported.
#include "framework/Exceptions.h"
#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

class TMatch {
public:
    bool Success = false;
    QByteArray Value;                 // the whole match
    int Index = 0;                    // 1-based byte position of the match
    int Length = 0;
    std::vector<QByteArray> Groups;   // group 0 = whole match; unset groups empty
    QByteArray Group(int n) const;    // empty for a group that does not exist
};

class TMatchCollection {
public:
    std::vector<TMatch> Items;
    int Count() const { return int(Items.size()); }
    // Raises EListError "Index out of bounds (<i>)" outside 0..Count-1.
    const TMatch& operator[](int i) const;
};

class TRegEx {
public:
    // Raises Exception with PCRE2's message when the pattern does not compile.
    explicit TRegEx(const QByteArray& pattern);
    ~TRegEx();
    TRegEx(const TRegEx&) = delete;
    TRegEx& operator=(const TRegEx&) = delete;

    TMatch Match(const QByteArray& subject) const;           // first non-empty match
    TMatchCollection Matches(const QByteArray& subject) const; // left to right, no overlap
    bool IsMatch(const QByteArray& subject) const { return Match(subject).Success; }
    // The matches Matches finds, handed one by one without building the list
    // (for answers of a million matches): `offsets` holds a start and an end
    // byte offset per group, group 0 first, -1 for a group that did not take
    // part; `groups` is the number of pairs.
    void ForEachMatch(const QByteArray& subject,
                      const std::function<void(const qsizetype* offsets, int groups)>& found) const;

    static TMatch Match(const QByteArray& subject, const QByteArray& pattern);
    static TMatchCollection Matches(const QByteArray& subject, const QByteArray& pattern);

private:
    void* code = nullptr;
};
