#pragma once
// Small deterministic helpers behind the simulator's generated data: the same request
// always gets the same answer.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qen::feedsim {

std::uint64_t Hash(std::string_view text, std::uint64_t salt = 0);

// An 11-character id of letters, digits, "-" and "_" that always starts with a capital
// letter, so it can never be mistaken for a special id such as "none-...".
std::string VideoId(std::string_view seed, int index);

// "dog-training" and "Dog-Training" give "Dog Training".
std::string TopicOf(std::string_view words);

std::string EscapeXml(std::string_view text);

// UTF-8 to Windows-1252; characters it has no byte for become "?".
std::string Utf8ToWindows1252(std::string_view text);

// Fills "{T}" with the topic and "{N}" with the number.
std::string FillPattern(std::string_view pattern, std::string_view topic, int number);

}  // namespace qen::feedsim
