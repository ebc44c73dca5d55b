// The plain data behind the stand-in's descriptor, reference and list
// handles: what a plug-in put, in the order it put it. Values are copied
// whole (the host copies whatever a put receives), compared whole, and
// printed as readable text (ActionText.h).
#ifndef LUMACUT_HOST_ACTION_VALUES_H
#define LUMACUT_HOST_ACTION_VALUES_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <optional>
#include <vector>

#include "entry/interface/HostInterface.h"

// One form of a reference: a class alone, a property of a class, or an
// enumerated item of a class.
struct ReferenceForm {
    enum class Kind { Class, Property, Enumerated };

    static ReferenceForm Class(FourCharCode classCode);
    static ReferenceForm Property(FourCharCode classCode, FourCharCode key);
    static ReferenceForm Enumerated(FourCharCode classCode, FourCharCode type, FourCharCode value);

    Kind kind = Kind::Class;
    FourCharCode classCode = 0;
    FourCharCode key = 0;    // Property only
    FourCharCode type = 0;   // Enumerated only
    FourCharCode value = 0;  // Enumerated only
};

bool operator==(const ReferenceForm& a, const ReferenceForm& b);
inline bool operator!=(const ReferenceForm& a, const ReferenceForm& b) { return !(a == b); }

// A reference is its forms, in the order they were put.
struct ReferenceValue {
    std::vector<ReferenceForm> forms;
};

bool operator==(const ReferenceValue& a, const ReferenceValue& b);
inline bool operator!=(const ReferenceValue& a, const ReferenceValue& b) { return !(a == b); }

struct DescriptorEntry;
class ActionValue;

// Ordered (key, value) pairs. Putting a key that is already there replaces
// its value where it stands, so every key appears once.
class DescriptorValue {
public:
    DescriptorValue() = default;
    DescriptorValue(std::initializer_list<DescriptorEntry> entries);

    const ActionValue* Find(FourCharCode key) const;
    void Put(FourCharCode key, const ActionValue& value);
    const std::vector<DescriptorEntry>& Entries() const { return entries_; }
    std::size_t Size() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }

private:
    std::vector<DescriptorEntry> entries_;
};

bool operator==(const DescriptorValue& a, const DescriptorValue& b);
inline bool operator!=(const DescriptorValue& a, const DescriptorValue& b) { return !(a == b); }

enum class ValueKind { Integer, Float, Boolean, Enumerated, Class, Reference, List, Object };

// One value of a descriptor or list. Only the fields of its kind are
// meaningful; the factories fill exactly those.
class ActionValue {
public:
    static ActionValue Integer(int32_t value);
    static ActionValue Float(double value);
    static ActionValue Boolean(bool value);
    static ActionValue Enumerated(FourCharCode type, FourCharCode value);
    static ActionValue Class(FourCharCode classCode);
    static ActionValue Reference(const ReferenceValue& reference);
    static ActionValue List(const std::vector<ActionValue>& items);
    static ActionValue Object(FourCharCode classCode, const DescriptorValue& object);

    ValueKind kind = ValueKind::Integer;
    int32_t integer = 0;
    double number = 0.0;
    bool flag = false;
    FourCharCode classCode = 0;  // Class and Object
    FourCharCode enumType = 0;   // Enumerated
    FourCharCode enumValue = 0;  // Enumerated
    ReferenceValue reference;
    std::vector<ActionValue> items;  // List
    DescriptorValue object;          // Object
};

bool operator==(const ActionValue& a, const ActionValue& b);
inline bool operator!=(const ActionValue& a, const ActionValue& b) { return !(a == b); }

struct DescriptorEntry {
    FourCharCode key = 0;
    ActionValue value;
};

bool operator==(const DescriptorEntry& a, const DescriptorEntry& b);

// One call of the control suite's Play as the host received it: the event,
// a deep copy of its descriptor (none when the plug-in passed a null handle),
// the dialog option, and the status the host answered with.
struct PlayedEvent {
    FourCharCode event = 0;
    std::optional<DescriptorValue> descriptor;
    int32_t dialogOption = 0;
    HostStatus status = 0;
};

bool operator==(const PlayedEvent& a, const PlayedEvent& b);
inline bool operator!=(const PlayedEvent& a, const PlayedEvent& b) { return !(a == b); }

// Readable forms, so that a failed comparison in a test shows both sides.
std::ostream& operator<<(std::ostream& out, const ActionValue& value);
std::ostream& operator<<(std::ostream& out, const DescriptorValue& descriptor);
std::ostream& operator<<(std::ostream& out, const ReferenceValue& reference);
std::ostream& operator<<(std::ostream& out, const PlayedEvent& event);

#endif
