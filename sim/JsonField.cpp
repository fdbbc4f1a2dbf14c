#include "JsonField.h"

#include "ScenarioError.h"

namespace zsim {

namespace {
std::string escapeToken(std::string_view key) {
    std::string out;
    for (char c : key) {
        if (c == '~') out += "~0";
        else if (c == '/') out += "~1";
        else out += c;
    }
    return out;
}
}  // namespace

bool JsonField::has(std::string_view key) const {
    return m_value.is_object() && m_value.contains(key);
}

JsonField JsonField::operator[](std::string_view key) const {
    return JsonField(m_value.at(std::string(key)), m_pointer + "/" + escapeToken(key));
}

JsonField JsonField::at(size_t index) const {
    return JsonField(m_value.at(index), m_pointer + "/" + std::to_string(index));
}

void JsonField::fail(const std::string& reason) const {
    throw ScenarioError(m_pointer.empty() ? "/" : m_pointer, reason);
}

void JsonField::requireObject(std::initializer_list<std::string_view> allowedKeys) const {
    if (!m_value.is_object()) fail("expected an object");
    for (const auto& item : m_value.items()) {
        bool known = item.key() == "comment";
        for (auto k : allowedKeys) known = known || item.key() == k;
        if (!known) (*this)[item.key()].fail("unknown key \"" + item.key() + "\"");
    }
}

void JsonField::requireArray() const {
    if (!m_value.is_array()) fail("expected an array");
}

long long JsonField::integer(long long min, long long max) const {
    if (!m_value.is_number_integer()) fail("expected an integer");
    long long v = m_value.is_number_unsigned() && m_value.get<unsigned long long>() > 0x7FFFFFFFFFFFFFFFull
                      ? max + 1
                      : m_value.get<long long>();
    if (v < min || v > max)
        fail("value " + m_value.dump() + " out of range " + std::to_string(min) + ".." + std::to_string(max));
    return v;
}

double JsonField::number() const {
    if (!m_value.is_number()) fail("expected a number");
    return m_value.get<double>();
}

bool JsonField::boolean() const {
    if (!m_value.is_boolean()) fail("expected true or false");
    return m_value.get<bool>();
}

std::string JsonField::text(size_t maxLength) const {
    if (!m_value.is_string()) fail("expected a string");
    auto s = m_value.get<std::string>();
    if (s.size() > maxLength) fail("longer than " + std::to_string(maxLength) + " characters");
    return s;
}

}  // namespace zsim
