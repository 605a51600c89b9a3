// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegionalMarks.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdint>
#include <cstdlib>

#include "Cp1252.h"
#include "Utf8.h"

namespace velkora {
namespace {

// The narrow no-break space, the digit-grouping mark of French, Russian and
// Polish, which the code page lacks.
constexpr char32_t kNarrowNoBreakSpace = 0x202F;

// A printable character as its Windows-1252 byte; control characters are no marks.
std::optional<char> FromCodePoint(char32_t c) {
    if (c < 0x20 || c == 0x7F) return std::nullopt;
    if (c == kNarrowNoBreakSpace) return '\xA0';
    return Cp1252Byte(c);
}

// The one code point that `text` encodes in UTF-8, or nothing when it is not
// exactly one well-formed character.
std::optional<char32_t> SingleUtf8CodePoint(std::string_view text) {
    const std::optional<Utf8Char> first = FirstUtf8Char(text);
    if (!first || first->length != text.size()) return std::nullopt;
    return first->codePoint;
}

// The locale name the environment gives a category, as the C library
// resolves it: LC_ALL, then the category's own variable, then LANG.
std::string EnvironmentLocale(const char* category) {
    for (const char* variable : {"LC_ALL", category, "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return "";
}

// The C and POSIX locales stand for "nothing configured", not for a user's
// choice of an empty thousands separator.
bool CarriesRegionalSettings(const std::string& name) {
    return !(name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0);
}

// One category of a named locale, with the character set its texts are in.
class LocaleView {
  public:
    LocaleView(int categoryMask, const std::string& name)
        : locale_(newlocale(categoryMask | LC_CTYPE_MASK, name.c_str(), locale_t{})) {}
    ~LocaleView() {
        if (locale_ != locale_t{}) freelocale(locale_);
    }
    LocaleView(const LocaleView&) = delete;
    LocaleView& operator=(const LocaleView&) = delete;

    bool Valid() const { return locale_ != locale_t{}; }
    std::string_view Item(nl_item item) const { return nl_langinfo_l(item, locale_); }

  private:
    locale_t locale_;
};

// A mark from the locale: empty stays empty where that means "no separator",
// anything that is not one Windows-1252 character gives the default.
std::string MarkOf(std::string_view text, std::string_view codeset, bool emptyAllowed,
                   const std::string& fallback) {
    if (text.empty()) return emptyAllowed ? std::string() : fallback;
    const std::optional<char> c = Windows1252Char(text, codeset);
    return c ? std::string(1, *c) : fallback;
}

void ReadNumericMarks(RegionalMarks& marks) {
    const std::string name = EnvironmentLocale("LC_NUMERIC");
    if (!CarriesRegionalSettings(name)) return;
    const LocaleView locale(LC_NUMERIC_MASK, name);
    if (!locale.Valid()) return;
    const std::string_view codeset = locale.Item(CODESET);
    marks.decimalSeparator = MarkOf(locale.Item(RADIXCHAR), codeset, false, marks.decimalSeparator);
    marks.thousandsSeparator =
        MarkOf(locale.Item(THOUSEP), codeset, true, marks.thousandsSeparator);
    // A grouping mark equal to the decimal mark ("1,296,200" for 1296.2) is
    // none at all.
    if (marks.thousandsSeparator == marks.decimalSeparator) marks.thousandsSeparator.clear();
}

void ReadDateMark(RegionalMarks& marks) {
    const std::string name = EnvironmentLocale("LC_TIME");
    if (!CarriesRegionalSettings(name)) return;
    const LocaleView locale(LC_TIME_MASK, name);
    if (!locale.Valid()) return;
    const std::optional<std::string> separator = DateSeparatorOfFormat(locale.Item(D_FMT));
    if (!separator) return;
    marks.dateSeparator = MarkOf(*separator, locale.Item(CODESET), true, marks.dateSeparator);
}

// Skips one strftime conversion starting at format[at] == '%' and returns
// its conversion character ('\0' when the format ends inside it).
char SkipConversion(std::string_view format, std::size_t& at) {
    ++at;
    while (at < format.size() &&
           std::string_view("-_0^#").find(format[at]) != std::string_view::npos)
        ++at;
    while (at < format.size() && format[at] >= '0' && format[at] <= '9') ++at;
    if (at < format.size() && (format[at] == 'E' || format[at] == 'O')) ++at;
    return at < format.size() ? format[at++] : '\0';
}

RegionalMarks& Current() {
    static RegionalMarks marks = ReadUserRegionalMarks();
    return marks;
}

}  // namespace

std::optional<char> Windows1252Char(std::string_view text, std::string_view codeset) {
    if (codeset == "UTF-8" || codeset == "utf8") {
        const std::optional<char32_t> c = SingleUtf8CodePoint(text);
        return c ? FromCodePoint(*c) : std::nullopt;
    }
    if (text.size() != 1) return std::nullopt;
    const auto byte = static_cast<unsigned char>(text[0]);
    // Latin-1 bytes are their own code points; of any other character set
    // only the ASCII characters are known to agree with Windows-1252.
    if (byte < 0x80 || codeset == "ISO-8859-1") return FromCodePoint(byte);
    return std::nullopt;
}

std::optional<std::string> DateSeparatorOfFormat(std::string_view format) {
    std::size_t at = format.find('%');
    while (at != std::string_view::npos && at + 1 < format.size() && format[at + 1] == '%')
        at = format.find('%', at + 2);
    if (at == std::string_view::npos) return std::nullopt;
    const char first = SkipConversion(format, at);
    if (first == 'D') return "/";  // %m/%d/%y
    if (first == 'F') return "-";  // %Y-%m-%d
    std::string separator;
    while (at < format.size()) {
        if (format[at] == '%') {
            if (at + 1 < format.size() && format[at + 1] == '%') {
                separator += '%';
                at += 2;
                continue;
            }
            return separator;
        }
        separator += format[at++];
    }
    return std::nullopt;
}

RegionalMarks ReadUserRegionalMarks() {
    RegionalMarks marks;
    ReadNumericMarks(marks);
    ReadDateMark(marks);
    return marks;
}

const RegionalMarks& CurrentRegionalMarks() { return Current(); }

void SetCurrentRegionalMarks(const RegionalMarks& marks) { Current() = marks; }

void RefreshRegionalMarks() { Current() = ReadUserRegionalMarks(); }

}  // namespace velkora
