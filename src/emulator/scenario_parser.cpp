// The scenario file's JSON: each key checked against a table of what it may
// hold; the first error ends the parse with a message that names the key.
#include <algorithm>
#include <array>
#include <optional>

#include <nlohmann/json.hpp>

#include "protocol/record_fields.h"
#include "emulator/scenario.h"

namespace orlax::emulator {
namespace {

using Json = nlohmann::json;

// A key as it may be shown on one line.
std::string Printable(std::string_view key) {
    std::string text(key);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, '?');
    return text;
}

bool Fail(std::string& error, const std::string& key, std::string_view what) {
    error = key + ": " + std::string(what);
    return false;
}

std::optional<std::int64_t> IntegerIn(const Json& value, std::int64_t low, std::int64_t high) {
    if (!value.is_number_integer()) return std::nullopt;  // unsigned ones included
    // An unsigned value beyond the int64 range is beyond every range asked for.
    if (value.is_number_unsigned() &&
        value.get<std::uint64_t>() > static_cast<std::uint64_t>(high))
        return std::nullopt;
    const auto number = value.get<std::int64_t>();
    if (number < low || number > high) return std::nullopt;
    return number;
}

// ---- record fields -------------------------------------------------------

bool SetByte(const Json& value, Record& record, std::size_t at) {
    const auto number = IntegerIn(value, -128, 255);
    if (!number) return false;
    record[at] = static_cast<std::uint8_t>(*number & 0xFF);
    return true;
}

bool SetCounter(const Json& value, Record& record, std::size_t at) {
    const auto number = IntegerIn(value, 0, 0xFFFFFFFF);
    if (!number) return false;
    protocol::WriteBigEndian32(record, at, static_cast<std::uint32_t>(*number));
    return true;
}

bool SetCharacter(const Json& value, Record& record, std::size_t at) {
    if (value.is_string()) {
        const auto& text = value.get_ref<const std::string&>();
        if (text.size() != 1) return false;
        record[at] = static_cast<std::uint8_t>(text[0]);
        return true;
    }
    const auto number = IntegerIn(value, 0, 255);
    if (!number) return false;
    record[at] = static_cast<std::uint8_t>(*number);
    return true;
}

// The firmware text, or its 15 bytes as numbers (a record whose text is not
// printable, as orlaxctl's status-json gives it).
bool SetFirmware(const Json& value, Record& record, std::size_t at) {
    if (value.is_array()) {
        if (value.size() != protocol::field::firmwareVersionLength) return false;
        for (std::size_t i = 0; i < value.size(); ++i) {
            const auto number = IntegerIn(value[i], 0, 255);
            if (!number) return false;
            record[at + i] = static_cast<std::uint8_t>(*number);
        }
        return true;
    }
    if (!value.is_string()) return false;
    const auto& text = value.get_ref<const std::string&>();
    if (text.size() > protocol::field::firmwareVersionLength) return false;
    for (std::size_t i = 0; i < protocol::field::firmwareVersionLength; ++i)
        record[at + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
    return true;
}

struct FieldRule {
    bool (*set)(const Json&, Record&, std::size_t);
    std::string_view expected;
};

// Indexed by FieldKind.
constexpr std::array<FieldRule, 4> kFieldRules = {
    FieldRule{SetByte, "expected an integer from -128 to 255"},
    FieldRule{SetCounter, "expected an integer from 0 to 4294967295"},
    FieldRule{SetCharacter, "expected a one-character string or an integer from 0 to 255"},
    FieldRule{SetFirmware, "expected a string of at most 15 characters or an array of 15 integers from 0 to 255"},
};

// ---- top-level keys ------------------------------------------------------

bool ParseQueues(const Json& value, Scenario& s, std::string& error) {
    if (!value.is_array()) return Fail(error, "queues", "expected an array of queue names");
    std::vector<std::string> queues;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const Json& name = value[i];
        if (!name.is_string() || name.get_ref<const std::string&>().empty())
            return Fail(error, "queues[" + std::to_string(i) + "]", "expected a non-empty string");
        queues.push_back(name.get<std::string>());
    }
    s.queues = std::move(queues);
    return true;
}

std::optional<std::uint8_t> HexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
    return std::nullopt;
}

// An empty text leaves the record as it is, so a file may carry the key as a
// placeholder.
bool ParseRecordHex(const Json& value, Scenario& s, std::string& error) {
    constexpr std::string_view expected = "expected a string of exactly 200 hex digits";
    if (!value.is_string()) return Fail(error, "recordHex", expected);
    const auto& text = value.get_ref<const std::string&>();
    if (text.empty()) return true;
    if (text.size() != 2 * protocol::kStatusRecordSize)
        return Fail(error, "recordHex",
                    std::string(expected) + ", not " + std::to_string(text.size()) + " characters");
    Record record{};
    for (std::size_t i = 0; i < record.size(); ++i) {
        const auto high = HexDigit(text[2 * i]);
        const auto low = HexDigit(text[2 * i + 1]);
        if (!high || !low)
            return Fail(error, "recordHex",
                        "not a hex digit at character " + std::to_string(2 * i + (high ? 2 : 1)));
        record[i] = static_cast<std::uint8_t>(*high << 4 | *low);
    }
    s.record = record;
    return true;
}

bool ParseRecord(const Json& value, Scenario& s, std::string& error) {
    if (!value.is_object()) return Fail(error, "record", "expected an object of record fields");
    const auto fields = protocol::RecordFields();
    for (const auto& [key, item] : value.items()) {
        const auto field = std::find_if(fields.begin(), fields.end(),
                                        [&key = key](const protocol::RecordField& f) { return f.name == key; });
        const std::string name = "record." + Printable(key);
        if (field == fields.end()) return Fail(error, name, "unknown key");
        const FieldRule& rule = kFieldRules[static_cast<std::size_t>(field->kind)];
        if (!rule.set(item, s.record, field->at)) return Fail(error, name, rule.expected);
    }
    return true;
}

bool ParseBusyPolls(const Json& value, Scenario& s, std::string& error) {
    const auto number = IntegerIn(value, 0, kMaxBusyPolls);
    if (!number) return Fail(error, "busyPolls", "expected an integer from 0 to 1000000");
    s.busyPolls = static_cast<std::uint32_t>(*number);
    return true;
}

struct NamedReply {
    std::string_view name;
    ReplyKind kind;
};

constexpr std::array kNamedReplies = {
    NamedReply{"ok", ReplyKind::Ok},       NamedReply{"busy", ReplyKind::Busy},
    NamedReply{"idle", ReplyKind::Idle},   NamedReply{"cover", ReplyKind::Cover},
    NamedReply{"fail", ReplyKind::Fail},   NamedReply{"empty", ReplyKind::Empty},
    NamedReply{"one", ReplyKind::One},     NamedReply{"badsum", ReplyKind::BadSum},
};

bool ParseReply(const Json& value, const std::string& name, ScriptedReply& reply,
                std::string& error) {
    if (value.is_string()) {
        const auto& text = value.get_ref<const std::string&>();
        const auto named = std::find_if(kNamedReplies.begin(), kNamedReplies.end(),
                                        [&](const NamedReply& r) { return r.name == text; });
        if (named == kNamedReplies.end())
            return Fail(error, name,
                        "unknown reply \"" + Printable(text) +
                            "\" (expected ok, busy, idle, cover, fail, empty, one, badsum or "
                            "{\"length\": N})");
        reply = {named->kind, 0};
        return true;
    }
    if (!value.is_object())
        return Fail(error, name, "expected a reply name or an object {\"length\": N}");
    for (const auto& [key, item] : value.items())
        if (key != "length") return Fail(error, name + "." + Printable(key), "unknown key");
    if (!value.contains("length")) return Fail(error, name + ".length", "missing");
    const auto length =
        IntegerIn(value["length"], kMinScriptedLength, static_cast<std::int64_t>(kMaxReplyLength));
    if (!length) return Fail(error, name + ".length", "expected an integer from 2 to 1000");
    reply = {ReplyKind::Length, static_cast<std::size_t>(*length)};
    return true;
}

bool ParseReplies(const Json& value, Scenario& s, std::string& error) {
    if (!value.is_array()) return Fail(error, "replies", "expected an array of replies");
    std::vector<ScriptedReply> replies(value.size());
    for (std::size_t i = 0; i < value.size(); ++i)
        if (!ParseReply(value[i], "replies[" + std::to_string(i) + "]", replies[i], error))
            return false;
    s.replies = std::move(replies);
    return true;
}

struct NamedFault {
    std::string_view name;
    bool Faults::*flag;
};

constexpr std::array kNamedFaults = {
    NamedFault{"open", &Faults::open},           NamedFault{"startDoc", &Faults::startDoc},
    NamedFault{"startPage", &Faults::startPage}, NamedFault{"write", &Faults::write},
    NamedFault{"shortWrite", &Faults::shortWrite}, NamedFault{"endPage", &Faults::endPage},
    NamedFault{"endDoc", &Faults::endDoc},
};

bool ParseFaults(const Json& value, Scenario& s, std::string& error) {
    if (!value.is_object()) return Fail(error, "faults", "expected an object of fault flags");
    for (const auto& [key, item] : value.items()) {
        const auto fault = std::find_if(kNamedFaults.begin(), kNamedFaults.end(),
                                        [&key = key](const NamedFault& f) { return f.name == key; });
        const std::string name = "faults." + Printable(key);
        if (fault == kNamedFaults.end()) return Fail(error, name, "unknown key");
        if (!item.is_boolean()) return Fail(error, name, "expected true or false");
        s.faults.*(fault->flag) = item.get<bool>();
    }
    return true;
}

bool ParseDeliveryDelay(const Json& value, Scenario& s, std::string& error) {
    const auto number = IntegerIn(value, 0, kMaxDeliveryDelayMs);
    if (!number) return Fail(error, "deliveryDelayMs", "expected an integer from 0 to 600000");
    s.delivery.delayMs = static_cast<std::uint32_t>(*number);
    return true;
}

template <bool Delivery::*Flag>
bool ParseDeliveryFlag(const Json& value, Scenario& s, std::string& error, std::string_view key) {
    if (!value.is_boolean()) return Fail(error, std::string(key), "expected true or false");
    s.delivery.*Flag = value.get<bool>();
    return true;
}

bool ParseQueuePaused(const Json& value, Scenario& s, std::string& error) {
    return ParseDeliveryFlag<&Delivery::queuePaused>(value, s, error, "queuePaused");
}

bool ParseUnitTakesJobs(const Json& value, Scenario& s, std::string& error) {
    return ParseDeliveryFlag<&Delivery::unitTakesJobs>(value, s, error, "unitTakesJobs");
}

struct TopLevelKey {
    std::string_view name;
    bool (*parse)(const Json&, Scenario&, std::string&);
};

// In the order they are applied: the whole record from recordHex first, then
// the single fields of "record" over it.
constexpr std::array kTopLevel = {
    TopLevelKey{"queues", ParseQueues},         TopLevelKey{"recordHex", ParseRecordHex},
    TopLevelKey{"record", ParseRecord},         TopLevelKey{"busyPolls", ParseBusyPolls},
    TopLevelKey{"replies", ParseReplies},       TopLevelKey{"faults", ParseFaults},
    TopLevelKey{"deliveryDelayMs", ParseDeliveryDelay}, TopLevelKey{"queuePaused", ParseQueuePaused},
    TopLevelKey{"unitTakesJobs", ParseUnitTakesJobs},
};

}  // namespace

bool ParseScenario(std::string_view json, Scenario& out, std::string& error) {
    Json root;
    try {
        root = Json::parse(json.begin(), json.end());
    } catch (const Json::exception& e) {  // a syntax error, or a number too large for a double
        error = std::string("invalid JSON: ") + e.what();
        return false;
    }
    if (!root.is_object()) return Fail(error, "scenario", "expected a JSON object");
    for (const auto& [key, item] : root.items()) {
        const bool known = std::any_of(kTopLevel.begin(), kTopLevel.end(),
                                       [&key = key](const TopLevelKey& k) { return k.name == key; });
        if (!known) return Fail(error, Printable(key), "unknown key");
    }
    Scenario scenario = DefaultScenario();
    for (const TopLevelKey& key : kTopLevel) {
        const auto found = root.find(std::string(key.name));
        if (found != root.end() && !key.parse(*found, scenario, error)) return false;
    }
    out = std::move(scenario);
    return true;
}

}  // namespace orlax::emulator
