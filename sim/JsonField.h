#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace zsim {

// One JSON value together with its JSON pointer, with typed, range-checked
// access that throws ScenarioError naming that pointer.
class JsonField {
public:
    JsonField(const nlohmann::json& value, std::string pointer)
        : m_value(value), m_pointer(std::move(pointer)) {}

    const nlohmann::json& value() const { return m_value; }
    const std::string& pointer() const { return m_pointer; }

    bool has(std::string_view key) const;
    JsonField operator[](std::string_view key) const;
    JsonField at(size_t index) const;

    [[noreturn]] void fail(const std::string& reason) const;
    void requireObject(std::initializer_list<std::string_view> allowedKeys) const;
    void requireArray() const;
    long long integer(long long min, long long max) const;
    double number() const;
    bool boolean() const;
    std::string text(size_t maxLength = std::string::npos) const;

private:
    const nlohmann::json& m_value;
    std::string m_pointer;
};

}  // namespace zsim
