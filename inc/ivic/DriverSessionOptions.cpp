// Option string and DriverSetup parsing. The syntax is that of three regular
// expressions (kept in OptionScanner.h as the definition); matching runs on
// small non-recursive scanners, so that no input can exhaust the stack.
#include <string>

#include "DriverSession.h"
#include "OptionScanner.h"
#include "Varnel.h"

namespace kiln {

namespace {

std::string LowerClassic(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool EqualsIgnoringCase(const std::string& a, const char* b) { return LowerClassic(a) == LowerClassic(b); }

}  // namespace

ViStatus DriverSession::ParseOptionString(const std::string& text) {
    OptionMatch part;
    if (FindDriverSetupPart(text, part)) {
        // Everything behind the DriverSetup equals sign belongs to it, so the
        // inherent options are those of the text before the match.
        const ViStatus status = ParseDriverSetup(std::string(part.first));
        if (status < 0) return status;
        return ParseInherentOptions(text.substr(0, part.begin));
    }
    return ParseInherentOptions(text);
}

ViStatus DriverSession::ParseInherentOptions(const std::string& text) {
    const struct {
        const char* name;
        bool DriverSession::*flag;
    } kOptions[] = {
        {"cache", &DriverSession::cache_},
        {"interchangecheck", &DriverSession::interchangeCheck_},
        {"queryinstrstatus", &DriverSession::queryInstrumentStatus_},
        {"rangecheck", &DriverSession::rangeCheck_},
        {"recordcoercions", &DriverSession::recordCoercions_},
        {"simulate", &DriverSession::simulate_},
    };
    const std::string lowered = LowerClassic(text);
    ViStatus status = VI_SUCCESS;
    OptionMatch match;
    std::size_t from = 0;
    while (status >= 0 && FindInherentOption(lowered, from, match)) {
        from = match.end;
        const std::string name(match.first);
        const std::string value(match.second);
        bool* flag = nullptr;
        for (const auto& option : kOptions) {
            if (name == option.name) flag = &(this->*option.flag);
        }
        status = flag != nullptr ? ParseBooleanOptionValue(name, value, *flag)
                                 : ReportError(IVI_ERROR_BAD_OPTION_NAME, name.c_str());
        if (inherentOptions_.count(name) != 0) {
            status = ReportErrorWithElaboration(IVI_ERROR_CANNOT_RECOVER, "Inherent option '%s' appears more than once.",
                                                name.c_str());
        }
        if (status < 0) return status;
        inherentOptions_[name] = value;
    }
    return status;
}

ViStatus DriverSession::ParseBooleanOptionValue(const std::string& /*name*/, const std::string& value, bool& flag) {
    static const char* const kTrue[] = {"true", "vi_true", "1"};
    static const char* const kFalse[] = {"false", "vi_false", "0"};
    for (const char* word : kTrue) {
        if (value == word) {
            flag = true;
            return VI_SUCCESS;
        }
    }
    for (const char* word : kFalse) {
        if (value == word) {
            flag = false;
            return VI_SUCCESS;
        }
    }
    return ReportError(IVI_ERROR_BAD_OPTION_VALUE, value.c_str());
}

ViStatus DriverSession::ParseDriverSetup(const std::string& text) {
    driverSetupOptions_.clear();
    driverSetup_ = text;
    ViStatus status = VI_SUCCESS;
    OptionMatch match;
    std::size_t from = 0;
    while (FindDriverSetupEntry(text, from, match)) {
        from = match.end;
        const std::string key(match.first);
        const std::string value(match.second);
        status = ApplyDriverSetupOption(key, value);
        if (status < 0) return status;
        if (driverSetupOptions_.count(key) != 0) {
            status = ReportErrorWithElaboration(IVI_ERROR_CANNOT_RECOVER,
                                                "DriverSetup option '%s' appears more than once.", key.c_str());
            if (status < 0) return status;
        }
        driverSetupOptions_[key] = value;
    }
    return status;
}

ViStatus DriverSession::ApplyDriverSetupOption(const std::string& key, const std::string& value) {
    if (EqualsIgnoringCase(key, "Model")) instrumentModel_ = value;
    return VI_SUCCESS;
}

}  // namespace kiln
