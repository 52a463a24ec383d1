#pragma once
// Readable names for the cases of the parameterized update tests: the
// letters and digits of a case's title in camel case. Every test file of the
// folder includes this, so Qt texts print as text in all of their failure
// messages (the printer GoogleTest picks must be the same in every file).
#include "support/QtPrinters.h"
#include <gtest/gtest.h>
#include <cctype>
#include <string>

inline std::string CaseName(const char* title)
{
    std::string name;
    bool wordStart = true;
    for (const char* p = title; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (std::isalnum(c) && c < 128) {
            name += wordStart ? char(std::toupper(c)) : char(c);
            wordStart = false;
        } else {
            wordStart = true;
        }
    }
    return name.empty() ? "Case" : name;
}

// Name generator for cases that carry a `title`.
struct TitleName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const
    {
        return CaseName(info.param.title);
    }
};
