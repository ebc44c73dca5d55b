// Descriptors as text, both ways. The printed form is what the run log shows
// and what a saved descriptor file holds:
//
//   {"null": ref(class "Lyr ")}
//   {"T   ": ref(enum "Chnl" "Ordn" "Trgt"), "Rds ": 1, "Hrzn": 85.0, "Dplc": true}
//   {"Usng": enum "UsrM" "RvlS", "Nw  ": class "Chnl", "At  ": ref(prop "Chnl" "fsel")}
//   {"Adjs": list[object "CrvA" {"Chnl": ref(enum "Chnl" "Ordn" "Trgt")}]}
//
// A float always shows a decimal point or an exponent, so it reads back as a
// float and an integer as an integer. A code byte that is not printable
// ASCII, a quote or a backslash is written \xHH.
#ifndef LUMACUT_HOST_ACTION_TEXT_H
#define LUMACUT_HOST_ACTION_TEXT_H

#include <optional>
#include <string>

#include "ActionValues.h"

std::string CodeText(FourCharCode code);  // "Mk  ", with the quotes
std::string FloatText(double value);      // the shortest text that reads back as the same double
std::string ValueText(const ActionValue& value);
std::string ReferenceText(const ReferenceValue& reference);
std::string DescriptorText(const DescriptorValue& descriptor);
// Play "Mk  " {...}, or Play "Invs" (no descriptor); a dialog option other
// than the silent 2 is shown after it.
std::string PlayedText(const PlayedEvent& event);

// The most descriptors, lists and objects open inside one another that a
// text may hold, the outer descriptor counted; every event of ours needs
// fewer than ten.
constexpr int kMaxDescriptorNesting = 64;

// The inverse of DescriptorText. Blank space between tokens is free; nothing
// but blank space may follow. On failure returns nothing and says what and
// where ("expected '}' at line 2, column 7").
std::optional<DescriptorValue> ParseDescriptor(const std::string& text, std::string* error);

// "line 2, column 7": where byte `at` of `text` is, both counted from 1.
std::string TextPosition(const std::string& text, std::size_t at);

#endif
