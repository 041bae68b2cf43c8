#pragma once
// printf-style text formatting with two conversions of our own:
//   "%#s" inserts a text argument (std::string or C string),
//   "%D"  renders the date of a SystemTime argument in the user's default
//         locale, without the time of day.
// Arguments are checked against their conversions: a mismatch or a missing
// argument inserts nothing rather than reading garbage.
#include "framework/SystemTime.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace Plinth {

class FormatArg {
public:
    enum class Kind { Signed, Unsigned, Real, Text, Time };

    FormatArg(int v) : kind_(Kind::Signed), signed_(v) {}
    FormatArg(long v) : kind_(Kind::Signed), signed_(v) {}
    FormatArg(long long v) : kind_(Kind::Signed), signed_(v) {}
    FormatArg(unsigned v) : kind_(Kind::Unsigned), unsigned_(v) {}
    FormatArg(unsigned long v) : kind_(Kind::Unsigned), unsigned_(v) {}
    FormatArg(unsigned long long v) : kind_(Kind::Unsigned), unsigned_(v) {}
    FormatArg(double v) : kind_(Kind::Real), real_(v) {}
    FormatArg(const char* v) : kind_(Kind::Text), text_(v ? v : "") {}
    FormatArg(const std::string& v) : kind_(Kind::Text), text_(v.c_str()) {}
    FormatArg(const SystemTime& v) : kind_(Kind::Time), time_(&v) {}

    Kind kind() const { return kind_; }
    long long asSigned() const;
    unsigned long long asUnsigned() const;
    double asReal() const { return kind_ == Kind::Real ? real_ : static_cast<double>(asSigned()); }
    const char* asText() const { return kind_ == Kind::Text ? text_ : ""; }
    const SystemTime* asTime() const { return kind_ == Kind::Time ? time_ : nullptr; }

private:
    Kind kind_;
    union {
        long long signed_;
        unsigned long long unsigned_;
        double real_;
        const char* text_;
        const SystemTime* time_;
    };
};

std::string formatList(const char* format, std::initializer_list<FormatArg> args);

template <typename... Args> std::string formatText(const char* format, const Args&... args) {
    return formatList(format, {FormatArg(args)...});
}

} // namespace Plinth
