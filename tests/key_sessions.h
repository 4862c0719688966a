#pragma once

// Reads tests/key_sessions.txt, the key sessions that every window's driver runs; the file says
// what a line holds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace runby {

struct KeyStep
{
    enum class Kind : std::uint8_t { Key, Alt, Ctrl, Paste, Click, Type };

    Kind kind;
    // Key: the keysym name; Alt and Ctrl: the letter; Click: the control's name.
    std::string name;
    // Paste and Type: the text.
    std::u16string text;
};

struct KeySession
{
    std::string what;
    std::vector<KeyStep> steps;
    // txtImperialSpeed, txtMetricSpeed, txtRunbyInches, txtRunbyMillimeters, as UTF-8.
    std::array<std::string, 4> fields;
};

namespace keysessions {

inline std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// ASCII with \uXXXX escapes as UTF-16.
inline std::u16string unescaped(std::string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "\\u" && i + 6 <= text.size()) {
            out +=
                static_cast<char16_t>(std::stoi(std::string(text.substr(i + 2, 4)), nullptr, 16));
            i += 5;
        } else {
            out += static_cast<char16_t>(static_cast<unsigned char>(text[i]));
        }
    }
    return out;
}

inline KeyStep stepOf(std::string_view token)
{
    for (const std::string_view key :
        {"Return", "KP_Enter", "Tab", "Left", "Right", "Up", "Down", "Escape", "Alt_L"})
        if (token == key)
            return {KeyStep::Kind::Key, std::string(token), {}};
    if (token.substr(0, 4) == "alt+")
        return {KeyStep::Kind::Alt, std::string(token.substr(4)), {}};
    if (token.substr(0, 5) == "ctrl+")
        return {KeyStep::Kind::Ctrl, std::string(token.substr(5)), {}};
    if (token.substr(0, 6) == "paste:")
        return {KeyStep::Kind::Paste, {}, unescaped(token.substr(6))};
    if (token.substr(0, 6) == "click:")
        return {KeyStep::Kind::Click, std::string(token.substr(6)), {}};
    return {KeyStep::Kind::Type, {}, unescaped(token)};
}

inline std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

inline KeySession sessionOf(std::string_view line)
{
    const std::vector<std::string_view> parts = split(line, '|');
    if (parts.size() != 6)
        throw std::runtime_error("a key session needs six parts: " + std::string(line));
    KeySession session{std::string(trimmed(parts[0])), {}, {}};
    for (const std::string_view token : split(trimmed(parts[1]), ' '))
        if (!token.empty())
            session.steps.push_back(stepOf(token));
    for (std::size_t i = 0; i < 4; ++i)
        session.fields.at(i) = std::string(trimmed(parts[i + 2]));
    return session;
}

} // namespace keysessions

// The sessions as a user of the language types them, which the build writes beside the tests.
inline std::vector<KeySession> readKeySessions(std::string_view language)
{
    const std::string path = RUNBY_KEY_SESSIONS + std::string(language) + ".txt";
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    std::vector<KeySession> sessions;
    for (std::string line; std::getline(file, line);)
        if (!line.empty() && line.front() != '#')
            sessions.push_back(keysessions::sessionOf(line));
    return sessions;
}

} // namespace runby
