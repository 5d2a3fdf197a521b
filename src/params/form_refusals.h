// Messages of the Linking Parameters form: a refused action says why, and the dialog shows it
// in a box it owns (an empty caption meaning the application's name).
#pragma once

#include <optional>
#include <string>

struct FormMessage {
  std::string text;
  std::string caption;  // empty: the application's name
  bool operator==(const FormMessage&) const = default;
};
using Refusal = std::optional<FormMessage>;

inline FormMessage formMessage(std::string text) { return {std::move(text), {}}; }

// A value that holds white space would split into several tokens in a parameter file.
Refusal blankRefusal(const std::string& what, const std::string& text);
