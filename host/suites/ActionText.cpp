#include "ActionText.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string CodeText(FourCharCode code) {
    std::string text = "\"";
    for (int shift = 24; shift >= 0; shift -= 8) {
        const unsigned char c = static_cast<unsigned char>((code >> shift) & 0xFFu);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += static_cast<char>(c);
        } else if (c >= 0x20 && c <= 0x7E) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text + "\"";
}

std::string FloatText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char text[40];
    // Whole numbers read best as themselves: %g at its shortest would print
    // 70 as "7e+01".
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        std::snprintf(text, sizeof text, "%.1f", value);
        return text;
    }
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    std::string result = text;
    if (result.find_first_of(".eE") == std::string::npos) result += ".0";
    return result;
}

namespace {
std::string FormText(const ReferenceForm& form) {
    switch (form.kind) {
        case ReferenceForm::Kind::Class:
            return "class " + CodeText(form.classCode);
        case ReferenceForm::Kind::Property:
            return "prop " + CodeText(form.classCode) + " " + CodeText(form.key);
        case ReferenceForm::Kind::Enumerated:
            return "enum " + CodeText(form.classCode) + " " + CodeText(form.type) + " " + CodeText(form.value);
    }
    return "?";
}
}  // namespace

std::string ReferenceText(const ReferenceValue& reference) {
    std::string text = "ref(";
    for (std::size_t i = 0; i < reference.forms.size(); ++i) text += (i ? ", " : "") + FormText(reference.forms[i]);
    return text + ")";
}

std::string ValueText(const ActionValue& value) {
    switch (value.kind) {
        case ValueKind::Integer:
            return std::to_string(value.integer);
        case ValueKind::Float:
            return FloatText(value.number);
        case ValueKind::Boolean:
            return value.flag ? "true" : "false";
        case ValueKind::Enumerated:
            return "enum " + CodeText(value.enumType) + " " + CodeText(value.enumValue);
        case ValueKind::Class:
            return "class " + CodeText(value.classCode);
        case ValueKind::Reference:
            return ReferenceText(value.reference);
        case ValueKind::List: {
            std::string text = "list[";
            for (std::size_t i = 0; i < value.items.size(); ++i) text += (i ? ", " : "") + ValueText(value.items[i]);
            return text + "]";
        }
        case ValueKind::Object:
            return "object " + CodeText(value.classCode) + " " + DescriptorText(value.object);
    }
    return "?";
}

std::string DescriptorText(const DescriptorValue& descriptor) {
    std::string text = "{";
    bool first = true;
    for (const DescriptorEntry& entry : descriptor.Entries()) {
        text += (first ? "" : ", ") + CodeText(entry.key) + ": " + ValueText(entry.value);
        first = false;
    }
    return text + "}";
}

std::string PlayedText(const PlayedEvent& event) {
    std::string text = "Play " + CodeText(event.event) + " ";
    text += event.descriptor ? DescriptorText(*event.descriptor) : std::string("(no descriptor)");
    if (event.dialogOption != 2) text += " dialog " + std::to_string(event.dialogOption);
    return text;
}

std::string TextPosition(const std::string& text, std::size_t at) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < at && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

namespace {
// Recursive descent over the printed form. Nesting is bounded so that a
// hostile file cannot exhaust the stack: a container costs a Value and a
// Descriptor frame, under 600 bytes in the 32-bit Windows build and 2 KB
// in the sanitizers' debug build, so the bound takes at most 130 KB of a
// stack of 2 MiB (what the 32-bit Windows program reserves) or 8 MiB.
class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    std::optional<DescriptorValue> Whole() {
        DescriptorValue result;
        if (!Descriptor(result, 1)) return std::nullopt;
        Blank();
        if (at_ != text_.size()) return Fail("unexpected text after the descriptor");
        return result;
    }
    const std::string& Error() const { return error_; }

private:
    std::nullopt_t Fail(const std::string& what) {
        if (error_.empty()) error_ = what + " at " + TextPosition(text_, at_);
        return std::nullopt;
    }
    bool Failed(const std::string& what) {
        Fail(what);
        return false;
    }
    void Blank() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }
    bool Take(const char* token) {
        Blank();
        const std::size_t length = std::strlen(token);
        if (text_.compare(at_, length, token) != 0) return false;
        at_ += length;
        return true;
    }
    bool Expect(const char* token) { return Take(token) || Failed(std::string("expected '") + token + "'"); }

    bool Code(FourCharCode& code) {
        if (!Expect("\"")) return false;
        code = 0;
        for (int i = 0; i < 4; ++i) {
            if (at_ >= text_.size()) return Failed("unterminated code");
            unsigned char c = static_cast<unsigned char>(text_[at_++]);
            if (c == '"') return Failed("a code has four characters");
            if (c == '\\') {
                if (at_ >= text_.size()) return Failed("unterminated escape");
                const char kind = text_[at_++];
                if (kind == 'x') {
                    if (at_ + 2 > text_.size() || !std::isxdigit(static_cast<unsigned char>(text_[at_])) ||
                        !std::isxdigit(static_cast<unsigned char>(text_[at_ + 1])))
                        return Failed("bad \\x escape");
                    c = static_cast<unsigned char>(std::strtoul(text_.substr(at_, 2).c_str(), nullptr, 16));
                    at_ += 2;
                } else if (kind == '"' || kind == '\\') {
                    c = static_cast<unsigned char>(kind);
                } else {
                    return Failed("unknown escape");
                }
            }
            code = (code << 8) | c;
        }
        if (at_ >= text_.size() || text_[at_] != '"') return Failed("a code has four characters");
        ++at_;
        return true;
    }

    // `depth` counts the containers open here, this one included.
    bool Nested(int depth) {
        return depth <= kMaxDescriptorNesting ||
               Failed("nested more than " + std::to_string(kMaxDescriptorNesting) + " deep");
    }

    bool Descriptor(DescriptorValue& result, int depth) {
        if (!Nested(depth)) return false;
        if (!Expect("{")) return false;
        if (Take("}")) return true;
        do {
            FourCharCode key = 0;
            ActionValue value;
            Blank();
            const std::size_t keyAt = at_;
            if (!Code(key) || !Expect(":") || !Value(value, depth)) return false;
            if (result.Find(key) != nullptr) {
                at_ = keyAt;  // the second key is where the fault is
                return Failed("key " + CodeText(key) + " appears twice");
            }
            result.Put(key, value);
        } while (Take(","));
        return Expect("}");
    }

    bool Form(ReferenceForm& form) {
        FourCharCode a = 0, b = 0, c = 0;
        if (Take("class")) {
            if (!Code(a)) return false;
            form = ReferenceForm::Class(a);
        } else if (Take("prop")) {
            if (!Code(a) || !Code(b)) return false;
            form = ReferenceForm::Property(a, b);
        } else if (Take("enum")) {
            if (!Code(a) || !Code(b) || !Code(c)) return false;
            form = ReferenceForm::Enumerated(a, b, c);
        } else {
            return Failed("expected a reference form");
        }
        return true;
    }

    // A value inside `depth` open containers.
    bool Value(ActionValue& value, int depth) {
        FourCharCode a = 0, b = 0;
        if (Take("true")) {
            value = ActionValue::Boolean(true);
        } else if (Take("false")) {
            value = ActionValue::Boolean(false);
        } else if (Take("enum")) {
            if (!Code(a) || !Code(b)) return false;
            value = ActionValue::Enumerated(a, b);
        } else if (Take("class")) {
            if (!Code(a)) return false;
            value = ActionValue::Class(a);
        } else if (Take("ref(")) {
            ReferenceValue reference;
            if (!Take(")")) {
                do {
                    ReferenceForm form;
                    if (!Form(form)) return false;
                    reference.forms.push_back(form);
                } while (Take(","));
                if (!Expect(")")) return false;
            }
            value = ActionValue::Reference(reference);
        } else if (Take("list[")) {
            if (!Nested(depth + 1)) return false;
            std::vector<ActionValue> items;
            if (!Take("]")) {
                do {
                    ActionValue item;
                    if (!Value(item, depth + 1)) return false;
                    items.push_back(item);
                } while (Take(","));
                if (!Expect("]")) return false;
            }
            value = ActionValue::List(items);
        } else if (Take("object")) {
            DescriptorValue object;
            if (!Code(a) || !Descriptor(object, depth + 1)) return false;
            value = ActionValue::Object(a, object);
        } else {
            return Number(value);
        }
        return true;
    }

    bool Number(ActionValue& value) {
        Blank();
        const std::size_t start = at_;
        // strchr finds a NUL byte too (the list's own end), which would cut
        // the token short for strtod and let whatever follows it through.
        while (at_ < text_.size() && text_[at_] != '\0' &&
               (std::isalnum(static_cast<unsigned char>(text_[at_])) || std::strchr("+-.", text_[at_]) != nullptr))
            ++at_;
        const std::string token = text_.substr(start, at_ - start);
        if (token.empty()) return Failed("expected a value");
        // A refusal quotes the start of a long token: it must stay one line
        // a person can read.
        const std::string shown = token.size() <= 24 ? token : token.substr(0, 20) + "... (" +
                                                                   std::to_string(token.size()) + " characters)";
        at_ = start;
        const bool isFloat = token.find_first_of(".eEni") != std::string::npos;
        char* end = nullptr;
        errno = 0;
        if (isFloat) {
            const double number = std::strtod(token.c_str(), &end);
            if (*end != '\0') return Failed("bad number '" + shown + "'");
            value = ActionValue::Float(number);
            at_ += token.size();
        } else {
            const long long integer = std::strtoll(token.c_str(), &end, 10);
            if (*end != '\0' || errno == ERANGE || integer < INT32_MIN || integer > INT32_MAX)
                return Failed("bad 32-bit integer '" + shown + "'");
            value = ActionValue::Integer(static_cast<int32_t>(integer));
            at_ += token.size();
        }
        return true;
    }

    const std::string& text_;
    std::size_t at_ = 0;
    std::string error_;
};
}  // namespace

std::optional<DescriptorValue> ParseDescriptor(const std::string& text, std::string* error) {
    Parser parser(text);
    std::optional<DescriptorValue> result = parser.Whole();
    if (!result && error != nullptr) *error = parser.Error();
    return result;
}
