#include "value_forms.h"

#include "conversions.h"
#include "fields/text.h"

#include <array>
#include <type_traits>

namespace qe {

ColonParts splitAtColon(std::string_view value) {
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos) return {value, std::nullopt};
    return {value.substr(0, colon), value.substr(colon + 1)};
}

bool sameNumber(std::string_view a, std::string_view b) {
    const std::optional<int> x = parseInt(a);
    const std::optional<int> y = parseInt(b);
    return x && y && *x == *y;
}

bool isWord(const Key& k, std::string_view value) {
    return k.words && indexOfWord(k.words, value) >= 0;
}

std::string wordText(const Key& k, int item) {
    const std::string word(k.word(item));
    return word.find(' ') == std::string::npos ? word : "\"" + word + "\"";
}

bool sameFlag(const Key& k, std::string_view asked, std::string_view readBack) {
    return isWord(k, asked) && k.isFlagSet(asked) == k.isFlagSet(readBack);
}

bool sameWord(const Key& k, std::string_view asked, std::string_view readBack) {
    return isWord(k, asked) && k.item(asked) == k.item(readBack);
}

void loadDuration(std::string_view value, Control& hours, Control& minutes) {
    const ColonParts parts = splitAtColon(value);
    hours.setValue(strictInt(parts.second ? parts.first : std::string_view{}));
    minutes.setValue(strictInt(parts.second.value_or(value)));
}

std::optional<std::string> durationText(const Control& hours, const Control& minutes) {
    if (hours.value() == 0 && minutes.value() == 0) return std::nullopt;
    return hours.text() + ":" + minutes.text();
}

bool sameDuration(std::string_view a, std::string_view b) {
    const ColonParts x = splitAtColon(a);
    const ColonParts y = splitAtColon(b);
    return sameNumber(x.first, y.first) && sameNumber(x.second.value_or(""), y.second.value_or(""));
}

void loadAddress(std::string_view value, std::string_view defaultPort, Control& host,
                 Control& port) {
    const ColonParts parts = splitAtColon(value);
    host.setText(parts.first);
    port.setText(parts.second.value_or(defaultPort));
}

std::string addressText(std::string_view host, std::string_view port) {
    return std::string(host).append(1, ':').append(port);
}

namespace {

// The unit letters, in the order a save tests the radio fields.
constexpr std::string_view kUnitLetters = "KRCF";

// The position of letter, in either case, in kUnitLetters; npos for any other.
std::size_t unitOfLetter(char letter) {
    return kUnitLetters.find(upperAscii(letter));
}

// A temperature's spin field and its unit radios in the order of kUnitLetters.
template <typename C> struct Temperature {
    C* value;
    std::array<C*, 4> units;
};

template <typename F>
using ControlOf = std::conditional_t<std::is_const_v<F>, const Control, Control>;

template <typename F> Temperature<ControlOf<F>> pauseOf(F& f) {
    return {&f.sePauseTemp,
            {&f.rbPausekelvin, &f.rbPauseRankine, &f.rbPauseCelcius, &f.rbPauseFahrenheit}};
}

template <typename F> Temperature<ControlOf<F>> resumeOf(F& f) {
    return {&f.seResumeTemp,
            {&f.rbResumeKelvin, &f.rbResumeRankine, &f.rbResumeCelcius, &f.rbResumeFahrenheit}};
}

void loadTemperature(std::string_view part, const Temperature<Control>& t) {
    const std::size_t unit = part.empty() ? std::string_view::npos : unitOfLetter(part.back());
    if (unit != std::string_view::npos) {
        t.units[unit]->select();
        t.value->setValue(strictInt(part.substr(0, part.size() - 1)));
    } else {
        t.units[0]->select();
        t.value->setValue(lenientInt(part, 0));
    }
}

// The letter of the first selected unit; "" when none is.
std::string unitText(const Temperature<const Control>& t) {
    for (std::size_t unit = 0; unit < t.units.size(); ++unit)
        if (t.units[unit]->checked()) return std::string(1, kUnitLetters[unit]);
    return "";
}

// A temperature as a save writes it: the number, then the unit letter in capitals.
std::optional<std::string> normalTemperature(std::string_view part) {
    if (part.empty()) return "0K";
    char unit = kUnitLetters[0];
    if (const std::size_t at = unitOfLetter(part.back()); at != std::string_view::npos) {
        unit = kUnitLetters[at];
        part.remove_suffix(1);
    }
    const std::optional<int> n = parseInt(part);
    if (!n) return std::nullopt;
    return std::to_string(*n) + unit;
}

} // namespace

void loadThresholds(Fields& f, std::string_view value) {
    if (value.empty()) return;
    const ColonParts parts = splitAtColon(value);
    loadTemperature(parts.first, pauseOf(f));
    loadTemperature(parts.second.value_or(""), resumeOf(f));
}

std::string thresholdsText(const Fields& f) {
    std::string value = f.sePauseTemp.text() + unitText(pauseOf(f));
    if (!f.seResumeTemp.text().empty())
        value += ":" + f.seResumeTemp.text() + unitText(resumeOf(f));
    return value;
}

bool sameThresholds(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return a == b;
    const ColonParts x = splitAtColon(a);
    const ColonParts y = splitAtColon(b);
    const auto p = normalTemperature(x.first), q = normalTemperature(y.first);
    const auto r = normalTemperature(x.second.value_or("")),
               s = normalTemperature(y.second.value_or(""));
    return p && r && p == q && r == s;
}

namespace {

// 1-based position of the first occurrence of name, 0 when it does not occur.
std::size_t positionOf(std::string_view list, std::string_view name) {
    const std::size_t at = list.find(name);
    return at == std::string_view::npos ? 0 : at + 1;
}

// A project, with "=0" when disabled.
std::string project(const char* name, const Control& disable) {
    return disable.checked() ? std::string(name) + "=0" : std::string(name);
}

} // namespace

void loadProjectList(Fields& f, std::string_view list) {
    const bool rc5First = positionOf(list, "RC5") < positionOf(list, "OGR");
    f.cmbRC5.setIndex(rc5First ? 0 : 1);
    f.cmbOGR.setIndex(rc5First ? 1 : 0);
    // Each box unchecks the other through its interlock, so with both texts
    // present OGR ends up disabled.
    if (list.find("RC5=0") != std::string_view::npos) f.chkRC5.setChecked(true);
    if (list.find("OGR=0") != std::string_view::npos) f.chkOGR.setChecked(true);
}

// Priority 1 first; DES and CSC are always written disabled.
std::string projectListText(const Fields& f) {
    const std::string rc5 = project("RC5", f.chkRC5);
    const std::string ogr = project("OGR", f.chkOGR);
    return (f.cmbRC5.index() == 0 ? rc5 + "," + ogr : ogr + "," + rc5) + ",DES=0,CSC=0";
}

std::optional<bool> sameMeaning(const Key& k, std::string_view a, std::string_view b) {
    if (a == b) return true;
    switch (k.form) {
    case ValueForm::Flag:
        return sameFlag(k, a, b);
    case ValueForm::Word:
        return sameWord(k, a, b);
    case ValueForm::Integer:
    case ValueForm::LenientInteger:
    case ValueForm::IntegerText:
    case ValueForm::LogFileLimit:
        return sameNumber(a, b);
    case ValueForm::Duration:
        return sameDuration(a, b);
    case ValueForm::Thresholds:
        return sameThresholds(a, b);
    case ValueForm::Address:
    case ValueForm::Credential:
        return std::nullopt;
    case ValueForm::Text:
    case ValueForm::ProjectList:
        break;
    }
    return false;
}

} // namespace qe
